#include "tests/support/gl_version.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_alone.h"

namespace {

bool contextMade = false;
std::string contextVersion;

std::string version_text(const char* gl_version)
{
    return gl_version ? gl_version : "";
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
    const ProcessResult alone = run_current_test_alone(
        gl_version ? std::string("MESA_GL_VERSION_OVERRIDE=") + gl_version : std::string("-u MESA_GL_VERSION_OVERRIDE"));
    EXPECT_EQ(alone.exit_code, 0) << alone.output;
    return true;
}
