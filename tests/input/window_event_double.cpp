#include "tests/input/window_event_double.h"

#include <SDL_syswm.h>

#include "platform/x11.h"

namespace {

// SDL copies the message into its queue; only its address matters here.
SDL_SysWMmsg message;
std::vector<std::string> waiting;

}  // namespace

SDL_Event window_event_dropping(const std::vector<std::string>& paths)
{
    waiting = paths;
    SDL_Event event = {};
    event.type = SDL_SYSWMEVENT;
    event.syswm.msg = &message;
    return event;
}

namespace trellis {

void x11_handle_window_event(const SDL_SysWMmsg*, DroppedFileSink deliver)
{
    for (const std::string& path : waiting) deliver(path.c_str());
    waiting.clear();
}

}  // namespace trellis
