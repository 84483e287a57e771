#include "tests/support/size_limit.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <sstream>
#include <vector>

#include "tests/support/scratch.h"

namespace {

// Longer than any save takes; a child still running then is killed.
constexpr int kLongestRunMs = 60000;

[[noreturn]] void run_child(int output, size_t bytes, AtTheLimit at_limit, const std::function<void()>& action)
{
    dup2(output, STDOUT_FILENO);
    close(output);
    signal(SIGXFSZ, at_limit == AtTheLimit::kWriteFails ? SIG_IGN : SIG_DFL);
    rlimit limit = {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
    action();
    fflush(stdout);
    _exit(0);
}

// False when the child kept its output open past the longest run.
bool read_until_closed(int input, std::string* output)
{
    for (;;) {
        pollfd ready = {input, POLLIN, 0};
        if (poll(&ready, 1, kLongestRunMs) <= 0) return false;
        char buffer[4096];
        const ssize_t count = read(input, buffer, sizeof buffer);
        if (count <= 0) return true;
        output->append(buffer, size_t(count));
    }
}

std::vector<std::string> lines_naming(const std::string& output, const std::string& name)
{
    std::vector<std::string> found;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.find(name) != std::string::npos) found.push_back(line);
    return found;
}

}  // namespace

LimitedRun run_with_file_size_limit(size_t bytes, AtTheLimit at_limit, const std::function<void()>& action)
{
    LimitedRun run;
    int ends[2];
    if (pipe(ends) != 0) return run;
    fflush(stdout);
    fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        run_child(ends[1], bytes, at_limit, action);
    }
    close(ends[1]);
    const bool ended = child > 0 && read_until_closed(ends[0], &run.output);
    close(ends[0]);
    if (child < 0) return run;
    if (!ended) kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
    run.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void expect_save_survives_the_limit(size_t bytes, const std::string& path, const std::string& old_bytes,
                                    const std::function<void()>& save)
{
    const std::string folder = path.substr(0, path.rfind('/'));
    const std::string name = path.substr(path.rfind('/') + 1);
    // A kill leaves its temporary file behind, so the failing writes go first.
    for (AtTheLimit at_limit : {AtTheLimit::kWriteFails, AtTheLimit::kKilled}) {
        for (bool had_file : {true, false}) {
            SCOPED_TRACE(std::string(at_limit == AtTheLimit::kKilled ? "killed at the write" : "the write fails") +
                         (had_file ? ", over an old file" : ", with no old file"));
            remove(path.c_str());
            if (had_file) write_file(path, old_bytes);
            const LimitedRun run = run_with_file_size_limit(bytes, at_limit, save);
            if (had_file)
                EXPECT_TRUE(read_file(path) == old_bytes) << "the old file changed";
            else
                EXPECT_FALSE(file_exists(path)) << "a partial file stands at " << path;
            if (at_limit == AtTheLimit::kKilled) {
                EXPECT_TRUE(run.killed) << "the save never reached the limit\n" << run.output;
                continue;
            }
            EXPECT_TRUE(run.exited) << run.output;
            EXPECT_FALSE(any_file_ending_in(folder, ".tmp"));
            const std::vector<std::string> naming = lines_naming(run.output, name);
            ASSERT_EQ(naming.size(), 1u) << run.output;
            EXPECT_EQ(naming[0].rfind("ERROR: ", 0), 0u) << run.output;
        }
    }
}
