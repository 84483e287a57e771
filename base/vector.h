// 2D and 3D vectors.
#pragma once

#include <cstdint>

template <class T>
class cVector2D {
public:
    cVector2D() : x(0), y(0) {}
    cVector2D(T x, T y) : x(x), y(y) {}
    T x, y;
};

class cVector3D {
public:
    cVector3D() : x(0), y(0), z(0) {}
    cVector3D(double x, double y, double z) : x(x), y(y), z(z) {}
    double x, y, z;
};
