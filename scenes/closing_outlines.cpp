// The closing outlines, traced at compile time from their polygon corners. A: a
// heart balloon leaning to the left, so its cleft sits low on its upper left side
// and opens wide, with the knot of its string at the tip. B: a hot-air balloon's
// envelope narrowing to its throat, the ropes and the basket under it.
#include "scenes/closing_outlines.h"

#include "scenes/digital_path.h"

namespace {

constexpr PathVertex outline_a_vertices[] = {
    {-60, -11}, {-59, -15}, {-60, -19}, {-61, -23}, {-63, -27}, {-64, -30}, {-63, -34}, {-62, -38},
    {-60, -42}, {-58, -45}, {-55, -48}, {-52, -50}, {-49, -52}, {-45, -54}, {-41, -55}, {-37, -55},
    {-33, -55}, {-29, -54}, {-26, -52}, {-22, -50}, {-19, -47}, {-16, -44}, {-14, -41}, {-13, -37},
    {-12, -33}, {-11, -29}, {-10, -25}, {-10, -21}, {-10, -17}, {-10, -13}, {-11, -9}, {-11, -5},
    {-12, -1}, {-12, 3}, {-13, 7}, {-13, 11}, {-14, 15}, {-15, 19}, {-15, 23}, {-16, 27}, {-16, 31},
    {-16, 35}, {-16, 39}, {-16, 43}, {-15, 47}, {-14, 50}, {-12, 52}, {-10, 54}, {-11, 56},
    {-13, 55}, {-15, 52}, {-18, 49}, {-23, 47}, {-27, 46}, {-31, 46}, {-35, 45}, {-39, 45},
    {-43, 45}, {-47, 45}, {-51, 45}, {-55, 45}, {-59, 45}, {-63, 45}, {-67, 45}, {-72, 45},
    {-75, 44}, {-79, 43}, {-83, 42}, {-87, 41}, {-91, 39}, {-94, 36}, {-97, 33}, {-99, 30},
    {-101, 27}, {-103, 23}, {-104, 19}, {-104, 15}, {-104, 13}, {-104, 9}, {-103, 5}, {-102, 1},
    {-100, -3}, {-98, -6}, {-96, -9}, {-93, -12}, {-90, -15}, {-86, -16}, {-82, -17}, {-78, -18},
    {-74, -16}, {-70, -14}, {-66, -12}, {-61, -10},
};

constexpr PathVertex outline_b_vertices[] = {
    {13, -9}, {13, -13}, {14, -17}, {15, -21}, {16, -24}, {18, -28}, {20, -32}, {22, -35},
    {25, -38}, {28, -41}, {31, -44}, {35, -47}, {38, -49}, {42, -51}, {46, -52}, {50, -53},
    {55, -54}, {59, -55}, {64, -55}, {68, -55}, {72, -54}, {77, -53}, {81, -52}, {85, -51},
    {89, -49}, {92, -47}, {96, -44}, {99, -41}, {102, -38}, {105, -35}, {107, -32}, {109, -28},
    {111, -24}, {112, -21}, {113, -17}, {114, -13}, {114, -8}, {114, -4}, {113, 0}, {112, 4},
    {111, 8}, {109, 12}, {107, 16}, {105, 19}, {102, 23}, {100, 26}, {97, 30}, {94, 33}, {91, 37},
    {88, 40}, {85, 44}, {82, 47}, {79, 51}, {77, 54}, {74, 58}, {72, 61}, {73, 79}, {73, 94},
    {54, 94}, {54, 79}, {55, 62}, {53, 58}, {50, 54}, {48, 51}, {45, 47}, {42, 44}, {39, 40},
    {36, 37}, {33, 33}, {30, 30}, {27, 26}, {25, 23}, {22, 19}, {20, 16}, {18, 12}, {16, 8},
    {15, 4}, {14, 0}, {13, -4}, {13, -8},
};

template <int N>
struct Outline {
    int16_t x[N];
    int16_t y[N];
};

template <int N, int V>
constexpr Outline<N> build_outline(const PathVertex (&v)[V]) {
    Outline<N> o{};
    trace_closed_path<1024>(v, V, N, o.x, o.y);
    return o;
}

constinit const Outline<OUTLINE_A_POINTS> outline_a = build_outline<OUTLINE_A_POINTS>(outline_a_vertices);
constinit const Outline<OUTLINE_B_POINTS> outline_b = build_outline<OUTLINE_B_POINTS>(outline_b_vertices);

}  // namespace

const int16_t (&outline_a_x)[OUTLINE_A_POINTS] = outline_a.x;
const int16_t (&outline_a_y)[OUTLINE_A_POINTS] = outline_a.y;
const int16_t (&outline_b_x)[OUTLINE_B_POINTS] = outline_b.x;
const int16_t (&outline_b_y)[OUTLINE_B_POINTS] = outline_b.y;
