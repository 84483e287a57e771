#include "tests/support/program_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr int kStepMs = 20;
constexpr int kSteps = kProgramWaitMs / kStepMs;

void pause_ms(int milliseconds)
{
    usleep(useconds_t(milliseconds) * 1000);
}

int ignore_x_error(Display*, XErrorEvent*)
{
    return 0;
}

// SDL names the process that owns each window; a window without the name
// counts as anyone's.
bool owned_by(Display* display, Window candidate, pid_t owner)
{
    const Atom pid_atom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    bool ours = true;
    if (XGetWindowProperty(display, candidate, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &remaining, &data) == Success &&
        data && count == 1)
        ours = *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(owner);
    if (data) XFree(data);
    return ours;
}

Window find_window(Display* display, const std::string& caption, pid_t owner)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (caption == name && owned_by(display, children[i], owner)) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

bool viewable(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

void root_position(Display* display, Window window, int x, int y, int* root_x, int* root_y)
{
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, root_x, root_y, &child);
}

}  // namespace

ProgramCopy::ProgramCopy(std::initializer_list<const char*> plugins, const std::string& cfg)
{
    make_folder(folder / "plugin");
    make_folder(folder / "local");
    copy_file(std::string(ZR_GAME_DIR) + "/zorblitrally", folder / "zorblitrally");
    copy_file(std::string(ZR_GAME_DIR) + "/libkeelcore.so", folder / "libkeelcore.so");
    for (const char* plugin : plugins)
        copy_file(std::string(ZR_GAME_DIR) + "/plugin/" + plugin, folder / ("plugin/" + std::string(plugin)));
    if (symlink((std::string(ZR_GAME_DIR) + "/data").c_str(), (folder / "data").c_str()) != 0)
        throw std::runtime_error("cannot link the data into " + folder.path());
    write_file(folder / "local/zorblitrally.cfg", cfg);
}

ProgramCopy::~ProgramCopy()
{
    if (child <= 0) return;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

void ProgramCopy::start()
{
    child = fork();
    if (child < 0) throw std::runtime_error("cannot start the program");
    if (child > 0) return;
    const std::string log = folder / "output.txt";
    if (chdir(folder.path().c_str()) != 0 || !freopen(log.c_str(), "w", stdout) || !freopen("/dev/null", "r", stdin))
        _exit(127);
    dup2(fileno(stdout), fileno(stderr));
    execl("./zorblitrally", "./zorblitrally", static_cast<char*>(nullptr));
    _exit(127);
}

void ProgramCopy::terminate()
{
    if (child > 0) kill(child, SIGTERM);
}

std::string ProgramCopy::output() const
{
    return read_file(folder / "output.txt");
}

bool ProgramCopy::wait_for_output(const std::string& text) const
{
    for (int step = 0; step < kSteps; ++step) {
        if (output().find(text) != std::string::npos) return true;
        pause_ms(kStepMs);
    }
    return false;
}

int ProgramCopy::exit_code()
{
    for (int step = 0; step < kSteps && child > 0; ++step) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            child = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        pause_ms(kStepMs);
    }
    return -1;
}

Display* open_test_display()
{
    Display* display = XOpenDisplay(nullptr);
    XSetErrorHandler(ignore_x_error);
    return display;
}

// SDL names its window before the video mode gives it its size.
Window wait_for_window(Display* display, const std::string& caption, pid_t owner)
{
    for (int step = 0; step < kSteps; ++step) {
        const Window found = find_window(display, caption, owner);
        if (found && viewable(display, found)) return found;
        pause_ms(kStepMs);
    }
    return 0;
}

void place_window(Display* display, Window window, int x, int y)
{
    XMoveWindow(display, window, x, y);
    XRaiseWindow(display, window);
    XSync(display, False);
    for (int step = 0; step < kSteps; ++step) {
        int at_x = -1, at_y = -1;
        root_position(display, window, 0, 0, &at_x, &at_y);
        if (at_x == x && at_y == y) return;
        pause_ms(kStepMs);
    }
}

// The pointer arrives before the press and the button is held for a few
// frames, as a hand would. It comes from the pixel beside the target: a
// pointer already resting there, from an earlier window, would move nowhere
// and tell a new window nothing.
void click_window(Display* display, Window window, int x, int y)
{
    int root_x = 0, root_y = 0;
    root_position(display, window, x, y, &root_x, &root_y);
    XTestFakeMotionEvent(display, DefaultScreen(display), root_x + 1, root_y, 0);
    XSync(display, False);
    XTestFakeMotionEvent(display, DefaultScreen(display), root_x, root_y, 0);
    XSync(display, False);
    pause_ms(100);
    XTestFakeButtonEvent(display, 1, True, 0);
    XSync(display, False);
    pause_ms(100);
    XTestFakeButtonEvent(display, 1, False, 0);
    XSync(display, False);
}

void press_keys(Display* display, Window window, std::initializer_list<KeySym> keysyms)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    pause_ms(100);
    for (KeySym keysym : keysyms) XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), True, 0);
    XSync(display, False);
    pause_ms(200);
    for (auto key = std::rbegin(keysyms); key != std::rend(keysyms); ++key)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, *key), False, 0);
    XSync(display, False);
}

void hold_keys(Display* display, Window window, std::initializer_list<KeySym> keysyms)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    pause_ms(100);
    for (KeySym keysym : keysyms) XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), True, 0);
    XSync(display, False);
}

void release_keys(Display* display, std::initializer_list<KeySym> keysyms)
{
    for (auto key = std::rbegin(keysyms); key != std::rend(keysyms); ++key)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, *key), False, 0);
    XSync(display, False);
}

void ask_window_to_close(Display* display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

Rgb window_pixel(Display* display, Window window, int x, int y)
{
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return Rgb{-1, -1, -1};
    const unsigned long value = XGetPixel(image, 0, 0);
    const Rgb pixel{int((value & image->red_mask) >> 16), int((value & image->green_mask) >> 8),
                    int(value & image->blue_mask)};
    XDestroyImage(image);
    return pixel;
}

static bool shows(const Rgb& pixel, const Rgb& colour)
{
    return abs(pixel.r - colour.r) <= 3 && abs(pixel.g - colour.g) <= 3 && abs(pixel.b - colour.b) <= 3;
}

// Whether the pixel's showing colour comes to be as wanted before the time is up.
static bool wait_for_shown(Display* display, Window window, int x, int y, const Rgb& colour, bool wanted)
{
    for (int step = 0; step < kSteps; ++step) {
        if (shows(window_pixel(display, window, x, y), colour) == wanted) return true;
        pause_ms(kStepMs);
    }
    return false;
}

bool wait_for_pixel(Display* display, Window window, int x, int y, const Rgb& colour)
{
    return wait_for_shown(display, window, x, y, colour, true);
}

bool wait_for_pixel_to_leave(Display* display, Window window, int x, int y, const Rgb& colour)
{
    return wait_for_shown(display, window, x, y, colour, false);
}
