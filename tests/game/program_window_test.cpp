// The real program under X: it opens its window at the size of its cfg with
// its name as the caption, and Alt+F4, closing the window and SIGTERM each end
// it through the normal close with exit code 0.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/support/scratch.h"

namespace {

constexpr int kWaitSteps = 300;  // of 20 ms: six seconds

// Other tests' windows come and go while the tree is searched.
int ignore_x_error(Display*, XErrorEvent*)
{
    return 0;
}

// A copy of the program with its own plugin folder (trellis, the sound module
// and the network module, which opens no port until a game is hosted) and the
// built data, font and engine shaders among it.
class RunningProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        XSetErrorHandler(ignore_x_error);
        make_folder(scratch / "plugin");
        make_folder(scratch / "local");
        copy_file(std::string(ZR_GAME_DIR) + "/zorblitrally", scratch / "zorblitrally");
        copy_file(std::string(ZR_GAME_DIR) + "/libkeelcore.so", scratch / "libkeelcore.so");
        for (const char* plugin : {"trellis.so", "murmur.so", "wirelink.so"})
            copy_file(std::string(ZR_GAME_DIR) + "/plugin/" + plugin, scratch / ("plugin/" + std::string(plugin)));
        ASSERT_EQ(symlink((std::string(ZR_GAME_DIR) + "/data").c_str(), (scratch / "data").c_str()), 0);
        write_file(scratch / "local/zorblitrally.cfg", std::string("\x90\x01\x2c\x01\x00", 5));  // 400 x 300
        start();
        window = wait_for_window("zorblitrally");
        ASSERT_NE(window, 0u) << output();
    }
    void TearDown() override
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (display) XCloseDisplay(display);
    }

    void start()
    {
        pid = fork();
        if (pid != 0) return;
        const std::string log = scratch / "output.txt";
        if (chdir(scratch.path().c_str()) != 0 || !freopen(log.c_str(), "w", stdout) || !freopen("/dev/null", "r", stdin))
            _exit(127);
        dup2(fileno(stdout), fileno(stderr));
        execl("./zorblitrally", "./zorblitrally", static_cast<char*>(nullptr));
        _exit(127);
    }

    std::string output() { return read_file(scratch / "output.txt"); }

    // The exit code once the program has ended by itself, -1 when it did not.
    int exit_code()
    {
        for (int step = 0; step < kWaitSteps; ++step) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(20000);
        }
        return -1;
    }

    // The top-level window named caption once it is shown, 0 when none shows
    // up. SDL names its window before the video mode gives it its size.
    Window wait_for_window(const std::string& caption)
    {
        for (int step = 0; step < kWaitSteps; ++step) {
            Window found = find_window(DefaultRootWindow(display), caption);
            XWindowAttributes attributes;
            if (found && XGetWindowAttributes(display, found, &attributes) && attributes.map_state == IsViewable)
                return found;
            usleep(20000);
        }
        return 0;
    }

    Window find_window(Window parent, const std::string& caption)
    {
        Window root, parent_of, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, parent, &root, &parent_of, &children, &count)) return 0;
        Window found = 0;
        for (unsigned int i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            if (XFetchName(display, children[i], &name) && name) {
                if (caption == name && owned_by_program(children[i])) found = children[i];
                XFree(name);
            }
        }
        if (children) XFree(children);
        return found;
    }

    // Other tests may run the program too; SDL names its windows' process.
    bool owned_by_program(Window candidate)
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
            ours = *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(pid);
        if (data) XFree(data);
        return ours;
    }

    void press_alt_f4()
    {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
        usleep(100000);
        const KeyCode alt = XKeysymToKeycode(display, XK_Alt_L);
        const KeyCode f4 = XKeysymToKeycode(display, XK_F4);
        XTestFakeKeyEvent(display, alt, True, 0);
        XTestFakeKeyEvent(display, f4, True, 0);
        XSync(display, False);
        usleep(200000);
        XTestFakeKeyEvent(display, f4, False, 0);
        XTestFakeKeyEvent(display, alt, False, 0);
        XSync(display, False);
    }

    // What a window manager sends when the user closes the window.
    void ask_window_to_close()
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

    ScratchFolder scratch;
    Display* display = nullptr;
    pid_t pid = -1;
    Window window = 0;
};

}  // namespace

TEST_F(RunningProgram, WindowHasTheCfgSizeAndAltF4EndsIt)
{
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display, window, &attributes));
    EXPECT_EQ(attributes.width, 400);
    EXPECT_EQ(attributes.height, 300);
    press_alt_f4();
    EXPECT_EQ(exit_code(), 0) << output();
    EXPECT_EQ(count_of(output(), "ERROR") + count_of(output(), "Error"), 0) << output();
}

TEST_F(RunningProgram, ClosingTheWindowEndsIt)
{
    usleep(200000);
    ask_window_to_close();
    EXPECT_EQ(exit_code(), 0) << output();
}

TEST_F(RunningProgram, SigtermEndsIt)
{
    usleep(200000);
    kill(pid, SIGTERM);
    EXPECT_EQ(exit_code(), 0) << output();
}
