// What play.sh builds needs none of the packages that only the tests use: the
// game's configure runs with every test-only package that is installed hidden
// from it. The same configure with the tests must then fail, which shows the
// packages really were hidden.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/scratch.h"

namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

bool ends_with(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

std::string file_name(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

// What the test-only packages give the build to find: pkg-config modules and
// CMake package configurations.
struct Findable {
    std::vector<std::string> modules;
    std::vector<std::string> cmake_packages;
};

Findable findable_of_test_packages()
{
    Findable found;
    for (const std::string& package : lines_of(read_file(std::string(ZR_SOURCE_DIR) + "/tools/test_packages.txt"))) {
        const ProcessResult files = run_process("dpkg -L " + package + " 2>/dev/null");
        if (files.exit_code != 0) continue;
        for (const std::string& path : lines_of(files.output)) {
            const std::string name = file_name(path);
            if (ends_with(name, ".pc")) found.modules.push_back(name.substr(0, name.size() - 3));
            if (ends_with(name, "Config.cmake")) found.cmake_packages.push_back(name.substr(0, name.size() - 12));
            if (ends_with(name, "-config.cmake")) found.cmake_packages.push_back(name.substr(0, name.size() - 13));
        }
    }
    return found;
}

// A pkg-config that knows none of the modules; every other question goes to the real one.
std::string write_hiding_pkg_config(const ScratchFolder& scratch, const std::vector<std::string>& modules)
{
    const std::string real = run_process("command -v pkg-config").output;
    std::string script = "#!/bin/sh\nfor argument in \"$@\"; do\n  case \"${argument%%[<>=]*}\" in\n";
    for (const std::string& module : modules) script += "    " + module + ") exit 1 ;;\n";
    script += "  esac\ndone\nexec " + real.substr(0, real.find('\n')) + " \"$@\"\n";
    const std::string path = scratch / "pkg-config";
    write_file(path, script);
    run_process("chmod +x '" + path + "'");
    return path;
}

ProcessResult configure(const std::string& folder, const std::string& hiding, const std::string& testing)
{
    return run_process("cmake -S '" + std::string(ZR_SOURCE_DIR) + "' -B '" + folder + "' " + hiding +
                       " -DBUILD_TESTING=" + testing);
}

}  // namespace

TEST(PlaySetup, TheGamesBuildConfiguresWithoutTheTestPackages)
{
    const Findable hidden = findable_of_test_packages();
    ASSERT_FALSE(hidden.cmake_packages.empty() && hidden.modules.empty()) << "no test-only package is installed";
    ScratchFolder scratch;
    std::string hiding = "-DPKG_CONFIG_EXECUTABLE='" + write_hiding_pkg_config(scratch, hidden.modules) + "'";
    for (const std::string& package : hidden.cmake_packages) hiding += " -DCMAKE_DISABLE_FIND_PACKAGE_" + package + "=ON";

    const ProcessResult game = configure(scratch / "game", hiding, "OFF");
    EXPECT_EQ(game.exit_code, 0) << game.output;
    const ProcessResult with_tests = configure(scratch / "tests", hiding, "ON");
    EXPECT_NE(with_tests.exit_code, 0) << "the tests configured with their packages hidden:\n" << with_tests.output;
}
