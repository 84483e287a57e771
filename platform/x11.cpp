// X11 and GLX behind SDL 1.2. SDL keeps two X connections: one for events and
// window management, one for rendering; the window's GL context lives on the
// second. Every call on SDL's event connection is made under SDL's display lock.
#include "platform/x11.h"

#include <GL/glx.h>
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace trellis {

namespace {

struct BoundWindow {
    bool bound = false;
    Display* display = nullptr;
    Window managed_window = 0;
    void (*lock)() = nullptr;
    void (*unlock)() = nullptr;
};

BoundWindow sdlWindow;

class DisplayLock {
public:
    DisplayLock()
    {
        if (sdlWindow.lock) sdlWindow.lock();
    }
    ~DisplayLock()
    {
        if (sdlWindow.unlock) sdlWindow.unlock();
    }
    DisplayLock(const DisplayLock&) = delete;
    DisplayLock& operator=(const DisplayLock&) = delete;
};

}  // namespace

bool x11_prepare_threads()
{
    return XInitThreads() != 0;
}

std::string x11_no_display_message()
{
    const char* display = getenv("DISPLAY");
    if (!display || !*display)
        return "No display to open the game's window on: start the game from a desktop session, "
               "or set DISPLAY (for example DISPLAY=:0)";
    return std::string("The display \"") + display + "\" could not be opened: start the game from a desktop "
           "session, or set DISPLAY to a running X display";
}

bool x11_bind_window()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    sdlWindow = BoundWindow();
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11) return false;
    sdlWindow.display = info.info.x11.display;
    sdlWindow.managed_window = info.info.x11.wmwindow;
    sdlWindow.lock = info.info.x11.lock_func;
    sdlWindow.unlock = info.info.x11.unlock_func;
    sdlWindow.bound = sdlWindow.display && sdlWindow.managed_window;
    return sdlWindow.bound;
}

void x11_forget_window()
{
    sdlWindow = BoundWindow();
}

void x11_move_window(int x, int y)
{
    if (!sdlWindow.bound) return;
    DisplayLock lock;
    XMoveWindow(sdlWindow.display, sdlWindow.managed_window, x, y);
    XSync(sdlWindow.display, False);
}

// ---- the texture loader's context ----

struct LoaderGLContext {
    Display* display;
    GLXDrawable drawable;
    GLXContext window_context;
    GLXContext loader_context;
};

LoaderGLContext* x11_create_loader_context()
{
    Display* display = glXGetCurrentDisplay();
    GLXDrawable drawable = glXGetCurrentDrawable();
    GLXContext first = glXGetCurrentContext();
    if (!display || !drawable || !first) return nullptr;

    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, drawable, &attributes)) return nullptr;
    XVisualInfo wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int found = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &found);
    if (!visual) return nullptr;
    GLXContext second = found > 0 ? glXCreateContext(display, visual, first, True) : nullptr;
    XFree(visual);
    if (!second) return nullptr;
    return new LoaderGLContext{display, drawable, first, second};
}

bool x11_make_window_context_current(const LoaderGLContext* context)
{
    return context && glXMakeCurrent(context->display, context->drawable, context->window_context);
}

bool x11_make_loader_context_current(const LoaderGLContext* context)
{
    return context && glXMakeCurrent(context->display, context->drawable, context->loader_context);
}

void x11_release_loader_context(const LoaderGLContext* context)
{
    if (context) glXMakeCurrent(context->display, None, nullptr);
}

void x11_destroy_loader_context(LoaderGLContext* context)
{
    if (!context) return;
    glXDestroyContext(context->display, context->loader_context);
    delete context;
}

// ---- files dropped on the window ----

namespace {

constexpr long kDropProtocolVersion = 5;

struct DropAtoms {
    Atom aware, enter, position, status, leave, drop, finished, selection, action_copy, type_list, uri_list,
        property;
};

struct DropState {
    Window source = 0;
    bool offers_uri_list = false;
};

DropAtoms dropAtoms;
DropState dropState;

void intern_drop_atoms(Display* display)
{
    dropAtoms.aware = XInternAtom(display, "XdndAware", False);
    dropAtoms.enter = XInternAtom(display, "XdndEnter", False);
    dropAtoms.position = XInternAtom(display, "XdndPosition", False);
    dropAtoms.status = XInternAtom(display, "XdndStatus", False);
    dropAtoms.leave = XInternAtom(display, "XdndLeave", False);
    dropAtoms.drop = XInternAtom(display, "XdndDrop", False);
    dropAtoms.finished = XInternAtom(display, "XdndFinished", False);
    dropAtoms.selection = XInternAtom(display, "XdndSelection", False);
    dropAtoms.action_copy = XInternAtom(display, "XdndActionCopy", False);
    dropAtoms.type_list = XInternAtom(display, "XdndTypeList", False);
    dropAtoms.uri_list = XInternAtom(display, "text/uri-list", False);
    dropAtoms.property = XInternAtom(display, "TRELLIS_DROPPED_FILES", False);
}

void send_to_source(Atom type, long l1, long l2, long l3, long l4)
{
    XEvent reply;
    std::memset(&reply, 0, sizeof reply);
    reply.xclient.type = ClientMessage;
    reply.xclient.display = sdlWindow.display;
    reply.xclient.window = dropState.source;
    reply.xclient.message_type = type;
    reply.xclient.format = 32;
    reply.xclient.data.l[0] = long(sdlWindow.managed_window);
    reply.xclient.data.l[1] = l1;
    reply.xclient.data.l[2] = l2;
    reply.xclient.data.l[3] = l3;
    reply.xclient.data.l[4] = l4;
    XSendEvent(sdlWindow.display, dropState.source, False, NoEventMask, &reply);
    XFlush(sdlWindow.display);
}

void finish_drop(bool accepted)
{
    send_to_source(dropAtoms.finished, accepted ? 1 : 0, accepted ? long(dropAtoms.action_copy) : 0, 0, 0);
    dropState = DropState();
}

// A source with more than three types lists them on its own window.
bool type_list_has_uri_list(Window source)
{
    Atom actual_type = None;
    int actual_format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(sdlWindow.display, source, dropAtoms.type_list, 0, 1024, False, XA_ATOM, &actual_type,
                           &actual_format, &count, &remaining, &data) != Success)
        return false;
    bool found = false;
    if (data && actual_format == 32) {
        const Atom* types = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i) found = found || types[i] == dropAtoms.uri_list;
    }
    if (data) XFree(data);
    return found;
}

void on_enter(const XClientMessageEvent& message)
{
    dropState.source = Window(message.data.l[0]);
    const bool more_types = message.data.l[1] & 1;
    dropState.offers_uri_list = false;
    if (more_types) {
        dropState.offers_uri_list = type_list_has_uri_list(dropState.source);
        return;
    }
    for (int i = 2; i < 5; ++i)
        dropState.offers_uri_list = dropState.offers_uri_list || Atom(message.data.l[i]) == dropAtoms.uri_list;
}

void on_position(const XClientMessageEvent& message)
{
    if (Window(message.data.l[0]) != dropState.source) return;
    const bool accept = dropState.offers_uri_list;
    send_to_source(dropAtoms.status, accept ? 1 : 0, 0, 0, accept ? long(dropAtoms.action_copy) : 0);
}

void on_drop(const XClientMessageEvent& message)
{
    if (Window(message.data.l[0]) != dropState.source) return;
    if (!dropState.offers_uri_list) {
        finish_drop(false);
        return;
    }
    XConvertSelection(sdlWindow.display, dropAtoms.selection, dropAtoms.uri_list, dropAtoms.property,
                      sdlWindow.managed_window, Time(message.data.l[2]));
    XFlush(sdlWindow.display);
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percent_decoded(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hex_value(text[i + 1]);
            const int low = hex_value(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// "file:///a/b" and "file://host/a/b" name the path "/a/b"; other schemes
// name no local file.
bool path_of_file_uri(const std::string& uri, std::string& path)
{
    static const char scheme[] = "file://";
    if (uri.compare(0, sizeof scheme - 1, scheme) != 0) return false;
    const size_t slash = uri.find('/', sizeof scheme - 1);
    if (slash == std::string::npos) return false;
    path = percent_decoded(uri.substr(slash));
    return !path.empty();
}

void deliver_uri_list(const char* data, unsigned long length, DroppedFileSink deliver)
{
    const std::string list(data, length);
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos) end = list.size();
        std::string line = list.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string path;
        if (!line.empty() && line[0] != '#' && path_of_file_uri(line, path)) deliver(path.c_str());
        start = end + 1;
    }
}

void on_selection(const XSelectionEvent& selection, DroppedFileSink deliver)
{
    if (!dropState.source || selection.selection != dropAtoms.selection) return;
    if (selection.property == None) {
        finish_drop(false);
        return;
    }
    Atom actual_type = None;
    int actual_format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(sdlWindow.display, sdlWindow.managed_window, dropAtoms.property, 0,
                                         1 << 24, True, AnyPropertyType, &actual_type, &actual_format, &count,
                                         &remaining, &data) == Success;
    const bool usable = read && data && actual_format == 8;
    if (usable) deliver_uri_list(reinterpret_cast<const char*>(data), count, deliver);
    if (data) XFree(data);
    finish_drop(usable);
}

}  // namespace

void x11_accept_dropped_files()
{
    if (!sdlWindow.bound) return;
    DisplayLock lock;
    intern_drop_atoms(sdlWindow.display);
    const Atom version = kDropProtocolVersion;
    XChangeProperty(sdlWindow.display, sdlWindow.managed_window, dropAtoms.aware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
    XFlush(sdlWindow.display);
    dropState = DropState();
}

void x11_handle_window_event(const SDL_SysWMmsg* message, DroppedFileSink deliver)
{
    if (!sdlWindow.bound || !message || !deliver || message->subsystem != SDL_SYSWM_X11) return;
    const XEvent& event = message->event.xevent;
    DisplayLock lock;
    if (event.type == SelectionNotify && event.xselection.requestor == sdlWindow.managed_window) {
        on_selection(event.xselection, deliver);
        return;
    }
    if (event.type != ClientMessage || event.xclient.window != sdlWindow.managed_window) return;
    const Atom type = event.xclient.message_type;
    if (type == dropAtoms.enter)
        on_enter(event.xclient);
    else if (type == dropAtoms.position)
        on_position(event.xclient);
    else if (type == dropAtoms.drop)
        on_drop(event.xclient);
    else if (type == dropAtoms.leave)
        dropState = DropState();
}

}  // namespace trellis
