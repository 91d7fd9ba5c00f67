// Scene 9: the darkening texture (fdtex: 256 x 256 amounts subtracted from the
// picture, wrapping both ways). Columns run along the tube and across the sphere's
// latitudes, rows round the tube and the sphere's longitudes.
//
// A broad, soft-shaded shaft drawn for the warps: one wide rounded rib rings the
// tube per turn of the texture, flanked by soft dark grooves, and fainter rails
// run along it, over a slow cloudy wash that changes mostly round the tube. Along
// the tube every profile is a low, smooth swell: the far end squeezes many turns
// of the texture into a few pixels, and anything sharper or more frequent there
// beats against the pixel grid as fine rings and crosshatch, so the grooves sink
// only half as deep as the trough allows. The panels take a little less than the
// sky holds, so the tube is deep brown relief rather than empty black, with only
// the grooves and the silhouettes black and the ribs' crests lit; that leaves the
// glowing curves of the last phase their headroom below the cap.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "scene08_plant.h"

namespace art {
namespace {

constexpr int SIDE = 256;
constexpr int CELL = 64;            // rail spacing round the tube: four per texture
constexpr int RING = 256;           // rib spacing along it: one per texture
constexpr float LEAST = 34.f;       // taken under a rib's lit crest
constexpr float PANEL = 72.f;       // taken over the panels between the ribs
constexpr float MOST = float(TEXTURE_MOST);  // taken in the deepest troughs
constexpr float TAU = 6.2831853f;

// A soft ridge across one cell: 1 on its crest, falling smoothly to 0 half a cell
// away; `sharp` narrows it. Lit from the -d side, so the crest leans that way.
float ridge(float d, float sharp, int cell = CELL) {
    const float c = 0.5f + 0.5f * std::cos(TAU * d / float(cell));
    const float lean = 0.5f + 0.5f * std::sin(TAU * d / float(cell));
    return std::pow(c, sharp) * (0.75f + 0.25f * lean);
}

Indexed draw_fdtex() {
    Indexed out(SIDE, SIDE);
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
            // A slow wash, periodic with the texture: 2 cells along the tube and 4
            // round it at the base octave.
            const float wash = fbm(fx / 128.f, fy / 64.f, 97, 2, 2, 4);
            // Amount taken: a panel floor that leaves the sky a dim brown, lit ribs
            // ringing the tube that let the sunset through, lighter rails along it,
            // and a dark groove on each side of a rib (its shadowed flank, the far
            // one deeper), so the rings read as relief and never as flat black.
            const float rib = ridge(fx, 3.f, RING);
            const float rail = ridge(fy + float(CELL) / 2.f, 3.f);
            const float groove =
                0.7f * ridge(fx - 0.24f * float(RING), 6.f, RING) + 0.4f * ridge(fx + 0.22f * float(RING), 6.f, RING);
            // Where the tube's far end folds many turns into a pixel the grooves
            // set the depth of its rings, so they reach half the trough; the
            // whole take is raised by what that gives back on average, so the
            // picture stays as low under the glows.
            float take = 2.5f + PANEL - (PANEL - LEAST) * rib - 16.f * rail * (1.f - rib) + 0.5f * (MOST - PANEL) * groove + 14.f * (wash - 0.5f);
            out.at(x, y) = uint8_t(std::lround(std::clamp(take, LEAST, MOST)));
        }
    return out;
}

}  // namespace

void register_scene09() { registry().push_back({"fdtex", SIDE, SIDE, -1, nullptr, draw_fdtex}); }

}  // namespace art
