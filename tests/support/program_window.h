// The built program copied into a scratch folder of its own and run there as
// a child process with its output in a file, and the X calls that find its
// window and use it as a player would: the pointer and keys through XTEST,
// the window manager's close, and the pixels it shows.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <initializer_list>
#include <string>

#include "tests/support/scratch.h"

// How long each wait below lasts at most.
constexpr int kProgramWaitMs = 10000;

class ProgramCopy {
public:
    // The program and keelcore, the named plug-ins of the build, the built
    // data (linked, not copied) and the five bytes of the window settings.
    ProgramCopy(std::initializer_list<const char*> plugins, const std::string& cfg);
    // A program still running is killed.
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    std::string operator/(const std::string& name) const { return folder / name; }
    void start();
    pid_t pid() const { return child; }
    // SIGTERM, as the system sends at log-out.
    void terminate();
    // Standard output and standard error so far.
    std::string output() const;
    bool wait_for_output(const std::string& text) const;
    // The exit code once the program has ended by itself, -1 when it did not.
    int exit_code();

private:
    ScratchFolder folder;
    pid_t child = -1;
};

// A display whose errors are ignored: other tests' windows come and go while
// the window tree is searched.
Display* open_test_display();
// The viewable top-level window named caption that belongs to owner, 0 when
// none shows up in time.
Window wait_for_window(Display* display, const std::string& caption, pid_t owner);
// Moves the window, raises it above any other and waits until it is there.
void place_window(Display* display, Window window, int x, int y);
// Button 1 pressed and released at a window pixel.
void click_window(Display* display, Window window, int x, int y);
// Focuses the window, holds the keys down in order and lets them go.
void press_keys(Display* display, Window window, std::initializer_list<KeySym> keysyms);
// Focuses the window and holds the keys down, in order, until release_keys:
// a busy program may read a quick press and release within one frame.
void hold_keys(Display* display, Window window, std::initializer_list<KeySym> keysyms);
void release_keys(Display* display, std::initializer_list<KeySym> keysyms);
// What a window manager sends when the user closes the window.
void ask_window_to_close(Display* display, Window window);

struct Rgb {
    int r, g, b;
};

Rgb window_pixel(Display* display, Window window, int x, int y);
// Whether the pixel shows colour, within a few steps, before the time is up.
bool wait_for_pixel(Display* display, Window window, int x, int y, const Rgb& colour);
// Whether the pixel stops showing colour before the time is up.
bool wait_for_pixel_to_leave(Display* display, Window window, int x, int y, const Rgb& colour);
