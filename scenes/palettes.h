// Every scene palette of the show: 256 six-bit (r, g, b) entries each, defined once
// here and shared by the scenes (set_palette) and by the picture generator
// (tools/kelvora-assets), which picks its indices from the same tables.
#pragma once

#include <cstdint>

#include "display/display.h"

// Scene 1, opening picture: 0 black, 1..63 the picture's own teal and grey colours,
// 64..255 a black-to-cyan ramp.
extern const Palette opening_palette;
// Scene 1, logo phase: 1..190 from white down to a navy trough, up to a pale cyan
// peak (150..168) and down to dark teal at 190; 191..255 warm yellow to dark red.
extern const Palette logo_palette;
// Scene 1, curves phases: the logo palette with 191..255 orange to dark red.
extern const Palette curves_palette;
// Scene 1, tunnel phase: greys 1..63, brown ramp 176..207, orange run 208..225.
extern const Palette tunnel_palette;
// Scene 2 (girl): teal ramp 0..62, the figure's skin, hair and card ramps 64..127,
// black 128..164, warm skin run 165..191, grey ramp 192..253.
extern const Palette scene2_palette;
// Scene 3: picture browns 1..31, blue-grey ramp 32..222 (32 = background), bright
// ramp 223..255 from blue-black through bronze to pale cyan.
extern const Palette scene3_palette;
// Scene 4 (boy): as scene 2 in 0..63 and 128..164, the figure's skin, denim, hair
// and card ramps 64..127, warm run 165..194, grey ramp 195..255.
extern const Palette scene4_palette;
// Scene 5: the tube's ramp 65..123 navy black to cream, the banner's glass 33..63
// and letters 132..157, the craft's exhaust 168..198 and blue greys 204..228,
// greys 239..253.
extern const Palette scene5_palette;
// Scene 6: the title's chrome 1..64, the fresh line's whites 65..99, the background
// 151 (also 117..125 and 150), cyans 126..149 for the smudged lines, teal to
// white 156..190 for the glow.
extern const Palette scene6_palette;
// Scene 7: flat cyan 1..54, dark and light cyan bands 62..189, white 190..191.
extern const Palette scene7_palette;
// Scenes 8 and 9: brown to orange 2..63, orange to white 64..127, black above.
extern const Palette scene8_palette;
// Scene 10: ramp 42..148 from night blue through violet, rose and amber to white,
// copied into 149..255.
extern const Palette scene10_palette;

// The colour of the warp burst's flash passes.
constexpr uint8_t FLASH_RGB[3] = {53, 43, 43};

// Fills all 256 entries with the flash colour. Called by scene 1 before its warp burst.
void build_flash_palette(Palette& out);
