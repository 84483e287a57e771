#include "tests/support/scratch.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

ScratchFolder::ScratchFolder()
{
    char pattern[] = "/tmp/zr-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    folder = pattern;
}

ScratchFolder::~ScratchFolder()
{
    const std::string command = "rm -rf '" + folder + "'";
    if (system(command.c_str()) != 0) fprintf(stderr, "could not remove %s\n", folder.c_str());
}

void make_folder(const std::string& path)
{
    mkdir(path.c_str(), 0755);
}

void copy_file(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + from);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    chmod(to.c_str(), 0755);
}

void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool file_exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

ProcessResult run_process(const std::string& command, const std::string& input)
{
    char input_path[] = "/tmp/zr-input-XXXXXX";
    const int fd = mkstemp(input_path);
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    if (write(fd, input.data(), input.size()) != ssize_t(input.size())) throw std::runtime_error("write failed");
    close(fd);
    const std::string full = "(" + command + ") < " + input_path + " 2>&1";
    FILE* pipe = popen(full.c_str(), "r");
    ProcessResult result{"", -1};
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, count);
    const int status = pclose(pipe);
    unlink(input_path);
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    return result;
}

int count_of(const std::string& haystack, const std::string& text)
{
    int count = 0;
    for (size_t at = haystack.find(text); at != std::string::npos; at = haystack.find(text, at + text.size())) ++count;
    return count;
}

void copy_program_with_fake_modules(const ScratchFolder& folder, const std::string& rules,
                                    const std::vector<std::string>& game_plugins)
{
    make_folder(folder / "plugin");
    make_folder(folder / "local");
    make_folder(folder / "data");
    make_folder(folder / "data/zorblitRally");
    copy_file(std::string(ZR_GAME_DIR) + "/zorblitrally", folder / "zorblitrally");
    copy_file(std::string(ZR_GAME_DIR) + "/libkeelcore.so", folder / "libkeelcore.so");
    copy_file(std::string(ZR_FIXTURE_DIR) + "/fake_modules.so", folder / "plugin/fake_modules.so");
    for (const std::string& plugin : game_plugins)
        copy_file(std::string(ZR_GAME_DIR) + "/plugin/" + plugin, folder / ("plugin/" + plugin));
    write_file(folder / "local/zorblitrally.cfg", std::string("\x20\x03\x58\x02\x00", 5));
    write_file(folder / "data/zorblitRally/rules.ini", rules);
    copy_file(std::string(ZR_GAME_DIR) + "/plugin/meshferry.so", folder / "plugin/meshferry.so");
    make_folder(folder / "data/zorblitRally/carts");
    make_folder(folder / "data/zorblitRally/extraModel");
    for (const char* model : {"carts/Foxcart", "carts/Erminecart", "extraModel/speedboost", "extraModel/finishLine"})
        copy_file(std::string(ZR_GAME_DIR) + "/data/zorblitRally/" + model + ".fbx",
                  folder / ("data/zorblitRally/" + std::string(model) + ".fbx"));
}

bool any_file_ending_in(const std::string& folder, const std::string& ending)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    }
    return false;
}
