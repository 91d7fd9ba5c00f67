// Scene 9: the darkening texture (fdtex: 256 x 256 amounts subtracted from the
// picture, wrapping both ways). Columns run along the tube and across the sphere's
// latitudes, rows round the tube and the sphere's longitudes. Deep panels with
// light seams between them: the surfaces read as a lit grid bending with the
// mapping, and the picture under the glowing curves of the last phase is left dark,
// so the glows build up as light and only their cores reach the cap.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace art {
namespace {

constexpr int SIDE = 256;
constexpr int PANEL_U = 64;   // panel length along the tube: four per texture
constexpr int PANEL_V = 32;   // panel width round it: eight per texture
// Amounts taken from the picture. The sky of "plant.dat" is 66 and above, so no
// amount passes 66: the sphere's wrapping subtraction never wraps the sky, while
// the silhouettes (14 and below) wrap into the palette's black upper half.
constexpr float LIGHT = 52.f;   // a light panel
constexpr float DARK = 64.f;    // a dark one
constexpr float BEVEL = 6.f;    // shading toward a panel's far edges
constexpr float SEAM = 24.f;    // between panels: the sky shows through as a light line
constexpr float MOST = 66.f;    // the sky's floor

// Distance in texels from the nearest panel border along one axis.
float border_distance(int t, int period) {
    const int m = t % period;
    return float(std::min(m, period - 1 - m));
}

Indexed draw_fdtex() {
    Indexed out(SIDE, SIDE);
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            const int pu = x / PANEL_U, pv = y / PANEL_V;
            float amount = ((pu + pv) & 1) ? DARK : LIGHT;
            // Bevel: each panel is lit from its low corner and shaded toward the far
            // one, so it reads as a raised plate and not a flat tint.
            const float fu = float(x % PANEL_U) / PANEL_U, fv = float(y % PANEL_V) / PANEL_V;
            amount += BEVEL * (smoothstep(0.55f, 1.f, fu) + smoothstep(0.6f, 1.f, fv));
            amount -= 0.5f * BEVEL * (1.f - smoothstep(0.f, 0.2f, std::min(fu, fv)));
            // Wear, wrapping with the texture so no seam shows.
            amount += 6.f * (fbm(x / 32.f, y / 32.f, 93, 4, 8, 8) - 0.5f);
            // Seams: a soft-edged light line along every panel border.
            const float d = std::min(border_distance(x, PANEL_U), border_distance(y, PANEL_V));
            amount = lerp(SEAM, amount, smoothstep(0.5f, 2.5f, d));
            out.at(x, y) = uint8_t(std::clamp(amount, 0.f, MOST));
        }
    return out;
}

}  // namespace

void register_scene09() { registry().push_back({"fdtex", SIDE, SIDE, -1, nullptr, draw_fdtex}); }

}  // namespace art
