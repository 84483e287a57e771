// The music the build composes: every frame of a piece is in its file, and
// the file's last page closes the stream, so a player hears a piece to its end.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <string>

#include "tests/support/scratch.h"

namespace {

constexpr double kRate = 44100;

// Frames the file decodes to, -1 when it does not open as Vorbis.
long decoded_frames(const std::string& path)
{
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) return -1;
    long frames = 0;
    char pcm[4096];
    int section = 0;
    long got = 0;
    while ((got = ov_read(&file, pcm, sizeof pcm, 0, 2, 1, &section)) > 0) frames += got / 4;
    ov_clear(&file);
    return frames;
}

// Whether the last Ogg page of the file carries the end-of-stream flag.
bool last_page_ends_the_stream(const std::string& bytes)
{
    const size_t last_page = bytes.rfind("OggS");
    return last_page != std::string::npos && last_page + 5 < bytes.size() && (bytes[last_page + 5] & 0x04) != 0;
}

}  // namespace

TEST(MusicPieces, ACutPieceHoldsEveryFrameAskedFor)
{
    ScratchFolder scratch;
    const struct {
        char piece;
        double seconds;
    } cases[] = {{'A', 1.5}, {'B', 0.5}, {'C', 0.1}, {'D', 2.0}};
    for (const auto& c : cases) {
        const std::string path = scratch / (std::string(1, c.piece) + ".ogg");
        const ProcessResult made = run_process(std::string(ZR_COMPOSER) + " " + c.piece + " '" + path + "' " +
                                               std::to_string(c.seconds));
        ASSERT_EQ(made.exit_code, 0) << made.output;
        EXPECT_EQ(decoded_frames(path), long(c.seconds * kRate)) << c.piece << " cut at " << c.seconds << " s";
        EXPECT_TRUE(last_page_ends_the_stream(read_file(path))) << c.piece;
    }
}

TEST(MusicPieces, TheGamesPiecesEndTheirStreams)
{
    for (const char piece : {'A', 'B', 'C', 'D'}) {
        const std::string path = std::string(ZR_GAME_DIR) + "/data/zorblitRally/music/Divive - " + piece + ".ogg";
        EXPECT_GT(decoded_frames(path), long(10 * kRate)) << path;
        EXPECT_TRUE(last_page_ends_the_stream(read_file(path))) << path;
    }
}
