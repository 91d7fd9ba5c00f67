// What a player makes of the module's grid: where every row starts at a mixing
// rate, and how much tracker expression the patterns carry. Plain arithmetic on
// the module, for the report and the tests.
#pragma once

#include <cstdint>
#include <vector>

#include "xm.h"

namespace tune {

// Frames one tick lasts at this tempo and rate, as libopenmpt and FT2 render it:
// rate x 2.5 / BPM, truncated toward zero, with no carry from tick to tick.
int64_t tick_frames(int rate, int bpm);

// The frame at which each played row starts, in play order, with the frame after
// the last row as the final entry. Speed and tempo (Fxx) and pattern delay (EEx)
// are followed; the module must not jump or break (the composer never writes either).
struct RowStart {
    int order, row;
    int64_t frame;
};
std::vector<RowStart> row_starts(const xm::Module& module, int rate);

// The first frame of a row at this order and row, or -1 when it is never played.
int64_t frame_of(const std::vector<RowStart>& starts, int order, int row);

// Expression commands in the played rows: portamento (1xx 2xx 3xx, E1x E2x, the
// volume column's Fx), vibrato (4xx 6xx, volume column Ax Bx), volume slides (Axy
// 5xy 6xy, EAx EBx, volume column 6x..9x), retrigger (Rxy, E9x), note delay (EDx)
// and arpeggio (0xy). A cell with one in each column counts twice.
struct ExpressionCount {
    int64_t commands = 0;
    int64_t rows = 0;
};
ExpressionCount count_expression(const xm::Module& module);

// A copy of the module in which only the given channels play: every other
// channel's notes and volumes are cleared, its tempo commands kept.
xm::Module keep_channels(const xm::Module& module, const std::vector<int>& channels);

}  // namespace tune
