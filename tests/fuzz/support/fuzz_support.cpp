#include "tests/fuzz/support/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

std::string folder;

void remove_scratch_folder()
{
    const std::string command = "rm -rf '" + folder + "'";
    if (system(command.c_str()) != 0) fprintf(stderr, "could not remove %s\n", folder.c_str());
}

const std::string& scratch_folder()
{
    if (folder.empty()) {
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zr-fuzz-XXXXXX";
        if (!mkdtemp(&pattern[0])) {
            perror("mkdtemp");
            abort();
        }
        folder = pattern;
        atexit(remove_scratch_folder);
    }
    return folder;
}

}  // namespace

void quiet_standard_output()
{
    const char* verbose = getenv("ZR_FUZZ_VERBOSE");
    if (verbose && *verbose && std::string(verbose) != "0") return;
    if (!freopen("/dev/null", "w", stdout)) perror("freopen");
}

std::string scratch_file(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = scratch_folder() + "/" + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) {
        perror(path.c_str());
        abort();
    }
    if ((size && fwrite(data, 1, size, file) != size) || fclose(file) != 0) {
        perror(path.c_str());
        abort();
    }
    return path;
}
