// Scene 10's dim step and closing fade.
#include "scenes/scene10_fades.h"

#include "display/display.h"
#include "music/music.h"
#include "scenes/palettes.h"

uint8_t dim_level = 0;
uint8_t fade_level = 0;
uint8_t fade_toggle = 0;
int32_t fade_volume = FADE_START_VOLUME;

namespace {

// The darkest colour of the scene's ramp: the dimmed half settles on it.
constexpr int DIM_FLOOR[3] = {11, 25, 32};

}  // namespace

void dim_step() {
    Palette dimmed = scene10_palette;
    for (int i = DIM_FIRST * 3; i < 768; i += 3)
        for (int c = 0; c < 3; ++c) {
            const int v = int(dimmed.rgb[i + c]) - dim_level;  // signed: may go below 0
            dimmed.rgb[i + c] = uint8_t(v > DIM_FLOOR[c] ? v : DIM_FLOOR[c]);
        }
    set_palette(dimmed);
    if (dim_level != DIM_LAST_LEVEL) ++dim_level;
}

void fade_step() {
    if (fade_toggle == 1) {
        if (fade_volume != 0) {
            music_set_volume(fade_volume);
            --fade_volume;
        }
        if (fade_level < FADE_STEPS) {
            // From the undimmed palette: the first step brings the upper half back.
            Palette faded;
            for (int i = 0; i < 768; ++i) {
                const int v = int(scene10_palette.rgb[i]) - fade_level;
                faded.rgb[i] = uint8_t(v > 0 ? v : 0);
            }
            set_palette(faded);
            ++fade_level;
        }
    }
    fade_toggle ^= 1;
}

void fades_reset_state() {
    dim_level = 0;
    fade_level = 0;
    fade_toggle = 0;
    fade_volume = FADE_START_VOLUME;
}
