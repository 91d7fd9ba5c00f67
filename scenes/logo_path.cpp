// The logo loop: a rounded band around the letters with notches between them,
// traced at compile time from its corner points.
#include "scenes/logo_path.h"

#include "scenes/digital_path.h"

namespace {

// Clockwise from the start on the top edge: notches in the top edge after the
// start, the right end, notches in the bottom edge, the left end, the remaining top
// notches, and the point left of the start.
constexpr PathVertex logo_vertices[] = {
    {136, 95}, {141, 95}, {143, 97}, {144, 101}, {148, 101}, {149, 97}, {151, 95},
    {171, 95}, {173, 97}, {174, 101}, {178, 101}, {179, 97}, {181, 95}, {201, 95},
    {203, 97}, {204, 101}, {208, 101}, {209, 97}, {211, 95}, {231, 95}, {233, 97},
    {234, 101}, {238, 101}, {239, 97}, {241, 95}, {262, 95}, {268, 98}, {271, 103},
    {271, 108}, {268, 113}, {262, 116}, {241, 116}, {239, 114}, {238, 110}, {234, 110},
    {233, 114}, {231, 116}, {211, 116}, {209, 114}, {208, 110}, {204, 110}, {203, 114},
    {201, 116}, {181, 116}, {179, 114}, {178, 110}, {174, 110}, {173, 114}, {171, 116},
    {151, 116}, {149, 114}, {148, 110}, {144, 110}, {143, 114}, {141, 116}, {121, 116},
    {119, 114}, {118, 110}, {114, 110}, {113, 114}, {111, 116}, {91, 116}, {89, 114},
    {88, 110}, {84, 110}, {83, 114}, {81, 116}, {59, 116}, {53, 113}, {50, 108}, {50, 106},
    {50, 103}, {53, 98}, {59, 95}, {81, 95}, {83, 97}, {84, 101}, {88, 101}, {89, 97},
    {91, 95}, {111, 95}, {113, 97}, {114, 101}, {118, 101}, {119, 97}, {121, 95},
    {135, 95},
};

struct LogoPathTables {
    uint16_t x[LOGO_PATH_ENTRIES];
    uint16_t y[LOGO_PATH_ENTRIES];
};

constexpr LogoPathTables build_logo_path() {
    int16_t x[LOGO_PATH_POINTS] = {};
    int16_t y[LOGO_PATH_POINTS] = {};
    trace_closed_path<1024>(logo_vertices, static_cast<int>(sizeof logo_vertices / sizeof logo_vertices[0]),
                            LOGO_PATH_POINTS, x, y);
    LogoPathTables t{};  // entries 585..591 stay (0, 0)
    for (int i = 0; i < LOGO_PATH_POINTS; ++i) {
        t.x[i] = static_cast<uint16_t>(x[i]);
        t.y[i] = static_cast<uint16_t>(y[i]);
    }
    return t;
}

constinit const LogoPathTables logo_path_tables = build_logo_path();

}  // namespace

const uint16_t (&path_x)[LOGO_PATH_ENTRIES] = logo_path_tables.x;
const uint16_t (&path_y)[LOGO_PATH_ENTRIES] = logo_path_tables.y;
