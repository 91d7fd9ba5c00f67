// Scene 6: the title (se_cont) and the five word lines of the stack, which read
// top to bottom "SOMETHING / IS MOVING / BEHIND / THE COLD / LIGHT", both set in
// bold pixel faces of our own: upright strokes two pixels thick.
//
// A word line (320 x 11, key 0) is averaged onto the frame while it is fresh:
// its face bytes 1..9 land on the palette's cream 76..99 whether the teal (151)
// or the cloud (152..190) lies under them, and its one-pixel ring, byte 234, on
// black (192 or more), so the line reads as a light face in a dark ring on
// anything. Later only its shape is smudged in: every pixel of face and ring
// becomes the ninth of its neighbours' sum plus 5, 10, 15, then 17, the
// neighbours above and to the left already smudged. Over the teal that lands on
// 128..149 and over the cloud's core on 160..185, both of which the palette
// shows as a deep ink (but for the entries the blend bar also takes), so an
// older line is a dark, heavier cut of the same letters; at 17 over the teal it
// is the teal itself (floor(8 x 151 / 9) + 17 = 151) and shows only over the
// cloud.
//
// The title is added onto 151 with wrap-around: a byte 105 + r lands on index r,
// so its chrome face uses r = 4..37 (a sky above the horizon, a dark horizon
// line, gold ground below; 42..75 repeat it for the letters over the cloud's
// core), its outline and drop shadow r = 200 (black, shown as 199: the average
// with the frame before rounds down). It is the words' face
// condensed and stretched: cells 1.5 pixels wide and 2.5 high, standing free on
// the frame like a logo, with no plate.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

// ---------------------------------------------------------------- the face

constexpr int GLYPH_ROWS = 10;

// One glyph on the face's grid, a string per row, '#' filled.
struct Glyph {
    char c;
    const char* rows[GLYPH_ROWS];
};

// The word lines' cut: nine rows (the tenth empty), ten cells wide (M twelve,
// I two); upright strokes two pixels, crossbars one, so that with the ring
// round them (above, between and below) every gap between two bars keeps a
// row of key: the smudged shape keeps its counters.
constexpr Glyph wide_face[] = {
    {'B', {"#########.", "##......##", "##......##", "##.....##.", "########..", "##.....##.", "##......##", "##......##", "#########.", ""}},
    {'C', {".#########", "##........", "##........", "##........", "##........", "##........", "##........", "##........", ".#########", ""}},
    {'D', {"#########.", "##......##", "##......##", "##......##", "##......##", "##......##", "##......##", "##......##", "#########.", ""}},
    {'E', {"##########", "##........", "##........", "##........", "########..", "##........", "##........", "##........", "##########", ""}},
    {'G', {".#########", "##........", "##........", "##........", "##...#####", "##......##", "##......##", "##......##", ".#########", ""}},
    {'H', {"##......##", "##......##", "##......##", "##......##", "##########", "##......##", "##......##", "##......##", "##......##", ""}},
    {'I', {"##", "##", "##", "##", "##", "##", "##", "##", "##", ""}},
    {'L', {"##........", "##........", "##........", "##........", "##........", "##........", "##........", "##........", "##########", ""}},
    {'M', {"##........##", "###......###", "####....####", "##.##..##.##", "##..####..##", "##...##...##", "##........##", "##........##", "##........##", ""}},
    {'N', {"###.....##", "####....##", "##.##...##", "##..##..##", "##...##.##", "##....####", "##.....###", "##......##", "##......##", ""}},
    {'O', {".########.", "##......##", "##......##", "##......##", "##......##", "##......##", "##......##", "##......##", ".########.", ""}},
    {'S', {".#########", "##........", "##........", "##........", ".########.", "........##", "........##", "........##", "#########.", ""}},
    {'T', {"##########", "....##....", "....##....", "....##....", "....##....", "....##....", "....##....", "....##....", "....##....", ""}},
    {'V', {"##......##", "##......##", "##......##", ".##....##.", ".##....##.", "..##..##..", "..##..##..", "...####...", "....##....", ""}},
};

// The title's cut: ten rows, eight cells wide, bars two rows thick.
constexpr Glyph narrow_face[] = {
    {'A', {".######.", "########", "##....##", "##....##", "########", "########", "##....##", "##....##",
           "##....##", "##....##"}},
    {'C', {".#######", "########", "##......", "##......", "##......", "##......", "##......", "##......",
           "########", ".#######"}},
    {'D', {"#######.", "########", "##....##", "##....##", "##....##", "##....##", "##....##", "##....##",
           "########", "#######."}},
    {'E', {"########", "########", "##......", "##......", "######..", "######..", "##......", "##......",
           "########", "########"}},
    {'N', {"###...##", "####..##", "##.##.##", "##.##.##", "##..####", "##...###", "##....##", "##....##",
           "##....##", "##....##"}},
    {'O', {".######.", "########", "##....##", "##....##", "##....##", "##....##", "##....##", "##....##",
           "########", ".######."}},
    {'S', {".#######", "########", "##......", "##......", "#######.", ".#######", "......##", "......##",
           "########", "#######."}},
    {'T', {"########", "########", "...##...", "...##...", "...##...", "...##...", "...##...", "...##...",
           "...##...", "...##..."}},
};

template <size_t N>
const Glyph& glyph_of(const Glyph (&face)[N], char c) {
    for (const Glyph& g : face)
        if (g.c == c) return g;
    fprintf(stderr, "kelvora-assets: scene 6 face has no '%c'\n", c);
    exit(1);
}

int cells_wide(const Glyph& g) { return int(strlen(g.rows[0])); }

// ---------------------------------------------------------------- word lines

constexpr int WORD_GAP = 3;    // pixels between letters
constexpr int WORD_SPACE = 10; // a word space's width, besides the gaps

constexpr int WORD_ROWS = 9;  // the word glyphs' rows, set on the line's rows 1..9

// The face's bytes 1..9, top to foot: averaged with the background 151 they land
// on 76..80, with the cloud's core 189 on 95..99, all the face's cream to gold.
uint8_t face_byte(int row) { return uint8_t(1 + row * 8 / (WORD_ROWS - 1)); }

// The ring round the letters: averaged with anything of 151 or more it lands on
// 192 or more, black. No more than 236, so that in the scene's first frame
// (averaged once more with the background) a ring over the cloud's cap 190
// lands on 181 at most, the cloud's dark rim, not its highlight.
constexpr uint8_t RING_BYTE = 234;

Indexed word_line(const std::string& text) {
    Indexed out(320, 11, 0);
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i)
        width += (text[i] == ' ' ? WORD_SPACE : cells_wide(glyph_of(wide_face, text[i]))) +
                 (i + 1 < text.size() ? WORD_GAP : 0);
    int x0 = (out.w - width) / 2;
    for (char c : text) {
        if (c == ' ') {
            x0 += WORD_SPACE + WORD_GAP;
            continue;
        }
        const Glyph& g = glyph_of(wide_face, c);
        for (int gy = 0; gy < WORD_ROWS; ++gy)
            for (int gx = 0; g.rows[gy][gx]; ++gx)
                if (g.rows[gy][gx] == '#') out.at(x0 + gx, 1 + gy) = face_byte(gy);
        x0 += cells_wide(g) + WORD_GAP;
    }
    // A one-pixel black ring round the face: rows 0 and 10 above and below it.
    Indexed ringed = out;
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            if (out.at(x, y)) continue;
            bool edge = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    edge |= nx >= 0 && ny >= 0 && nx < out.w && ny < out.h && out.at(nx, ny) != 0;
                }
            if (edge) ringed.at(x, y) = RING_BYTE;
        }
    return ringed;
}

// ---------------------------------------------------------------- title

constexpr int TITLE_LIFT = 105;  // byte = (index + 105) mod 256 lands on index over 151

uint8_t title_byte(int index) { return uint8_t((index + TITLE_LIFT) & 255); }

// A chrome face, one entry a row: sky at the top (index 25, a clear blue)
// brightening to white (4) just above the middle, a dark horizon line (27), then
// the ground from a deep brown (28) up to pale yellow (37) at the foot, past the
// fixed grey 33. The face spans fewer entries than the cloud's core lies above
// the background (189 - 151 = 38): where the core lies under a letter it lands
// 38 entries up, on 42..75, which repeat the same chrome, so a letter keeps its
// face over the cloud as well as over the teal (42 + 22 = 64, fixed, is skipped
// the same way).
int chrome_index(float t) {
    constexpr float HORIZON = 0.52f;
    if (t < HORIZON) return std::clamp(int(lerp(25.f, 4.f, t / HORIZON) + 0.5f), 4, 25);
    if (t < HORIZON + 0.06f) return 27;
    static constexpr int ground[] = {28, 29, 30, 31, 32, 34, 35, 36, 37};
    const float u = (t - HORIZON - 0.06f) / (1.f - HORIZON - 0.06f);
    return ground[std::clamp(int(u * 9.f), 0, 8)];
}

Indexed draw_se_cont() {
    const int W = 199, H = 29;
    const std::string text = "SECOND CONTACT";
    constexpr int GAP = 2, SPACE = 8, TOP = 1;
    // Cell column i spans pixels floor(1.5 i) .. floor(1.5 (i + 1)): two cells,
    // a stroke, are always three pixels; cell row j spans floor(2.5 j) ..
    // floor(2.5 (j + 1)), so the letters stand 25 pixels tall.
    auto cell_x = [](int i) { return i * 3 / 2; };
    auto cell_y = [](int j) { return TOP + j * 5 / 2; };
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i)
        width += (text[i] == ' ' ? SPACE : cell_x(cells_wide(glyph_of(narrow_face, text[i])))) +
                 (i + 1 < text.size() ? GAP : 0);
    const int glyph_h = cell_y(GLYPH_ROWS) - TOP;
    std::vector<bool> ink(size_t(W) * H, false);
    int x0 = (W - width) / 2 - 1;  // one pixel left: the shadow falls to the right
    for (char c : text) {
        if (c == ' ') {
            x0 += SPACE + GAP;
            continue;
        }
        const Glyph& g = glyph_of(narrow_face, c);
        for (int gy = 0; gy < GLYPH_ROWS; ++gy)
            for (int gx = 0; g.rows[gy][gx]; ++gx)
                if (g.rows[gy][gx] == '#')
                    for (int y = cell_y(gy); y < cell_y(gy + 1); ++y)
                        for (int x = x0 + cell_x(gx); x < x0 + cell_x(gx + 1); ++x) ink[size_t(y) * W + x] = true;
        x0 += cell_x(cells_wide(g)) + GAP;
    }
    auto inked = [&](int x, int y) { return x >= 0 && y >= 0 && x < W && y < H && ink[size_t(y) * W + x]; };
    Indexed out(W, H, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (inked(x, y)) {
                const float t = float(y - TOP) / float(glyph_h - 1);
                out.at(x, y) = title_byte(chrome_index(t));
                continue;
            }
            // A black outline a pixel round the letters, thickening into a drop
            // shadow two pixels down and to the right.
            bool edge = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) edge |= inked(x + dx, y + dy);
            edge |= inked(x - 2, y - 2) || inked(x - 1, y - 2) || inked(x - 2, y - 1);
            if (edge) out.at(x, y) = title_byte(200);
        }
    return out;
}

}  // namespace

void register_scene06() {
    auto& r = registry();
    r.push_back({"blasm", 320, 11, 0, &scene6_palette, [] { return word_line("SOMETHING"); }});
    r.push_back({"purple", 320, 11, 0, &scene6_palette, [] { return word_line("IS MOVING"); }});
    r.push_back({"fudge", 320, 11, 0, &scene6_palette, [] { return word_line("BEHIND"); }});
    r.push_back({"prone", 320, 11, 0, &scene6_palette, [] { return word_line("THE COLD"); }});
    r.push_back({"hype", 320, 11, 0, &scene6_palette, [] { return word_line("LIGHT"); }});
    r.push_back({"se_cont", 199, 29, 0, &scene6_palette, draw_se_cont});
}

}  // namespace art
