// Stands in for the X side of the plug-in in the tests that run without a
// display: a window event made here delivers its paths as dropped files.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

SDL_Event window_event_dropping(const std::vector<std::string>& paths);
