// The render kit's vector and matrix records: double precision for the 3D kit
// (math3d.h), single precision for the tube ray caster (tube.h).
#pragma once

struct Vec3 {
    double x, y, z;
};

// Nine doubles, row-major: element (row r, column c) is m[3r + c].
struct Matrix3 {
    double m[9];
};

struct Vec3f {
    float x, y, z;
};
