// Test helpers: a scratch folder removed at the end of the test, file copies
// and writes, and running a program to read back what it printed.
#pragma once

#include <string>
#include <vector>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return folder; }
    std::string operator/(const std::string& name) const { return folder + "/" + name; }

private:
    std::string folder;
};

void make_folder(const std::string& path);
void copy_file(const std::string& from, const std::string& to);
void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
bool file_exists(const std::string& path);
// Whether any file directly in folder has a name ending in ending.
bool any_file_ending_in(const std::string& folder, const std::string& ending);

struct ProcessResult {
    std::string output;  // standard output and standard error, in order
    int exit_code;
};

// Runs a shell command with input on its standard input; -1 when it did not exit normally.
ProcessResult run_process(const std::string& command, const std::string& input = "");

// The built program and keelcore in folder, with the fake-modules plug-in and
// the named plug-ins of the build and the model importer in plugin/, an
// 800 x 600 windowed cfg in local/, rules as data/zorblitRally/rules.ini and
// the game's fbx models under data/zorblitRally/.
void copy_program_with_fake_modules(const ScratchFolder& folder, const std::string& rules,
                                    const std::vector<std::string>& game_plugins = {});

// How many times text occurs in haystack.
int count_of(const std::string& haystack, const std::string& text);
