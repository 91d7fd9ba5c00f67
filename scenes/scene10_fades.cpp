// Scene 10's dim step and closing fade.
#include "scenes/scene10_fades.h"

#include "display/display.h"
#include "music/music.h"
#include "scenes/palettes.h"

namespace {

// The darkest colour of the scene's ramp: the dimmed half settles on it.
constexpr int DIM_FLOOR[3] = {11, 25, 32};

}  // namespace

void dim_step(ClosingFades& f) {
    Palette dimmed = scene10_palette;
    for (int i = DIM_FIRST * 3; i < 768; i += 3)
        for (int c = 0; c < 3; ++c) {
            const int v = int(dimmed.rgb[i + c]) - f.dim_level;  // signed: may go below 0
            dimmed.rgb[i + c] = uint8_t(v > DIM_FLOOR[c] ? v : DIM_FLOOR[c]);
        }
    set_palette(dimmed);
    if (f.dim_level != DIM_LAST_LEVEL) ++f.dim_level;
}

void fade_step(ClosingFades& f) {
    if (f.fade_toggle == 1) {
        if (f.fade_volume != 0) {
            music_set_volume(f.fade_volume);
            --f.fade_volume;
        }
        if (f.fade_level < FADE_STEPS) {
            // From the undimmed palette: the first step brings the upper half back.
            Palette faded;
            for (int i = 0; i < 768; ++i) {
                const int v = int(scene10_palette.rgb[i]) - f.fade_level;
                faded.rgb[i] = uint8_t(v > 0 ? v : 0);
            }
            set_palette(faded);
            ++f.fade_level;
        }
    }
    f.fade_toggle ^= 1;
}
