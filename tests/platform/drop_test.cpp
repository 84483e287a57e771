// Files dropped on the window: a small X client in the test plays the drag
// source of the drag-and-drop protocol, and the names arrive through the
// input table. Also the window's placement on the screen.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "base/containers.h"
#include "base/input_interface.h"
#include "base/keel.h"
#include "base/vector.h"
#include "platform/window.h"
#include "platform/x11.h"

KEEL_API input_interface* connect_input_interface(input_interface* table);

namespace {

constexpr int kSteps = 600;  // frames of at least 10 ms

// The drag source: its own connection, a window and the text it offers.
class FakeDragSource {
public:
    explicit FakeDragSource(std::string uri_list) : offered(std::move(uri_list))
    {
        display = XOpenDisplay(nullptr);
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        for (const char* name : {"XdndAware", "XdndEnter", "XdndPosition", "XdndStatus", "XdndDrop", "XdndFinished",
                                 "XdndSelection", "XdndActionCopy", "text/uri-list", "XdndTypeList", "text/plain"})
            atoms.push_back(XInternAtom(display, name, False));
        XSetSelectionOwner(display, atom("XdndSelection"), window, CurrentTime);
        XSync(display, False);
    }
    ~FakeDragSource()
    {
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    Atom atom(const std::string& name) { return XInternAtom(display, name.c_str(), True); }

    long aware_version(Window target)
    {
        Atom type;
        int format;
        unsigned long count, remaining;
        unsigned char* data = nullptr;
        long version = -1;
        if (XGetWindowProperty(display, target, atom("XdndAware"), 0, 1, False, XA_ATOM, &type, &format, &count,
                               &remaining, &data) == Success &&
            data && count == 1)
            version = long(*reinterpret_cast<Atom*>(data));
        if (data) XFree(data);
        return version;
    }

    void send(Window target, const char* type, long l1, long l2, long l3, long l4)
    {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = atom(type);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(window);
        event.xclient.data.l[1] = l1;
        event.xclient.data.l[2] = l2;
        event.xclient.data.l[3] = l3;
        event.xclient.data.l[4] = l4;
        XSendEvent(display, target, False, NoEventMask, &event);
        XFlush(display);
    }

    // Answers selection requests; returns the next client message of that type, if one came.
    bool take(const char* type, XClientMessageEvent* message)
    {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest) serve(event.xselectionrequest);
            if (event.type == ClientMessage && event.xclient.message_type == atom(type)) {
                *message = event.xclient;
                return true;
            }
        }
        return false;
    }

    int requests_served = 0;

private:
    void serve(const XSelectionRequestEvent& request)
    {
        XEvent reply = {};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        if (request.target == atom("text/uri-list")) {
            XChangeProperty(display, request.requestor, request.property, request.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered.data()), int(offered.size()));
            reply.xselection.property = request.property;
            ++requests_served;
        }
        XSendEvent(display, request.requestor, False, NoEventMask, &reply);
        XFlush(display);
    }

    Display* display;
    Window window;
    std::vector<Atom> atoms;  // interned once, so the names exist on the server
    std::string offered;
};

class DropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        trellis::x11_prepare_threads();
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_TRUE(trellis::open_window(200, 150, false, false, false, false));
        connect_input_interface(&input);
        ASSERT_TRUE(input.input_init());
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_GT(SDL_GetWMInfo(&info), 0);
        target = info.info.x11.wmwindow;
    }
    void TearDown() override
    {
        input.input_close();
        trellis::close_window();
        SDL_Quit();
    }

    // Runs frames until the source has received a message of that type.
    bool frames_until(FakeDragSource& source, const char* type, XClientMessageEvent* message)
    {
        for (int step = 0; step < kSteps; ++step) {
            float seconds = 0.01f;
            input.update_input(&seconds);
            if (source.take(type, message)) return true;
            SDL_Delay(10);
        }
        return false;
    }

    // Enter, position and drop, as a file manager sends them.
    XClientMessageEvent drop(FakeDragSource& source, Atom offered_type)
    {
        XClientMessageEvent status = {}, finished = {};
        source.send(target, "XdndEnter", 5L << 24, long(offered_type), 0, 0);
        source.send(target, "XdndPosition", 0, (20L << 16) | 20, CurrentTime, long(source.atom("XdndActionCopy")));
        EXPECT_TRUE(frames_until(source, "XdndStatus", &status));
        accepted_at_position = status.data.l[1] & 1;
        source.send(target, "XdndDrop", 0, CurrentTime, 0, 0);
        EXPECT_TRUE(frames_until(source, "XdndFinished", &finished));
        return finished;
    }

    std::vector<std::string> dropped_names()
    {
        std::vector<std::string> names;
        DSParray<std::string> list(false);
        while (input.next_dropped_file(&list)) {
        }
        for (uint32_t i = 0; i < list.count(); ++i) names.push_back(*list.get(i));
        return names;
    }

    input_interface input = {};
    Window target = 0;
    bool accepted_at_position = false;
};

}  // namespace

TEST_F(DropTest, DroppedFilesArriveAsDecodedPaths)
{
    FakeDragSource source(
        "file:///tmp/zorblit%20rally/track%231.png\r\n"
        "# a comment line\r\n"
        "http://example.invalid/not-a-file\r\n"
        "file://localhost/home/player/%C3%BC.jmf\r\n"
        "file:///tmp/broken%2");
    EXPECT_EQ(source.aware_version(target), 5);
    const XClientMessageEvent finished = drop(source, source.atom("text/uri-list"));
    EXPECT_TRUE(accepted_at_position);
    EXPECT_EQ(finished.data.l[0], long(target));
    EXPECT_EQ(finished.data.l[1] & 1, 1) << "the drop was taken";
    EXPECT_EQ(source.requests_served, 1);
    EXPECT_EQ(dropped_names(),
              (std::vector<std::string>{"/tmp/zorblit rally/track#1.png", "/home/player/\xC3\xBC.jmf", "/tmp/broken%2"}));
    EXPECT_TRUE(dropped_names().empty()) << "each name is handed over once";
}

TEST_F(DropTest, ADragOfferingNoFileListIsRefused)
{
    FakeDragSource source("file:///tmp/never.txt\r\n");
    const XClientMessageEvent finished = drop(source, source.atom("text/plain"));
    EXPECT_FALSE(accepted_at_position);
    EXPECT_EQ(finished.data.l[1] & 1, 0);
    EXPECT_EQ(source.requests_served, 0);
    EXPECT_TRUE(dropped_names().empty());
}

TEST_F(DropTest, WindowMovesToTheGivenPlace)
{
    cVector2D<int32_t> place(120, 80);
    trellis::set_window_position(&place);
    Display* display = XOpenDisplay(nullptr);
    int x = -1, y = -1;
    Window child;
    XTranslateCoordinates(display, target, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    XCloseDisplay(display);
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 80);
}
