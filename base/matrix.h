// 3 x 3 matrices, row by row.
#pragma once

class cMatrix3D {
public:
    cMatrix3D() : m{1, 0, 0, 0, 1, 0, 0, 0, 1} {}
    cMatrix3D(double m0, double m1, double m2, double m3, double m4, double m5, double m6, double m7, double m8)
        : m{m0, m1, m2, m3, m4, m5, m6, m7, m8} {}
    double m[9];
};
