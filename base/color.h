// Colours with float channels 0..1.
#pragma once

class cColor {
public:
    cColor() : r(0), g(0), b(0), a(0) {}
    cColor(float r, float g, float b, float a) : r(r), g(g), b(b), a(a) {}
    float r, g, b, a;
};
