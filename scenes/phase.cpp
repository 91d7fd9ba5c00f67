// The black frame before a new palette; see phase.h.
#include "scenes/phase.h"

void blank_screen(const Palette& palette) {
    clear_frame(screen_frame);
    present_frame(screen_frame);
    set_palette(palette);
}
