// Scene 1, tunnel phase: the two tunnel coordinate maps (tube_x, tube_y), the eight
// band colours (tunnel), the console around the tunnel (frm1 left, frm2 bottom,
// frm3 the inner edge keyed by 0, all cut from one painted picture) and the
// breathing caption (sclpic), which is added onto the black slot of frm2.
#include <algorithm>
#include <cmath>
#include <vector>

#include "art.h"
#include "painter.h"
#include "scenes/palettes.h"

namespace art {
namespace {

// ---------------------------------------------------------------- the tunnel
//
// The scene colours a pixel by band (tube_x + tube_y + flow) >> 6 and then smears
// the picture twice with a filter that averages indices. The maps make a tube seen
// end-on: tube_y is its depth, TUBE_DEPTH / r, so rings crowd toward the vanishing
// point as a perspective tube's do, and the flow carries them out toward the
// viewer; tube_x cuts the tube into SECTORS wedges whose every other one is moved
// half a colour repeat along, which turns the rings into a checkerboard of tiles.
//
// The band colours repeat every four bands (256 units): orange and pale yellow, a
// lit rib, then two near-black blues, the gap. Each pair of bands half a repeat apart
// holds one lit and one dark colour, and so does the whole: their means (about
// 134) lie in the middle of the palette's black run (64..175). Where rings get
// thinner than a pixel, near the vanishing point, the depth map stops growing and
// spreads each 2 x 2 block over a whole colour repeat; the smear averages such a
// block, however unevenly its weights fall on the four, into that black run, so
// the tunnel ends in a still black core with no flicker and no speckle.
constexpr float TUNNEL_CX = 234.f, TUNNEL_CY = 70.f, PIXEL_ASPECT = 1.2f;
constexpr float TUBE_DEPTH = 15000.f;
constexpr int SECTORS = 12;  // even, so the tiles alternate all the way round
// Band widths (pixels) between which the rings give way to the core.
constexpr float CORE_FULL = 0.45f, CORE_NONE = 2.4f;
constexpr uint8_t BANDS[4] = {52, 215, 224, 42};

float tube_radius(int x, int y) {
    const float dx = float(x) - TUNNEL_CX, dy = (float(y) - TUNNEL_CY) * PIXEL_ASPECT;
    return std::sqrt(dx * dx + dy * dy);
}

// How far into the core a pixel is: 0 where rings are wide, 1 where they would be
// under CORE_FULL pixels.
float core(float r) {
    const float band_px = 64.f * r * r / TUBE_DEPTH;
    return 1.f - smoothstep(CORE_FULL, CORE_NONE, band_px);
}

// Seams: radial lines along the tube's walls, one down the middle of every tile,
// where each pixel's tile is swapped for its neighbour's (half a colour repeat
// along: a lit tile's pixel shows a dark band, a dark tile's a lit one). The smear
// averages a swapped pixel with its neighbours, and the mean of a lit and a dark
// index falls into the palette's brown ramp or its black run: a soft dark groove.
// Seams run along the flow, so they hold still as the rings pour out, and being one
// pixel wide at every radius they close up toward the vanishing point, where they
// darken the tiles through brown to black: the tube recedes into shadow.
constexpr int RAILS = SECTORS;
constexpr float SEAM_FROM = 24.f;  // no seams inside this radius (the core's own)

bool on_seam(float dx, float dy) {
    const float r = std::sqrt(dx * dx + dy * dy);
    if (r < SEAM_FROM) return false;
    const float turn = (std::atan2(dy, dx) + float(M_PI)) / (2.f * float(M_PI)) * float(RAILS) + 0.5f;
    const float off = std::fabs(turn - std::round(turn)) * 2.f * float(M_PI) / float(RAILS) * r;  // pixels
    return off < 0.5f;
}

Indexed draw_tube_x() {
    Indexed out(320, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            const float dx = float(x) - TUNNEL_CX, dy = (float(y) - TUNNEL_CY) * PIXEL_ASPECT;
            const float turn = (std::atan2(dy, dx) + float(M_PI)) / (2.f * float(M_PI));  // 0..1
            const int sector = std::min(SECTORS - 1, int(turn * float(SECTORS)));
            out.at(x, y) = uint8_t(((sector & 1) ^ int(on_seam(dx, dy))) * 128);
        }
    return out;
}

// Dusk: farther out than the core, each 2 x 2 block is spread over part of a colour
// repeat, growing toward the core. Where a block straddles the edge between a lit
// and a dark band the smear averages it into the brown ramp or the black run, so the
// lit rings wear dark edges that widen with depth until little of them is left: the
// tube darkens as it recedes. The pattern's period is two pixels, which the smear
// averages out, so the darkening is smooth.
constexpr float DUSK_NEAR = 96.f, DUSK_FAR = 16.f;  // radii where it starts and is strongest
constexpr float DUSK_MAX = 0.5f;                      // share of a colour repeat at its strongest
// The light comes from the viewer's upper left: the walls facing it (lower right of
// the opening) stay clean, the walls turned away (upper left) wear dark edges from
// farther out, which gives the tube a lit side and a shadowed one.
constexpr float LIGHT_TURN = 0.72f;   // direction of the lit wall, radians from +x (screen y down)
constexpr float SHADE_REACH = 1.3f;   // shadowed side: dusk starts this much farther out
float dusk(float r, float dx, float dy) {
    const float facing = 0.5f + 0.5f * std::cos(std::atan2(dy, dx) - LIGHT_TURN);  // 1 lit, 0 shadowed
    const float near = lerp(DUSK_NEAR * SHADE_REACH, DUSK_NEAR, facing);
    const float t = 1.f - smoothstep(DUSK_FAR, near, r);
    return DUSK_MAX * t * std::sqrt(t);
}

Indexed draw_tube_y() {
    Indexed out(320, 200);
    const int spread[2][2] = {{0, 2}, {3, 1}};  // quarters of a colour repeat
    const float r_far = std::sqrt(CORE_FULL * TUBE_DEPTH / 64.f);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            const float r = tube_radius(x, y), c = core(r);
            const float blend = std::max(c, dusk(r, float(x) - TUNNEL_CX, (float(y) - TUNNEL_CY) * PIXEL_ASPECT));
            const float depth = TUBE_DEPTH / std::max(lerp(r, r_far, c), 1.f) + blend * 64.f * float(spread[y & 1][x & 1]);
            out.at(x, y) = uint8_t(int(depth) % 255);
        }
    return out;
}

Indexed draw_tunnel_bands() {
    Indexed out(8, 1);
    for (int i = 0; i < 8; ++i) out.v[i] = BANDS[i & 3];
    return out;
}

// ---------------------------------------------------------------- the console
//
// One picture of 320 x 200 painted in float colour and cut into the three frame
// pieces, so that they meet without a seam: a brushed steel panel on the left with
// a round brass medallion holding the K, its inner edge curving round the tunnel's
// opening, and a bar along the bottom with the black slot the caption breathes in.
// Steel lies on the palette's greys and blues (1..63), brass on the brown ramp and
// the orange run; the tunnel shows through where the inner edge is 0.

constexpr int PANEL_W = 132, EDGE_W = 52, TOP_H = 144;
constexpr double MEDAL_X = 64, MEDAL_Y = 70, MEDAL_R = 50;
constexpr int SLOT_X0 = 20, SLOT_X1 = 300, SLOT_Y0 = 154;  // the caption adds onto 0 here
// The slot's last row: below it a lit lip and the bar's foot frame the slot, and the
// caption, which the scene stretches down to the screen's last row, leaves them
// clear with the transparent rows at its foot (SCL_FOOT).
constexpr int SLOT_Y1 = 195;
constexpr double LAMP_X0 = 22, LAMP_X1 = 108, LAMP_Y0 = 127;  // the lamp strip under the medallion
constexpr int LAMPS = 6;

// The opening's edge: column where the steel ends on row y (the arch is widest at
// the top and bottom corners).
double opening_edge(double y) {
    const double v = (y - 72.0) / 72.0;
    return PANEL_W + 4.0 + 40.0 * std::pow(std::fabs(v), 5.0);
}

using namespace painter;

enum Part : uint8_t { P_STEEL, P_BRASS };

const Finish steel{{6, 8, 14}, {31, 35, 42}, {60, 62, 63}, 0.5f, {24, 28, 38}, 0.4f, 1.2f};
const Finish brass{{14, 10, 10}, {60, 32, 4}, {63, 63, 46}, 0.7f, {31, 23, 22}, 0.3f, 1.3f};

// The K as a polygon: a vertical stem and two diagonal arms meeting it at the
// middle, cut clean, the arms' ends squared to the cap and base lines.
void letter_k(cairo_t* cr, double cx, double cy, double h) {
    const double w = h * 0.78, stem = h * 0.24, arm = h * 0.25;
    const double x0 = cx - w / 2, top = cy - h / 2, bot = cy + h / 2;
    const double join = cy + h * 0.04;  // where the arms meet the stem
    cairo_new_sub_path(cr);
    cairo_rectangle(cr, x0, top, stem, h);
    // Upper arm: from the stem at the join up to the top right.
    const double ux = x0 + w, uy = top;
    cairo_move_to(cr, x0 + stem * 0.6, join + arm * 0.35);
    cairo_line_to(cr, ux - arm * 1.05, uy);
    cairo_line_to(cr, ux + arm * 0.12, uy);
    cairo_line_to(cr, x0 + stem * 0.6 + arm * 1.1, join + arm * 0.35);
    cairo_close_path(cr);
    // Lower arm: from the upper arm's middle down to the bottom right.
    cairo_move_to(cr, x0 + stem + arm * 0.15, cy - h * 0.04);
    cairo_line_to(cr, x0 + stem + arm * 1.15, cy - h * 0.2);
    cairo_line_to(cr, ux + arm * 0.12, bot);
    cairo_line_to(cr, ux - arm * 1.1, bot);
    cairo_close_path(cr);
}

struct Console {
    Indexed pic;                // 320 x 200 on the tunnel palette
    std::vector<bool> opening;  // where the tunnel shows through the inner edge
};

const Console& console() {
    static const Console c = [] {
        const int W = 320, H = 200;
        Paint pt(W, H, 3);
        // Steel everywhere first: brushed, with a few engraved grooves.
        pt.current = P_STEEL;
        const Plane all = pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, 0, 0, W, H); });
        pt.fill(all, [](float x, float y) {
            const float brush = fbm(x / 50.f, y / 1.5f, 31, 3);
            const float v = 0.42f + 0.16f * (brush - 0.5f) - 0.1f * (y / 200.f);
            return mix(Rgb{6, 8, 14}, Rgb{36, 40, 46}, v);
        });
        // The panel's body as a raised plate: everything but the opening.
        const Plane plate = pt.mask([&](cairo_t* cr) {
            cairo_move_to(cr, 0, 0);
            for (int y = 0; y <= TOP_H; ++y) cairo_line_to(cr, opening_edge(y), y);
            cairo_line_to(cr, W, TOP_H);
            cairo_line_to(cr, W, H);
            cairo_line_to(cr, 0, H);
            cairo_close_path(cr);
        });
        pt.shaded(plate, 6, steel);
        // Grooves across the left panel, stopping at the medallion's rim and the
        // opening's lip, engraved: a dark line with a lit line under it.
        for (int gy = 12; gy < LAMP_Y0 - 6; gy += 12) {
            const double dy = gy - MEDAL_Y;
            const double half = dy * dy < (MEDAL_R + 5) * (MEDAL_R + 5) ? std::sqrt((MEDAL_R + 5) * (MEDAL_R + 5) - dy * dy) : -1;
            auto groove = [&](double x0, double x1) {
                if (x1 - x0 < 2) return;
                pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, x0, gy, x1 - x0, 1); }), {6, 7, 12}, 0.85f);
                pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, x0, gy + 1, x1 - x0, 1); }), {50, 54, 58}, 0.6f);
            };
            const double right = opening_edge(gy) - 8;
            if (half < 0) groove(4, right);
            else {
                groove(4, MEDAL_X - half);
                groove(MEDAL_X + half, right);
            }
        }
        // The opening's lip: a bright chamfer catching the light, then dark.
        const Plane lip = pt.stroke_mask([&](cairo_t* cr) {
            cairo_move_to(cr, opening_edge(0) - 1.5, -2);
            for (int y = 0; y <= TOP_H; ++y) cairo_line_to(cr, opening_edge(y) - 1.5, y);
            cairo_line_to(cr, W + 2, TOP_H - 2);
        }, 3.0);
        pt.shaded(lip, 1.5, {{4, 4, 8}, {58, 60, 63}, {63, 63, 63}, 0.8f, {20, 24, 32}, 0.2f, 1.6f});
        // The bottom bar's top edge and the slot, recessed.
        pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, 0, TOP_H + 1, W, 1); }), {56, 58, 62}, 0.9f);
        pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, 0, TOP_H, W, 1); }), {4, 4, 8}, 0.9f);
        const Plane slot_rim = pt.mask([&](cairo_t* cr) {
            cairo_rectangle(cr, SLOT_X0 - 3, SLOT_Y0 - 3, SLOT_X1 - SLOT_X0 + 7, SLOT_Y1 - SLOT_Y0 + 7);
        });
        pt.shadow(slot_rim, -1, -1, 2, 0.6f);
        pt.flat(slot_rim, {20, 24, 32});
        // The recess's lower lip faces the light: a lit line under the slot, the
        // bar's dark foot below it.
        pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, SLOT_X0 - 2, SLOT_Y1 + 1, SLOT_X1 - SLOT_X0 + 5, 1); }),
                {50, 53, 58}, 0.9f);
        pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, 0, H - 1, W, 1); }), {6, 7, 12}, 0.9f);
        for (int rx : {9, 310}) {  // rivets
            const Plane rivet = pt.mask([&](cairo_t* cr) { oval(cr, rx + 0.5, 176, 3.2, 3.2); });
            pt.shadow(rivet, 1, 1, 1.5, 0.6f);
            pt.shaded(rivet, 2, steel);
        }
        // The panel's outer edge bevelled: a lit line along the top and left, a dark
        // one down the inside of the bottom bar's right end.
        pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, 0, 0, opening_edge(0) - 3, 1); }), {54, 57, 61}, 0.8f);
        pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, 0, 0, 1, H); }), {54, 57, 61}, 0.8f);
        pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, W - 1, TOP_H, 1, H - TOP_H); }), {4, 5, 10}, 0.8f);
        // Countersunk screws in the panel's corners: a lit dome with a dark slot.
        for (const auto& sc : {std::pair{7.5, 6.5}, std::pair{7.5, 137.5}, std::pair{124.5, 137.5}}) {
            const Plane head = pt.mask([&](cairo_t* cr) { oval(cr, sc.first, sc.second, 3.4, 3.4); });
            pt.shadow(head, 1, 1, 1.5, 0.6f);
            pt.shaded(head, 2, steel);
            pt.flat(pt.mask([&](cairo_t* cr) {
                cairo_move_to(cr, sc.first - 2.4, sc.second + 1.6);
                cairo_line_to(cr, sc.first + 1.6, sc.second - 2.4);
                cairo_line_to(cr, sc.first + 2.4, sc.second - 1.6);
                cairo_line_to(cr, sc.first - 1.6, sc.second + 2.4);
                cairo_close_path(cr);
            }), {4, 5, 10}, 0.9f);
        }
        // A recessed strip of amber lamps under the medallion, the first lit, the
        // others in descending glow, like a depth gauge.
        const Plane well = pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, LAMP_X0, LAMP_Y0, LAMP_X1 - LAMP_X0, 10); });
        pt.flat(well, {5, 6, 12});
        pt.shadow(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, LAMP_X0 - 4, LAMP_Y0 - 4, LAMP_X1 - LAMP_X0 + 8, 4); }),
                  0, 2, 1.5, 0.8f, &well);
        pt.flat(pt.mask([&](cairo_t* cr) { cairo_rectangle(cr, LAMP_X0, LAMP_Y0 + 10, LAMP_X1 - LAMP_X0, 1); }),
                {52, 55, 60}, 0.8f);
        pt.current = P_BRASS;
        for (int i = 0; i < LAMPS; ++i) {
            const double lx = LAMP_X0 + 7 + i * (LAMP_X1 - LAMP_X0 - 14) / double(LAMPS - 1);
            const float glow = i < 3 ? 1.f - 0.25f * float(i) : 0.f;  // three lit, three dark
            const Plane lamp = pt.mask([&](cairo_t* cr) { oval(cr, lx, LAMP_Y0 + 5, 4.2, 3.4); });
            pt.flat(lamp, mix(Rgb{18, 12, 10}, Rgb{63, 30, 0}, glow));
            pt.flat(pt.mask([&](cairo_t* cr) { oval(cr, lx - 1.2, LAMP_Y0 + 4, 1.6, 1.2); }),
                    mix(Rgb{30, 23, 22}, Rgb{63, 63, 46}, glow));
        }
        pt.current = P_STEEL;
        // The medallion: a brass ring, a dark steel disc, the K raised in brass.
        pt.current = P_BRASS;
        const Plane ring = pt.mask([&](cairo_t* cr) { oval(cr, MEDAL_X, MEDAL_Y, MEDAL_R, MEDAL_R); });
        pt.shadow(ring, 3, 3, 5, 0.7f);
        pt.shaded(ring, 7, brass);
        pt.current = P_STEEL;
        const Plane disc = pt.mask([&](cairo_t* cr) { oval(cr, MEDAL_X, MEDAL_Y, MEDAL_R - 8, MEDAL_R - 8); });
        pt.fill(disc, [](float x, float y) {
            const float d = std::hypot(x - float(MEDAL_X) + 12.f, y - float(MEDAL_Y) + 14.f) / 70.f;
            return mix(Rgb{26, 30, 40}, Rgb{4, 5, 10}, std::clamp(d, 0.f, 1.f));
        });
        // The disc is sunk: the ring's shadow on its upper left.
        const Plane ring_in = minus(ring, disc);
        pt.shadow(ring_in, 2.5, 2.5, 3, 0.7f, &disc);
        pt.current = P_BRASS;
        const Plane k = pt.mask([&](cairo_t* cr) { letter_k(cr, MEDAL_X + 1, MEDAL_Y, 50); });
        pt.shadow(k, 3, 3, 3, 0.8f, &disc);
        pt.shaded(k, 3.5, brass);

        std::vector<ColourSet> sets = {ColourSet(tunnel_palette, {{1, 63}}),
                                       ColourSet(tunnel_palette, {{176, 225}, {30, 63}})};
        Console out;
        out.pic = quantise_regions(pt.down(), pt.regions(), sets, 0.3f);
        out.opening.assign(size_t(W) * H, false);
        for (int y = 0; y < TOP_H; ++y)
            for (int x = PANEL_W; x < PANEL_W + EDGE_W; ++x)
                out.opening[size_t(y) * W + x] = x + 0.5 > opening_edge(y + 0.5);  // by pixel centres
        return out;
    }();
    return c;
}

Indexed cut(int x0, int y0, int w, int h, bool keyed) {
    const Console& c = console();
    Indexed out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t k = size_t(y0 + y) * 320 + size_t(x0 + x);
            uint8_t v = c.pic.v[k];
            if (keyed) v = c.opening[k] ? 0 : std::max<uint8_t>(v, 1);
            out.at(x, y) = v;
        }
    return out;
}

Indexed draw_frm1() { return cut(0, 0, PANEL_W, TOP_H, false); }
Indexed draw_frm3() { return cut(PANEL_W, 0, EDGE_W, TOP_H, true); }
Indexed draw_frm2() {
    Indexed out = cut(0, TOP_H, 320, 56, false);
    for (int y = SLOT_Y0 - TOP_H; y <= SLOT_Y1 - TOP_H; ++y)
        for (int x = SLOT_X0; x <= SLOT_X1; ++x) out.at(x, y) = 0;
    return out;
}

// The breathing caption, on key 0. The scene stretches it every frame to between
// 74 and 274 columns and 23 and 43 rows by picking the nearest source pixel, so any
// detail one or two pixels wide (an antialiased edge, a thin outline, a dither) comes
// and goes from frame to frame and the letters seem to change weight. So the letters
// are cut hard (no partial pixels), their stems made fat (the glyphs are stroked
// outward by SCL_BOLD) and kept apart by gaps about as wide, and their colour changes
// only from row to row: a column dropped or doubled then takes a whole stem's width
// by one pixel and nothing else. A solid extrusion down and to the right gives the
// letters body; its colours sit near the slot's black, so its width barely reads.
constexpr double SCL_BOLD = 1.4;   // pixels added round every glyph
constexpr int SCL_DEPTH = 3;       // extrusion, pixels down and right
// Transparent rows at the foot: the scene stretches the 33 rows onto 24..44 and
// ends them on the screen's last row; the last 5 source rows cover at least the
// last 4 screen rows (at 24 rows, screen row 20 reads source row 27), so the slot's
// lower lip and foot (rows 196..199) stay clear at every stretch.
constexpr int SCL_FOOT = 5;
Indexed draw_sclpic() {
    const int W = 174, H = 33;
    Canvas cv(W, H);
    cairo_t* cr = cv.cr;
    const char* font = "DejaVu Sans Bold";
    const double spacing = 5.5;
    const double px = fit_text(cr, "DEEPER", font, W - 4 - SCL_DEPTH - SCL_BOLD, H - 2 - SCL_FOOT - SCL_DEPTH - SCL_BOLD, spacing);
    const TextBox box = text_extents(cr, "DEEPER", font, px, spacing);
    const double x0 = std::floor((W - SCL_DEPTH - box.w) / 2), y0 = std::floor((H - SCL_FOOT - SCL_DEPTH - box.h) / 2);
    text_path(cr, "DEEPER", font, px, x0, y0, spacing);
    ink_thickened(cr, SCL_BOLD, CAIRO_LINE_JOIN_MITER);
    const Plane cover = cv.alpha();
    auto face = [&](int x, int y) { return x >= 0 && y >= 0 && x < W && y < H && cover.at(x, y) >= 0.5f; };
    const double top = y0 - SCL_BOLD / 2, rows = box.h + SCL_BOLD;
    Indexed out(W, H, 0);
    for (int y = 0; y < H; ++y) {
        // Face: pale yellow along the top, through the orange run to a deep orange.
        const float t = clamp01(float((y + 0.5 - top) / rows));
        const uint8_t lit = t < 0.12f ? 224 : uint8_t(std::lround(lerp(223.f, 210.f, (t - 0.12f) / 0.88f)));
        for (int x = 0; x < W; ++x) {
            if (face(x, y)) {
                out.at(x, y) = lit;
                continue;
            }
            for (int k = 1; k <= SCL_DEPTH; ++k)
                if (face(x - k, y - k)) {
                    out.at(x, y) = uint8_t(196 - 5 * k);  // brown, darker with depth
                    break;
                }
        }
    }
    return out;
}

}  // namespace

void register_scene01_tunnel() {
    auto& r = registry();
    r.push_back({"tube_x", 320, 200, -1, nullptr, draw_tube_x});
    r.push_back({"tube_y", 320, 200, -1, nullptr, draw_tube_y});
    r.push_back({"tunnel", 8, 1, -1, &tunnel_palette, draw_tunnel_bands});
    r.push_back({"frm1", 132, 144, -1, &tunnel_palette, draw_frm1});
    r.push_back({"frm2", 320, 56, -1, &tunnel_palette, draw_frm2});
    r.push_back({"frm3", 52, 144, 0, &tunnel_palette, draw_frm3});
    r.push_back({"sclpic", 174, 33, 0, &tunnel_palette, draw_sclpic});
}

}  // namespace art
