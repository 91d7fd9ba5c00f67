// Scene 6: the title (se_cont) and the five word lines of the stack, which read
// top to bottom "SOMETHING / IS MOVING / BEHIND / THE COLD / LIGHT", both set in
// one bold pixel face of our own: ten rows, strokes two pixels thick.
//
// A word line (320 x 11, key 0) is averaged onto the frame while it is fresh and
// later only its shape is smudged into it: every letter pixel becomes the ninth of
// its neighbours' sum plus 5, 10, 15, then 17, and the neighbours above and to the
// left are already smudged. So the strokes are two pixels in both directions,
// counters are three pixels or more (a counter is key, so it keeps the background
// through the smudge) and the letters carry no outline or shadow, which the smudge
// would fold into their shape. A fresh letter's byte 1..8 averages the background
// 151 to 76..79 and the cloud's core 189 to 95..98, both white; the blur round
// the letters gives them a dark rim, and sinks the cloud under the line to teal.
//
// The title is added onto 151 with wrap-around: a byte 105 + r lands on index r,
// so its chrome face uses r = 1 (white) .. 62, its outline r = 200 (black, shown
// as 199: the average with the frame before rounds down) and the plate under it
// r = 101 (dark navy). It is the words' face condensed: cells 1.5 pixels wide
// and 2 high.
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

// The word lines' cut: ten cells wide (M twelve, I two).
constexpr Glyph wide_face[] = {
    {'B', {"#########.", "##########", "##......##", "##.....##.", "########..", "#########.", "##......##",
           "##......##", "##########", "#########."}},
    {'C', {".#########", "##########", "##........", "##........", "##........", "##........", "##........",
           "##........", "##########", ".#########"}},
    {'D', {"#########.", "##########", "##......##", "##......##", "##......##", "##......##", "##......##",
           "##......##", "##########", "#########."}},
    {'E', {"##########", "##########", "##........", "##........", "########..", "########..", "##........",
           "##........", "##########", "##########"}},
    {'G', {".#########", "##########", "##........", "##........", "##...#####", "##...#####", "##......##",
           "##......##", "##########", ".#########"}},
    {'H', {"##......##", "##......##", "##......##", "##......##", "##########", "##########", "##......##",
           "##......##", "##......##", "##......##"}},
    {'I', {"##", "##", "##", "##", "##", "##", "##", "##", "##", "##"}},
    {'L', {"##........", "##........", "##........", "##........", "##........", "##........", "##........",
           "##........", "##########", "##########"}},
    {'M', {"##........##", "###......###", "####....####", "##.##..##.##", "##..####..##", "##...##...##",
           "##........##", "##........##", "##........##", "##........##"}},
    {'N', {"###.....##", "####....##", "##.##...##", "##..##..##", "##...##.##", "##....####", "##.....###",
           "##......##", "##......##", "##......##"}},
    {'O', {".########.", "##########", "##......##", "##......##", "##......##", "##......##", "##......##",
           "##......##", "##########", ".########."}},
    {'S', {".#########", "##########", "##........", "##........", "#########.", ".#########", "........##",
           "........##", "##########", "#########."}},
    {'T', {"##########", "##########", "....##....", "....##....", "....##....", "....##....", "....##....",
           "....##....", "....##....", "....##...."}},
    {'V', {"##......##", "##......##", "##......##", "##......##", ".##....##.", ".##....##.", "..##..##..",
           "..##..##..", "...####...", "....##...."}},
};

// The title's cut: eight cells wide, the same strokes with narrower counters.
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

// Bytes 1..8, top to foot: averaged with the background 151 they land on 76..79,
// with the cloud's core 189 on 95..98.
uint8_t face_byte(int row) { return uint8_t(1 + row * 7 / (GLYPH_ROWS - 1)); }

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
        for (int gy = 0; gy < GLYPH_ROWS; ++gy)
            for (int gx = 0; g.rows[gy][gx]; ++gx)
                if (g.rows[gy][gx] == '#') out.at(x0 + gx, gy) = face_byte(gy);
        x0 += cells_wide(g) + WORD_GAP;
    }
    return out;
}

// ---------------------------------------------------------------- title

constexpr int TITLE_LIFT = 105;  // byte = (index + 105) mod 256 lands on index over 151

uint8_t title_byte(int index) { return uint8_t((index + TITLE_LIFT) & 255); }

// A chrome face: pale cyan at the top brightening to white at the horizon just
// above the middle, a sharp step down to a deeper cyan, then brightening again.
int chrome_index(float t) {
    if (t < 0.48f) return int(lerp(34.f, 1.f, t / 0.48f));
    return int(lerp(62.f, 12.f, (t - 0.48f) / 0.52f));
}

Indexed draw_se_cont() {
    const int W = 199, H = 29;
    const std::string text = "SECOND CONTACT";
    constexpr int CELL_H = 2, GAP = 2, SPACE = 8;
    // Cell column i spans pixels floor(1.5 i) .. floor(1.5 (i + 1)): two cells,
    // a stroke, are always three pixels.
    auto cell_x = [](int i) { return i * 3 / 2; };
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i)
        width += (text[i] == ' ' ? SPACE : cell_x(cells_wide(glyph_of(narrow_face, text[i])))) +
                 (i + 1 < text.size() ? GAP : 0);
    const int top = (H - GLYPH_ROWS * CELL_H) / 2;
    std::vector<bool> ink(size_t(W) * H, false);
    int x0 = (W - width) / 2;
    for (char c : text) {
        if (c == ' ') {
            x0 += SPACE + GAP;
            continue;
        }
        const Glyph& g = glyph_of(narrow_face, c);
        for (int gy = 0; gy < GLYPH_ROWS; ++gy)
            for (int gx = 0; g.rows[gy][gx]; ++gx)
                if (g.rows[gy][gx] == '#')
                    for (int y = top + gy * CELL_H; y < top + (gy + 1) * CELL_H; ++y)
                        for (int x = x0 + cell_x(gx); x < x0 + cell_x(gx + 1); ++x) ink[size_t(y) * W + x] = true;
        x0 += cell_x(cells_wide(g)) + GAP;
    }
    auto inked = [&](int x, int y) { return x >= 0 && y >= 0 && x < W && y < H && ink[size_t(y) * W + x]; };
    // A deep plate under the title, its corners rounded: index 101, a dark navy;
    // where the cloud lies under it the wrap-around lands the plate on 102..139,
    // so the cloud shows through it, dimmed.
    auto plate = [&](int x, int y) {
        const float dx = std::max({0.f, 5.f - float(x), float(x) - float(W - 6)});
        const float dy = std::max({0.f, 5.f - float(y), float(y) - float(H - 6)});
        return dx * dx + dy * dy <= 25.f;
    };
    Indexed out(W, H, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (inked(x, y)) {
                const float t = float(y - top) / float(GLYPH_ROWS * CELL_H - 1);
                out.at(x, y) = title_byte(chrome_index(t));
                continue;
            }
            // A black outline two pixels round the letters.
            bool edge = false;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) edge |= std::abs(dx) + std::abs(dy) <= 3 && inked(x + dx, y + dy);
            if (edge) out.at(x, y) = title_byte(200);
            else if (plate(x, y)) out.at(x, y) = title_byte(101);
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
