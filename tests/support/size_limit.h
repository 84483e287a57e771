// Saves made where a file may not grow past a few bytes, in a forked child:
// a write past the limit either fails with EFBIG, as on a full disk, or
// kills the child at that very write, as a kill in the middle of a save.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

enum class AtTheLimit { kWriteFails, kKilled };

struct LimitedRun {
    std::string output;   // what the child printed on standard output
    bool killed = false;  // ended by SIGXFSZ
    bool exited = false;  // returned from the action and exited
};

// Runs action in a child whose files may grow to at most bytes.
LimitedRun run_with_file_size_limit(size_t bytes, AtTheLimit at_limit, const std::function<void()>& action);

// The save, in a child under a limit of bytes, once with the write failing and
// once killed at it, each with path holding old_bytes and with nothing at
// path: afterwards path is as it was, no temporary file is left by the failed
// write, and the failed write printed one ERROR line naming path.
void expect_save_survives_the_limit(size_t bytes, const std::string& path, const std::string& old_bytes,
                                    const std::function<void()>& save);
