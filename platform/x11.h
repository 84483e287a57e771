// The X11 and GLX services trellis needs beyond SDL: thread-safe Xlib, the
// texture loader's second GL context, moving the window and files dropped on
// it. This header and x11.cpp are the only places that know about X.
#pragma once

#include <string>

struct SDL_SysWMmsg;

namespace trellis {

// Must run before SDL starts, since the loader thread talks to the X server
// too; false when Xlib refuses.
bool x11_prepare_threads();

// What to tell the user when SDL's X11 video could not start: which display
// failed and what to do about it, as one line.
std::string x11_no_display_message();

// Takes SDL's window handles after each SDL_SetVideoMode; false when SDL
// cannot tell them.
bool x11_bind_window();
// Forgets the window, so late X events for it are ignored.
void x11_forget_window();

void x11_move_window(int x, int y);

// A second GL context on the window that shares the first one's textures.
struct LoaderGLContext;
// Made while the window's own context is current; null on failure.
LoaderGLContext* x11_create_loader_context();
bool x11_make_window_context_current(const LoaderGLContext* context);
bool x11_make_loader_context_current(const LoaderGLContext* context);
// Called by the thread that made the loader context current, before it ends.
void x11_release_loader_context(const LoaderGLContext* context);
void x11_destroy_loader_context(LoaderGLContext* context);

// Files dropped on the window arrive through the drag-and-drop protocol.
using DroppedFileSink = void (*)(const char* path);
void x11_accept_dropped_files();
void x11_handle_window_event(const SDL_SysWMmsg* message, DroppedFileSink deliver);

}  // namespace trellis
