// The real program against the fake-modules plug-in: what its settings file
// holds after a run, from no file, an ignored one and a good one.
#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace {

std::string bytes(std::initializer_list<unsigned char> values)
{
    return std::string(values.begin(), values.end());
}

const std::string kVersion296 = bytes({0x28, 0x01, 0, 0});

std::string record(const std::string& name, std::initializer_list<unsigned char> rest)
{
    return name + std::string(32 - name.size(), '\0') + bytes(rest);
}

class SettingsRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        copy_program_with_fake_modules(scratch, "Servers < a >\n");
    }
    ProcessResult start(const std::string& controls = "FAKE_ESCAPE_FRAME=2")
    {
        return run_process("cd '" + scratch.path() + "' && " + controls + " ./zorblitrally");
    }
    std::string settings() { return read_file(scratch / "local/zorblitrally.prf"); }

    ScratchFolder scratch;
};

// The fake network module names the host "fakehost".
TEST_F(SettingsRunTest, ARunWritesVersionAndRecordWithTheDefaultsFilledIn)
{
    const struct {
        const char* what;
        std::string before;
        std::string after;
    } cases[] = {
        {"no file", "", kVersion296 + record("fakehost", {0, 0, 0, 0, 23, 4, 0, 0})},
        {"version 295", bytes({0x27, 0x01, 0, 0}) + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0}),
         kVersion296 + record("fakehost", {0, 0, 0, 0, 23, 4, 0, 0})},
        {"version 297", bytes({0x29, 0x01, 0, 0}) + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0}),
         kVersion296 + record("fakehost", {0, 0, 0, 0, 23, 4, 0, 0})},
        {"a short file", (kVersion296 + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0})).substr(0, 40),
         kVersion296 + record("fakehost", {0, 0, 0, 0, 23, 4, 0, 0})},
        {"version 296", kVersion296 + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0}),
         kVersion296 + record("Zed", {1, 0, 1, 0, 9, 7, 1, 0})},
        {"zero intervals", kVersion296 + record("Zed", {0, 0, 0, 0, 0, 0, 0, 0}),
         kVersion296 + record("Zed", {0, 0, 0, 0, 23, 4, 0, 0})},
    };
    for (const auto& c : cases) {
        remove((scratch / "local/zorblitrally.prf").c_str());
        if (!c.before.empty()) write_file(scratch / "local/zorblitrally.prf", c.before);
        const ProcessResult run = start();
        EXPECT_EQ(run.exit_code, 0) << c.what << "\n" << run.output;
        EXPECT_EQ(settings(), c.after) << c.what;
    }
}

TEST_F(SettingsRunTest, AStartThatFailsWritesNoSettings)
{
    const ProcessResult run = start("FAKE_SOUND_INIT=0");
    EXPECT_EQ(run.exit_code, 1) << run.output;
    EXPECT_FALSE(file_exists(scratch / "local/zorblitrally.prf"));
}

}  // namespace
