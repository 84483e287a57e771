// trellis in a plugin folder of its own, opened by the loader in a fresh
// process: it binds the kinds it serves.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch.h"

TEST(TrellisLoaded, TheLoaderBindsItsModules)
{
    ScratchFolder scratch;
    make_folder(scratch / "plugin");
    copy_file(std::string(ZR_GAME_DIR) + "/plugin/trellis.so", scratch / "plugin/trellis.so");
    const ProcessResult result = run_process(std::string(ZR_FIXTURE_DIR) + "/loader_probe " + scratch.path());
    EXPECT_EQ(result.exit_code, 0) << result.output;
    EXPECT_NE(result.output.find("loading plugin: MOD-Trellis\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("graphics bound input bound system bound net unbound audio unbound"),
              std::string::npos)
        << result.output;
}
