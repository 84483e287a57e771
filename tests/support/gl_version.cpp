#include "tests/support/gl_version.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/support/scratch.h"

namespace {

bool contextMade = false;
std::string contextVersion;

std::string version_text(const char* gl_version)
{
    return gl_version ? gl_version : "";
}

std::string this_program()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    path[length] = 0;
    return path;
}

}  // namespace

void note_gl_version(const char* gl_version)
{
    if (contextMade) return;
    contextMade = true;
    contextVersion = version_text(gl_version);
}

bool ran_alone_for_gl_version(const char* gl_version)
{
    if (!contextMade || contextVersion == version_text(gl_version)) return false;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(test->test_suite_name()) + "." + test->name();
    const std::string version = gl_version ? std::string("MESA_GL_VERSION_OVERRIDE=") + gl_version
                                           : std::string("-u MESA_GL_VERSION_OVERRIDE");
    const ProcessResult alone = run_process("env " + version + " '" + this_program() + "' --gtest_filter='" + name + "'");
    EXPECT_EQ(alone.exit_code, 0) << alone.output;
    return true;
}
