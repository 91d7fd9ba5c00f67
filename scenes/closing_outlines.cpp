// The closing outlines, traced at compile time from their polygon corners (sampled
// from a two-lobed heart and a round balloon with a tail). The heart's cleft is a
// narrow V that opens square at its foot, so that dots passing down its two sides
// never meet.
#include "scenes/closing_outlines.h"

#include "scenes/digital_path.h"

namespace {

constexpr PathVertex outline_a_vertices[] = {
    {-60, -11}, {-55, -16}, {-54, -21}, {-53, -27}, {-52, -36}, {-51, -44}, {-51, -49}, {-49, -50}, {-47, -52}, {-44, -53}, {-42, -54}, {-40, -55}, {-37, -55},
    {-35, -55}, {-32, -55}, {-30, -54}, {-27, -54}, {-25, -53}, {-23, -51}, {-21, -50},
    {-19, -48}, {-17, -46}, {-15, -44}, {-14, -42}, {-13, -39}, {-12, -37}, {-11, -34},
    {-10, -31}, {-10, -28}, {-10, -26}, {-10, -23}, {-11, -20}, {-12, -17}, {-58, 56},
    {-103, -17}, {-103, -20}, {-104, -23}, {-104, -26}, {-104, -29}, {-104, -31},
    {-103, -34}, {-103, -37}, {-102, -39}, {-101, -42}, {-99, -44}, {-98, -46}, {-96, -48},
    {-94, -50}, {-93, -52}, {-91, -53}, {-88, -54}, {-86, -54}, {-84, -55}, {-82, -55},
    {-80, -55}, {-77, -54}, {-75, -54}, {-73, -53}, {-71, -51}, {-69, -50}, {-69, -44},
    {-68, -36}, {-67, -27}, {-66, -21}, {-65, -16}, {-61, -11}, {-61, -10},
};

constexpr PathVertex outline_b_vertices[] = {
    {13, -9}, {13, -13}, {14, -18}, {15, -22}, {17, -27}, {19, -31}, {22, -35}, {25, -39},
    {29, -42}, {32, -45}, {37, -48}, {41, -50}, {46, -52}, {51, -53}, {56, -54}, {61, -55},
    {66, -55}, {71, -54}, {76, -54}, {81, -52}, {85, -50}, {90, -48}, {94, -45}, {98, -42},
    {102, -39}, {105, -35}, {107, -31}, {110, -27}, {112, -23}, {113, -18}, {114, -14},
    {114, -9}, {114, -4}, {113, 0}, {112, 5}, {110, 9}, {108, 14}, {105, 18}, {102, 21},
    {99, 25}, {95, 28}, {94, 33}, {93, 39}, {91, 44}, {90, 50}, {88, 55}, {85, 61},
    {83, 66}, {79, 72}, {76, 77}, {72, 83}, {68, 88}, {64, 94}, {60, 88}, {56, 83},
    {52, 77}, {48, 72}, {45, 66}, {42, 61}, {40, 55}, {38, 50}, {36, 44}, {34, 39},
    {33, 33}, {32, 28}, {28, 24}, {24, 21}, {21, 16}, {18, 12}, {16, 7}, {14, 2}, {13, -3},
    {13, -8},
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
