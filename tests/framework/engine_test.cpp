// The engine against a plug-in that fakes every module and logs the calls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/modules.h"
#include "base/plugin.h"
#include "framework/engine.h"
#include "tests/support/scratch.h"
#include "tests/support/test_alone.h"

namespace {

// A program that notes its own hooks in the fake modules' call log.
class LoggingProgram : public cEngineProc3dMulti {
public:
    void update_program(float*) override { note("update_program"); }
    void render_view_scene() override { note("render_view_scene"); }
    void render_view_effects(cViewReference* view) override { note("render_view_effects " + std::to_string(view->index)); }
    void render_overlay(cViewReference* view) override { note("render_overlay " + std::to_string(view->index)); }
    void render_extra_overlay() override { note("render_extra_overlay"); }

private:
    static void note(const std::string& line);
};

template <class Function>
Function fake(const char* name)
{
    const int16_t id = __mCore_get_first_valid_plugin("Module", nullptr);
    return reinterpret_cast<Function>(__mCore_get_plugin_function(id, name));
}

void LoggingProgram::note(const std::string& line)
{
    fake<void (*)(const char*)>("fake_note")(line.c_str());
}

std::string call_log()
{
    return fake<const char* (*)()>("fake_log")();
}

void clear_log()
{
    fake<void (*)()>("fake_clear_log")();
}

// A scratch folder holding the fake plug-in and a 640 x 480 cfg. The modules
// stay bound to the plug-in the first test loaded, so each test leaves it as
// it was loaded for the next one in the same process.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        home = here;
        make_folder(scratch / "plugin");
        make_folder(scratch / "local");
        copy_file(std::string(ZR_FIXTURE_DIR) + "/fake_modules.so", scratch / "plugin/fake_modules.so");
        write_file(scratch / "local/enginetest.cfg", std::string("\x80\x02\xe0\x01\x00", 5));
        ASSERT_EQ(chdir(scratch.path().c_str()), 0);
        program_path = scratch / "enginetest";
    }
    void TearDown() override
    {
        unsetenv("FAKE_PROFILE_ERROR");
        __mGraphics_instance()->frame_stats = FrameStatistics();
        if (__mCore_get_first_valid_plugin("Module", nullptr) != -1) fake<void (*)()>("fake_reset")();
        ASSERT_EQ(chdir(home.c_str()), 0);
    }

    bool open(LoggingProgram& program)
    {
        char* argv[] = {program_path.data(), nullptr};
        return program.open_modules(1, argv);
    }

    ScratchFolder scratch;
    std::string home;
    std::string program_path;
};

// True when every line of expected appears in log in this order.
bool in_order(const std::string& log, const std::vector<std::string>& expected)
{
    size_t at = 0;
    for (const std::string& line : expected) {
        at = log.find(line + "\n", at);
        if (at == std::string::npos) return false;
        at += line.size();
    }
    return true;
}

}  // namespace

TEST_F(EngineTest, OpensTheModulesInOrderWithTheCfgSettings)
{
    LoggingProgram program;
    ASSERT_TRUE(open(program));
    const std::string log = call_log();
    EXPECT_TRUE(in_order(log, {"system_init enginetest", "open_window 640x480 windowed", "sound_init", "input_init",
                               "net_init 2052", "import_image font.png", "load_shader simpleTexMap.vert",
                               "load_shader simpleTexMap.frag", "load_shader 3dMap.vert", "load_shader 3dMap.frag",
                               "build_shader_program", "build_shader_program"}))
        << log;
    EXPECT_EQ(__mGraphics_instance()->glyph_texture, 5);
    EXPECT_EQ(__mGraphics_instance()->glyph_mask_texture, 5);
    EXPECT_STREQ(__mNetwork_instance()->host_name, "fakehost");
    EXPECT_EQ(program.profile_path, scratch.path() + "/local/enginetest.prf");
    ASSERT_NE(program.default_view, nullptr);
    EXPECT_EQ(program.default_view->size.x, 640);
    EXPECT_EQ(program.default_view->size.y, 480);
    EXPECT_FLOAT_EQ(program.default_view->field_of_view, 45);
    EXPECT_FLOAT_EQ(program.default_view->far_plane, 1000);
    program.close_modules();
}

TEST_F(EngineTest, FrameRunsItsStagesInOrder)
{
    LoggingProgram program;
    ASSERT_TRUE(open(program));
    clear_log();
    EXPECT_TRUE(program.run_frame());
    const std::string log = call_log();
    EXPECT_TRUE(in_order(log, {"tick_frame", "begin Graphics Update", "end_frame", "end Graphics Update",
                               "begin Input Update", "update_input", "end Input Update", "begin Audio Update",
                               "end Audio Update", "begin Net Update", "net_poll", "end Net Update", "begin Game Update",
                               "update_program", "end Game Update", "begin Game Render", "use_program 5",
                               "set_depth_range", "set_perspective 45", "set_viewport 0 0 640 480", "set_clear_color",
                               "set_fog", "set_depth_test off", "set_lighting off", "render_view_scene",
                               "set_lighting on", "set_depth_test on", "render_view_effects -1", "set_lighting off",
                               "set_depth_test off", "set_orthographic 0 0 640 480", "use_program 4",
                               "render_overlay -1", "end Game Render", "begin Game Overlay",
                               "set_orthographic 0 0 640 480", "render_extra_overlay", "end Game Overlay"}))
        << log;
    EXPECT_EQ(__mGraphics_instance()->frame_stats.frames, 1);
    program.close_modules();
}

TEST_F(EngineTest, QuitRulesSkipUpdateAndRenderButNotTheOverlay)
{
    LoggingProgram opened;
    ASSERT_TRUE(open(opened));
    // quit is never cleared, so each rule gets a program of its own; the
    // modules stay open from the first.
    LoggingProgram second;
    const struct {
        const char* control;
        LoggingProgram* program;
    } cases[] = {{"fake_set_alt_f4", &opened}, {"fake_set_quit_requested", &second}};
    for (const auto& c : cases) {
        clear_log();
        fake<void (*)(bool)>(c.control)(true);
        EXPECT_FALSE(c.program->run_frame()) << c.control;
        fake<void (*)(bool)>(c.control)(false);
        const std::string log = call_log();
        EXPECT_EQ(log.find("update_program"), std::string::npos) << c.control << "\n" << log;
        EXPECT_EQ(log.find("render_view_scene"), std::string::npos) << c.control;
        EXPECT_TRUE(in_order(log, {"net_poll", "begin Game Overlay", "render_extra_overlay", "end Game Overlay"}))
            << log;
        EXPECT_TRUE(c.program->quit);
    }
    opened.close_modules();
}

TEST_F(EngineTest, ProfileErrorEndsTheProgram)
{
    setenv("FAKE_PROFILE_ERROR", "Game Update", 1);
    LoggingProgram program;
    ASSERT_TRUE(open(program));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(program.run_frame());
    EXPECT_NE(testing::internal::GetCapturedStdout().find("ERROR: Profile already running\n"), std::string::npos);
    program.close_modules();
}

// Start-up without a module it needs closes everything it opened and fails.
TEST_F(EngineTest, MissingOrFailingModuleClosesEverything)
{
    struct Case {
        const char* variable;
        const char* value;
        const char* last_opened;
        const char* not_reached;
    } cases[] = {
        {"FAKE_KINDS", "GRAPHICS,INPUT,SYSTEM,AUDIO", "input_init", "net_init"},
        {"FAKE_KINDS", "GRAPHICS,INPUT,SYSTEM,NET", "open_window", "input_init"},
        {"FAKE_SOUND_INIT", "0", "sound_init", "input_init"},
    };
    const char* which = getenv("ENGINE_CASE");
    if (!which) {
        // Each case needs a fresh loader: run this test again per case.
        for (int i = 0; i < 3; ++i) {
            const ProcessResult result = run_current_test_alone("ENGINE_CASE=" + std::to_string(i));
            EXPECT_EQ(result.exit_code, 0) << result.output;
        }
        return;
    }
    const Case& c = cases[atoi(which)];
    setenv(c.variable, c.value, 1);
    LoggingProgram program;
    EXPECT_FALSE(open(program));
    const std::string log = call_log();
    EXPECT_NE(log.find(c.last_opened), std::string::npos) << log;
    EXPECT_EQ(log.find(c.not_reached), std::string::npos) << log;
    EXPECT_NE(log.find("input_close"), std::string::npos) << log;
    EXPECT_TRUE(in_order(log, {"close_window", "system_shutdown"})) << log;
}
