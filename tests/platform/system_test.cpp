// The system table's services with a clock the test drives: frame timing and
// the throttle, profiles and their run report, messages and the caption.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/system.h"
#include "tests/support/scratch.h"

namespace {

uint32_t fakeNow = 0;
std::vector<uint32_t> sleeps;

uint32_t fake_milliseconds()
{
    return fakeNow;
}

// Sleeping moves the fake clock, as a real sleep would.
void fake_sleep(uint32_t milliseconds)
{
    sleeps.push_back(milliseconds);
    fakeNow += milliseconds;
}

class SystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeNow = 1000;
        sleeps.clear();
        trellis::system_use_clock({fake_milliseconds, fake_sleep});
    }
    void TearDown() override
    {
        trellis::system_forget_run();
        trellis::system_use_clock({nullptr, nullptr});
    }
    // Starts the services with profiling on (a report path) or off.
    void start(bool profiling)
    {
        report = scratch / "report.txt";
        ASSERT_TRUE(trellis::system_init("zorblitrally", profiling ? report.c_str() : nullptr, nullptr));
    }
    static void set_cap(float fps) { trellis::set_fps_cap(&fps); }

    ScratchFolder scratch;
    std::string report;
};

}  // namespace

TEST_F(SystemTest, ThrottleSleepsTheRestOfTheFrameAndTheNextFrameCountsIt)
{
    start(false);
    set_cap(62.5f);  // 16 ms
    fakeNow += 5;
    EXPECT_FLOAT_EQ(trellis::tick_frame(), 0.005f);
    EXPECT_EQ(sleeps, std::vector<uint32_t>{11});
    EXPECT_FLOAT_EQ(trellis::last_throttle_wait(), 0.011f);

    fakeNow += 3;  // the next frame's own work
    EXPECT_FLOAT_EQ(trellis::tick_frame(), 0.014f);
    EXPECT_EQ(sleeps, (std::vector<uint32_t>{11, 2}));

    fakeNow += 40;  // a slow frame waits for nothing
    EXPECT_FLOAT_EQ(trellis::tick_frame(), 0.042f);
    EXPECT_EQ(sleeps.size(), 2u);
    EXPECT_FLOAT_EQ(trellis::last_throttle_wait(), 0.0f);
}

TEST_F(SystemTest, ClockRunningBackwardsGivesAnEmptyFrameAndABoundedWait)
{
    start(false);
    set_cap(100);
    fakeNow -= 500;
    EXPECT_FLOAT_EQ(trellis::tick_frame(), 0.0f);
    EXPECT_EQ(sleeps, std::vector<uint32_t>{10});
}

TEST_F(SystemTest, FrameRateCaps)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float fps;
        int target;
        const char* printed;
    } cases[] = {
        {60, 16, ""},
        {100, 10, ""},
        {1000, 1, ""},
        {3000, 0, ""},
        {0, 0, "ERROR: Cannot throttle main thread to 0 FPS\n"},
        {-30, 0, ""},
        {nan, 0, ""},
    };
    start(false);
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(trellis::set_fps_cap(&c.fps), c.target) << c.fps;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.fps;
        fakeNow += 1;
        trellis::tick_frame();
        if (c.target == 0) {
            EXPECT_TRUE(sleeps.empty()) << c.fps;
        }
        sleeps.clear();
    }
}

TEST_F(SystemTest, SleepsTakeWholeMillisecondsAndNeverGoNegative)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double seconds : {0.0125, 0.0, -2.0, nan}) trellis::sleep_seconds(&seconds);
    trellis::yield_thread();
    EXPECT_EQ(sleeps, (std::vector<uint32_t>{12, 1}));
}

TEST_F(SystemTest, RatesFollowTheFrames)
{
    start(false);
    EXPECT_FLOAT_EQ(trellis::current_fps(), 0.0f);
    for (int frame = 0; frame < 4; ++frame) {
        fakeNow += frame < 2 ? 10 : 40;
        trellis::tick_frame();
    }
    EXPECT_FLOAT_EQ(trellis::run_time(), 0.1f);
    EXPECT_FLOAT_EQ(trellis::last_frame_seconds(), 0.04f);
    EXPECT_FLOAT_EQ(trellis::current_fps(), 25.0f);
    EXPECT_NEAR(trellis::average_fps(), 40.0f, 1e-3);  // four frames in 0.1 s
}

TEST_F(SystemTest, WithoutAReportPathProfilingIsOff)
{
    start(false);
    EXPECT_EQ(trellis::begin_profile("Off Stage"), nullptr);
    EXPECT_EQ(trellis::begin_profile("Off Stage"), nullptr);
    EXPECT_EQ(trellis::end_profile("Never Begun"), nullptr);
    testing::internal::CaptureStdout();
    EXPECT_FLOAT_EQ(trellis::profile_fraction("Off Stage"), 0.0f);
    EXPECT_DOUBLE_EQ(trellis::profile_seconds("Off Stage"), 0.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "WARNING: Profile Off Stage could not be accessed\nWARNING: Profile Off Stage could not be accessed\n");
    trellis::system_shutdown();
    EXPECT_FALSE(file_exists(report));
}

TEST_F(SystemTest, ProfileMisuseNamesTheWholeProfile)
{
    start(true);
    const std::string name = "A profile whose name is far longer than thirty-two bytes";
    EXPECT_EQ(trellis::begin_profile(name.c_str()), nullptr);
    const char* again = trellis::begin_profile(name.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(std::string(again), "Tried to begin profile " + name + " but it is already running\n");
    EXPECT_EQ(trellis::end_profile(name.c_str()), nullptr);
    const char* ended = trellis::end_profile(name.c_str());
    ASSERT_NE(ended, nullptr);
    EXPECT_EQ(std::string(ended), "Tried to end profile " + name + " but it is not running\n");
    const char* unknown = trellis::end_profile("Nobody");
    ASSERT_NE(unknown, nullptr);
    EXPECT_STREQ(unknown, "Profile Nobody could not be accessed\n");
}

TEST_F(SystemTest, ProfileTimeIsFoldedAtEachTick)
{
    start(true);
    trellis::begin_profile("Game Update");
    fakeNow += 30;
    trellis::end_profile("Game Update");
    EXPECT_DOUBLE_EQ(trellis::profile_seconds("Game Update"), 0.0) << "folded only by the tick";
    EXPECT_FLOAT_EQ(trellis::profile_fraction("Game Update"), 0.0f) << "no run time yet";
    fakeNow += 10;
    trellis::tick_frame();
    EXPECT_NEAR(trellis::profile_seconds("Game Update"), 0.03, 1e-6);
    EXPECT_NEAR(trellis::profile_fraction("Game Update"), 75.0f, 1e-3);
}

TEST_F(SystemTest, ReportListsEachProfileInKeyOrder)
{
    start(true);
    set_cap(100);
    for (int frame = 0; frame < 2; ++frame) {
        trellis::begin_profile("Game Render");
        fakeNow += 4;
        trellis::end_profile("Game Render");
        fakeNow += 1;
        trellis::tick_frame();
    }
    // The first frame took 5 ms and waited 5; the second then took 10 ms and
    // waited for nothing; this third one folds the second's times.
    fakeNow += 5;
    trellis::tick_frame();
    trellis::system_shutdown();
    // "Throttling" hashes below "Game Render", so it comes first.
    EXPECT_EQ(read_file(report),
              "Program ran for 0.02 seconds with an average framerate of 150 frames/second.\n\n"
              "Profiles: 2\n\n"
              "\"Throttling\"\n  ~25% of the CPU's time, running for 0.005 seconds\n\n"
              "\"Game Render\"\n  ~40% of the CPU's time, running for 0.008 seconds\n\n");
}

TEST_F(SystemTest, SecondInitShutsDownAndRefuses)
{
    start(true);
    trellis::begin_profile("Net Update");
    trellis::end_profile("Net Update");
    EXPECT_FALSE(trellis::system_init("again", nullptr, nullptr));
    EXPECT_TRUE(file_exists(report));
    EXPECT_STREQ(trellis::get_caption(), "zorblitrally");
    EXPECT_TRUE(trellis::system_init("again", nullptr, nullptr));
    EXPECT_STREQ(trellis::get_caption(), "again");
}

TEST_F(SystemTest, CaptionAndReportPathAreCutToTheirBuffers)
{
    const std::string caption(100, 'c');
    const std::string long_path = scratch.path() + "/" + std::string(300, 'r');
    ASSERT_TRUE(trellis::system_init(caption.c_str(), long_path.c_str(), nullptr));
    EXPECT_EQ(std::string(trellis::get_caption()), std::string(63, 'c'));
    trellis::begin_profile("Cut");
    trellis::end_profile("Cut");
    trellis::system_shutdown();  // the cut path names no folder that exists: nothing is written
}

TEST_F(SystemTest, MessagesAreNeverFormatsAndGoToTheLogToo)
{
    const std::string log = scratch / "messages.log";
    ASSERT_TRUE(trellis::system_init("zorblitrally", nullptr, log.c_str()));
    testing::internal::CaptureStdout();
    EXPECT_EQ(trellis::print_message("100% %s %n done\n"), 16);
    EXPECT_EQ(trellis::print_message(nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "100% %s %n done\n");
    trellis::system_shutdown();
    EXPECT_EQ(read_file(log), "100% %s %n done\n");
}
