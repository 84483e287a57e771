// murmur loaded as the engine loads it, its music played into SDL's disk
// driver (a raw file of what would have been heard) and, with no sound device
// at all, into silence.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/sound_interface.h"
#include "tests/support/scratch.h"

namespace {

const std::string kPlugin = std::string(ZR_GAME_DIR) + "/plugin/murmur.so";
constexpr uint16_t kNoMusic = 0xFFFF;

const char* const kAudioVariables[] = {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE", "SDL_DISKAUDIODELAY",
                                       "PULSE_SERVER",    "ALSA_CARD",         "AUDIODEV"};

// SDL's drivers are chosen from the environment when the module starts.
void set_audio_environment(const char* driver, const std::string& disk_file = "")
{
    if (driver)
        setenv("SDL_AUDIODRIVER", driver, 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    setenv("SDL_DISKAUDIOFILE", disk_file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "10", 1);  // about four times faster than heard
    // No sound server, card or OSS device, whatever the machine has.
    setenv("PULSE_SERVER", "unix:/nonexistent/zr-pulse", 1);
    setenv("ALSA_CARD", "ZrNoSuchCard", 1);
    setenv("AUDIODEV", "/nonexistent/zr-dsp", 1);
}

class MurmurTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kAudioVariables) {
            const char* value = getenv(name);
            saved_environment.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        // Kept loaded: what its libraries hold for good is then still theirs, not a leak.
        library = dlopen(kPlugin.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        ASSERT_NE(library, nullptr) << dlerror();
        auto connect = reinterpret_cast<sound_interface* (*)(sound_interface*)>(
            dlsym(library, "connect_sound_interface"));
        ASSERT_NE(connect, nullptr);
        connect(&table);
    }
    void TearDown() override
    {
        if (library) dlclose(library);
        for (const auto& [name, value] : saved_environment)
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
    }
    std::string compose(char piece, double seconds)
    {
        const std::string path = scratch / (std::string(1, piece) + ".ogg");
        const ProcessResult made = run_process(std::string(ZR_COMPOSER) + " " + piece + " '" + path + "' " +
                                               std::to_string(seconds));
        EXPECT_EQ(made.exit_code, 0) << made.output;
        return path;
    }
    // True when the piece ended within the limit.
    bool wait_for_the_end(double limit_seconds)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(limit_seconds);
        while (table.music_playing()) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_environment;
    void* library = nullptr;
    sound_interface table = {};
    ScratchFolder scratch;
};

struct Loudness {
    size_t frames = 0;
    size_t loud_frames = 0;
};

Loudness loudness_of_raw(const std::string& bytes)
{
    Loudness result;
    result.frames = bytes.size() / 4;  // signed 16-bit stereo
    for (size_t frame = 0; frame < result.frames; ++frame) {
        int16_t left, right;
        memcpy(&left, &bytes[frame * 4], 2);
        memcpy(&right, &bytes[frame * 4 + 2], 2);
        if (abs(left) > 500 || abs(right) > 500) ++result.loud_frames;
    }
    return result;
}

TEST_F(MurmurTest, APiecePlaysIntoTheDiskDriverAndEnds)
{
    const std::string piece = compose('A', 1.5);
    const std::string raw = scratch / "heard.raw";
    set_audio_environment("disk", raw);
    // SDL's disk driver announces itself on standard error; that is the test's own choice.
    testing::internal::CaptureStdout();
    ASSERT_TRUE(table.sound_init());
    const uint16_t music = table.load_music(piece.c_str());
    EXPECT_NE(music, kNoMusic);
    EXPECT_FALSE(table.music_playing());
    table.play_music(music, 1.0, 0.0, 0.0);
    EXPECT_TRUE(table.music_playing());
    EXPECT_TRUE(wait_for_the_end(20.0)) << "the piece never ended";
    table.sound_shutdown();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    const Loudness heard = loudness_of_raw(read_file(raw));
    // 44100 frames a second: a second and a half of music, and not much of it quiet.
    EXPECT_GE(heard.frames, size_t(1.5 * 44100));
    EXPECT_GT(heard.loud_frames, size_t(1.0 * 44100)) << "of " << heard.frames << " frames";
    EXPECT_LT(heard.loud_frames, size_t(1.6 * 44100));
}

TEST_F(MurmurTest, StoppingAndUnknownHandlesLeaveNothingPlaying)
{
    const std::string piece = compose('B', 3.0);
    set_audio_environment("disk", scratch / "heard.raw");
    ASSERT_TRUE(table.sound_init());
    const uint16_t music = table.load_music(piece.c_str());
    const struct {
        const char* what;
        uint16_t handle;
        double fade_out;  // < 0: stop with an unknown handle instead
    } cases[] = {
        {"stopped at once", music, 0.0},
        {"faded out", music, 0.1},
        {"an unknown handle", music, -1},
    };
    for (const auto& c : cases) {
        table.play_music(c.handle, 1.0, 0.0, c.fade_out > 0 ? 0.05 : 0.0);
        EXPECT_TRUE(table.music_playing()) << c.what;
        if (c.fade_out >= 0)
            table.stop_music(c.fade_out);
        else
            table.play_music(uint16_t(music + 7), 1.0, 0.0, 0.0);
        EXPECT_TRUE(wait_for_the_end(1.0)) << c.what;
    }
    table.play_music(kNoMusic, 1.0, 0.0, 0.0);
    EXPECT_FALSE(table.music_playing());
    table.sound_shutdown();
}

TEST_F(MurmurTest, AMissingFileGetsNoHandleAndOneWarning)
{
    set_audio_environment("disk", scratch / "heard.raw");
    ASSERT_TRUE(table.sound_init());
    const std::string missing = scratch / "none.ogg";
    testing::internal::CaptureStdout();
    EXPECT_EQ(table.load_music(missing.c_str()), kNoMusic);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "WARNING: Could not load the music file " + missing + ": Couldn't open '" + missing + "'\n");
    table.sound_shutdown();
}

// The sound library's own complaints stay off the console; the module says it
// once and plays on in silence, pieces still taking their time.
TEST_F(MurmurTest, WithoutASoundDeviceItWarnsOnceAndPlaysSilently)
{
    const std::string piece = compose('C', 0.5);
    set_audio_environment(nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool started = table.sound_init();
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(started);
    EXPECT_EQ(out, "WARNING: No sound device could be opened (No available audio device): the game runs without "
                   "sound\n");
    EXPECT_EQ(err, "");
    EXPECT_EQ(getenv("SDL_AUDIODRIVER"), nullptr) << "the environment is left as it was";

    const uint16_t music = table.load_music(piece.c_str());
    EXPECT_NE(music, kNoMusic);
    table.play_music(music, 1.0, 0.0, 0.0);
    EXPECT_TRUE(table.music_playing());
    EXPECT_TRUE(wait_for_the_end(10.0));
    table.stop_music(1.0);
    table.sound_shutdown();
    table.sound_shutdown();
}

// The engine may close and open the module again in one process: the second
// run plays as the first did.
TEST_F(MurmurTest, ASecondStartAfterAShutdownPlaysAgain)
{
    const std::string piece = compose('C', 0.5);
    set_audio_environment("disk", scratch / "heard.raw");
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(table.sound_init()) << "run " << run;
        const uint16_t music = table.load_music(piece.c_str());
        ASSERT_NE(music, kNoMusic) << "run " << run;
        table.play_music(music, 1.0, 0.0, 0.0);
        EXPECT_TRUE(table.music_playing()) << "run " << run;
        EXPECT_TRUE(wait_for_the_end(10.0)) << "run " << run;
        table.sound_shutdown();
    }
}

}  // namespace
