// Screenshots of the game for the README, taken under an X server:
//   screenshot_tour OUT_FOLDER
// runs the built program at 1024 x 768, saves the server browser menu, hosts
// a game and saves its lobby, clicks "OMG START!", holds Up and saves the race
// from the player's own camera once the cart has driven off the grid; then it
// draws a race of six carts of both species in a window
// of its own, seen from beside the starting rows. The files are menu.png,
// lobby.png, race.png and race_start.png.
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/race_view/race_stage.h"
#include "tests/support/program_window.h"
#include "tools/png_file.h"

namespace {

const std::string k1024x768("\x00\x04\x00\x03\x00", 5);
constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kHostGameX = kWidth / 2;
constexpr int kHostGameY = 442;
constexpr int kStartX = kWidth / 2;
constexpr int kStartY = 74;
// The buttons' inner boxes are blue left of their text.
constexpr int kLeftOfText = 70;
const Rgb kButtonBlue{0, 0, 255};
constexpr int kRaceSettleMs = 1000;
constexpr int kDriveMs = 2500;

std::string settings_for(const std::string& name)
{
    return std::string("\x28\x01\0\0", 4) + name + std::string(32 - name.size(), '\0') + std::string(4, '\0') +
           char(23) + char(4) + std::string(2, '\0');
}

bool write_png(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb)
{
    return write_png_file(path, width, height, 3, rgb.data());
}

bool save_window(Display* display, Window window, const std::string& path)
{
    XImage* image = XGetImage(display, window, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    if (!image) return false;
    std::vector<unsigned char> rgb(size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const unsigned long value = XGetPixel(image, x, y);
            unsigned char* p = &rgb[(size_t(y) * kWidth + x) * 3];
            p[0] = (value & image->red_mask) >> 16;
            p[1] = (value & image->green_mask) >> 8;
            p[2] = value & image->blue_mask;
        }
    XDestroyImage(image);
    const bool written = write_png(path, kWidth, kHeight, rgb);
    printf("%s %s\n", written ? "saved" : "ERROR: could not write", path.c_str());
    return written;
}

// The starting rows from behind and beside, the planet on the left.
bool save_starting_rows(const std::string& path)
{
    ScratchFolder folder;
    RaceStage stage;
    const std::string failure = stage.open(folder.path(), kWidth, kHeight, 6, 1234);
    if (!failure.empty()) {
        printf("ERROR: %s\n", failure.c_str());
        return false;
    }
    stage.look_from(cVector3D(112, 4, 14), cVector3D(85, 0, -2));
    stage.draw_race_frame();
    const bool saved = stage.save_png(path);
    printf("%s %s\n", saved ? "saved" : "ERROR: could not write", path.c_str());
    stage.close();
    return saved;
}

int fail(const char* what, const ProgramCopy& program)
{
    printf("ERROR: %s\n%s", what, program.output().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        printf("usage: screenshot_tour OUT_FOLDER\n");
        return 2;
    }
    const std::string out = argv[1];
    Display* display = open_test_display();
    if (!display) {
        printf("ERROR: no X display\n");
        return 1;
    }
    ProgramCopy game({"trellis.so", "wirelink.so", "murmur.so", "meshferry.so"}, k1024x768);
    write_file(game / "local/zorblitrally.prf", settings_for("Hosty"));
    game.start();
    const Window window = wait_for_window(display, "zorblitrally", game.pid());
    if (!window) return fail("the game's window did not show", game);
    place_window(display, window, 0, 0);
    if (!wait_for_pixel(display, window, kHostGameX - kLeftOfText, kHostGameY, kButtonBlue))
        return fail("no menu", game);
    bool saved = save_window(display, window, out + "/menu.png");
    click_window(display, window, kHostGameX, kHostGameY);
    if (!wait_for_pixel(display, window, kStartX - kLeftOfText, kStartY, kButtonBlue))
        return fail("no lobby", game);
    saved = save_window(display, window, out + "/lobby.png") && saved;
    click_window(display, window, kStartX, kStartY);
    if (!wait_for_pixel_to_leave(display, window, kStartX - kLeftOfText, kStartY, kButtonBlue))
        return fail("no race", game);
    usleep(kRaceSettleMs * 1000);
    hold_keys(display, window, {XK_Up});
    usleep(kDriveMs * 1000);
    saved = save_window(display, window, out + "/race.png") && saved;
    release_keys(display, {XK_Up});
    game.terminate();
    game.exit_code();
    XCloseDisplay(display);
    saved = save_starting_rows(out + "/race_start.png") && saved;
    return saved ? 0 : 1;
}
