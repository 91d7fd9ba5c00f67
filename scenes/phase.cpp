// The black frame before a new palette; see phase.h.
#include "scenes/phase.h"

void blank_screen(const Palette& palette) {
    clear_frame(screen_frame);
    present_frame(screen_frame);
    set_palette(palette);
}

void skip_tube_grid(TubeGrid& grid) {
    const int step = grid.step;
    for (int y = grid.row_phase; y < FRAME_H; y += step)
        grid.column_phase = grid.column_phase + 1 > step - 1 ? 0 : grid.column_phase + 1;
}
