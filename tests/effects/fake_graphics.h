// A graphics table that logs every slot the effects draw with, in order.
#pragma once

#include <string>
#include <vector>

#include "base/color.h"

struct GraphicsCall {
    int slot;
    std::vector<double> numbers;  // the call's numeric arguments in order
    cColor colour;                // the colour argument, when it has one
    std::string text;             // slot 77's text
};

struct FakeGraphics {
    std::vector<GraphicsCall> calls;
    std::vector<int> slots() const;
    std::vector<GraphicsCall> of_slot(int slot) const;
    int count(int slot) const;
};

FakeGraphics& fake_graphics();
// Binds the logging table (an 800 x 600 window) into the graphics module.
void install_fake_graphics();
void uninstall_fake_graphics();
