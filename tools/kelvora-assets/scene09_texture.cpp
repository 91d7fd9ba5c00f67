// Scene 9: the darkening texture (fdtex: 256 x 256 amounts subtracted from the
// picture, wrapping both ways). Columns run along the tube and across the sphere's
// latitudes, rows round the tube and the sphere's longitudes.
//
// A ribbed shaft: round ribs ring the tube every quarter of the texture and rails
// run along it, each shaded across its width like a lit cylinder; between them lie
// deep recessed plates, every other one pierced by a porthole with a bright rim.
// The deep plates take the most the texture may, so the picture under them goes
// black but for the glow round the sun, and the glowing curves of the last phase
// build up as light; every other plate takes a little less, so the sunset and the
// station's silhouette show through it in a checker of dim panels; the ribs,
// rails and rims let the sunset through in steps of a few texels, so their edges
// stay soft when the warps magnify them.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "scene08_plant.h"

namespace art {
namespace {

constexpr int SIDE = 256;
constexpr int CELL = 64;             // rib and rail spacing: four of each per texture
constexpr float RIB_HALF = 5.5f;     // half-width of a rib round the tube
constexpr float RAIL_HALF = 3.5f;    // half-width of a rail along it
constexpr float PORT_R = 15.f;       // a porthole's radius
constexpr float MOST = float(TEXTURE_MOST);

// Light let through by a lit cylinder of half-width `half` at distance d from its
// axis, signed so the side toward -d faces the light: 0 outside, up to 1 on the
// lit shoulder, falling off over the far side.
float cylinder(float d, float half) {
    const float x = d / half;
    if (std::fabs(x) >= 1.f) return 0.f;
    const float nz = std::sqrt(1.f - x * x);
    const float lit = clamp01(0.35f * nz - 0.65f * x + 0.25f);
    return lit * smoothstep(1.f, 0.7f, std::fabs(x));
}

Indexed draw_fdtex() {
    Indexed out(SIDE, SIDE);
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            // Light let through, 0 (take everything) .. 1 (take nothing).
            float light = 0.f;
            const int cu = x / CELL, cv = y / CELL;
            const float fu = float(x % CELL) + 0.5f, fv = float(y % CELL) + 0.5f;  // within the cell
            // Plates: a recessed panel inside each cell, its upper and left lips
            // catching a little light, the far lips in shadow.
            const float inset = std::min({fu - RIB_HALF, float(CELL) - RIB_HALF - fu, fv - RAIL_HALF, float(CELL) - RAIL_HALF - fv});
            if (inset > 0.f) {
                const bool raised = ((cu + cv) & 1) != 0;
                light = raised ? 0.22f : 0.f;
                const float lip = 1.f - smoothstep(1.f, 4.f, inset);
                const bool near_side = std::min(fu - RIB_HALF, fv - RAIL_HALF) <= std::min(float(CELL) - RIB_HALF - fu, float(CELL) - RAIL_HALF - fv);
                light += lip * (near_side ? 0.16f : -0.05f);
                // Wear on the plates, wrapping with the texture.
                light += 0.04f * (fbm(float(x) / 24.f, float(y) / 24.f, 93, 3, 11, 11) - 0.5f);
                // Portholes on the darker plates: a bright rim, a dark well with a
                // faint glow at its heart.
                if (!raised) {
                    const float d = std::hypot(fu - float(CELL) / 2.f, fv - float(CELL) / 2.f);
                    const float rim = 1.f - smoothstep(1.f, 3.5f, std::fabs(d - PORT_R));
                    const float side = clamp01(0.5f - 0.5f * ((fu - float(CELL) / 2.f) + (fv - float(CELL) / 2.f)) / (1.4f * PORT_R));
                    if (d < PORT_R) light = 0.18f * (1.f - smoothstep(0.f, PORT_R * 0.7f, d));
                    light = std::max(light, rim * (0.2f + 0.45f * side));
                }
            }
            // Rails along the tube, then ribs round it, which cross over the rails.
            const float rail_d = std::fmod(float(y) + 0.5f, float(CELL));
            const float rail = cylinder(rail_d < CELL / 2 ? rail_d : rail_d - float(CELL), RAIL_HALF);
            light = std::max(light, 0.6f * rail);
            const float rib_d = std::fmod(float(x) + 0.5f, float(CELL));
            const float rib = cylinder(rib_d < CELL / 2 ? rib_d : rib_d - float(CELL), RIB_HALF);
            if (std::fabs(rib_d < CELL / 2 ? rib_d : rib_d - float(CELL)) < RIB_HALF) light = 0.78f * rib;
            out.at(x, y) = uint8_t(std::lround(MOST * (1.f - clamp01(light))));
        }
    return out;
}

}  // namespace

void register_scene09() { registry().push_back({"fdtex", SIDE, SIDE, -1, nullptr, draw_fdtex}); }

}  // namespace art
