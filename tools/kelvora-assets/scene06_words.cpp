// Scene 6: the title (se_cont) and the five word lines of the stack, which read
// top to bottom "SOMETHING / IS MOVING / BEHIND / THE COLD / LIGHT".
//
// The word lines (320 x 11, key 0) are averaged onto the teal background 151 when
// fresh and later only their shape is smudged into it, so they are set in a blocky
// face of our own, wide: 4-pixel stems and 2-pixel bars and counters that a 3 x 3
// blur does not close. Their bytes land on the palette's whites, over the
// background and over the cloud alike, above a black drop shadow.
//
// The title is added onto 151 with wrap-around: a byte 105 + r lands on index r,
// so its chrome face uses r = 1 (white) .. 62 and its outline r = 200 (black).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

// ---------------------------------------------------------------- word lines

constexpr int CELL_W = 4, CELL_H = 2;  // one glyph cell in pixels
constexpr int GLYPH_ROWS = 5;
constexpr int GAP = 4;                 // pixels between letters
constexpr int SPACE = 12;              // a word space's width
constexpr uint8_t WORD_SHADOW = 255;   // averaged with 151: 203, black

// The face on a 5-row grid, one string per row, '#' filled; letters are 5 cells
// wide but for I.
struct Glyph {
    char c;
    const char* rows[GLYPH_ROWS];
};

constexpr Glyph glyphs[] = {
    {'B', {"####.", "#...#", "####.", "#...#", "####."}},
    {'C', {".####", "#....", "#....", "#....", ".####"}},
    {'D', {"####.", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "####.", "#....", "#####"}},
    {'G', {".####", "#....", "#..##", "#...#", ".###."}},
    {'H', {"#...#", "#...#", "#####", "#...#", "#...#"}},
    {'I', {"#", "#", "#", "#", "#"}},
    {'L', {"#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", ".###."}},
    {'S', {".####", "#....", ".###.", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#.."}},
    {'V', {"#...#", "#...#", "#...#", ".#.#.", "..#.."}},
};

const Glyph& glyph_of(char c) {
    for (const Glyph& g : glyphs)
        if (g.c == c) return g;
    fprintf(stderr, "kelvora-assets: scene 6 face has no '%c'\n", c);
    exit(1);
}

int glyph_width(char c) { return c == ' ' ? SPACE : int(strlen(glyph_of(c).rows[0])) * CELL_W; }

// Bytes 1..8, top to foot: averaged with the background 151 they land on 76..79,
// with the cloud's core 190 on 95..99, both white.
uint8_t face_byte(int row) { return uint8_t(1 + row * 7 / (GLYPH_ROWS * CELL_H - 1)); }

Indexed word_line(const std::string& text) {
    Indexed out(320, 11, 0);
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) width += glyph_width(text[i]) + (i + 1 < text.size() ? GAP : 0);
    int x0 = (out.w - width) / 2;
    // The letters, then their shadow one pixel down and right wherever no letter is.
    std::vector<bool> ink(size_t(out.w) * out.h, false);
    for (char c : text) {
        if (c != ' ') {
            const Glyph& g = glyph_of(c);
            for (int gy = 0; gy < GLYPH_ROWS; ++gy)
                for (int gx = 0; g.rows[gy][gx]; ++gx)
                    if (g.rows[gy][gx] == '#')
                        for (int py = 0; py < CELL_H; ++py)
                            for (int px = 0; px < CELL_W; ++px) {
                                const int x = x0 + gx * CELL_W + px, y = gy * CELL_H + py;
                                ink[size_t(y) * out.w + x] = true;
                                out.at(x, y) = face_byte(y);
                            }
        }
        x0 += glyph_width(c) + GAP;
    }
    for (int y = 1; y < out.h; ++y)
        for (int x = 1; x < out.w; ++x)
            if (ink[size_t(y - 1) * out.w + x - 1] && !ink[size_t(y) * out.w + x]) out.at(x, y) = WORD_SHADOW;
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
    const char* font = "DejaVu Sans Bold";
    const std::string text = "SECOND CONTACT";
    const double spacing = 1.0, outline = 2.0;
    Canvas face(W, H), edge(W, H);
    const double px = fit_text(face.cr, text, font, W - 2 - outline, H - 2 - outline, spacing);
    const TextBox box = text_extents(face.cr, text, font, px, spacing);
    for (cairo_t* cr : {face.cr, edge.cr}) text_path_centred(cr, text, font, px, W / 2.0, H / 2.0, spacing);
    cairo_set_source_rgb(face.cr, 1, 1, 1);
    cairo_fill(face.cr);
    cairo_set_source_rgb(edge.cr, 1, 1, 1);
    cairo_set_line_width(edge.cr, outline * 2);
    cairo_set_line_join(edge.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(edge.cr);
    cairo_fill(edge.cr);
    const Plane f = face.alpha(), e = edge.alpha();
    const double top = H / 2.0 - box.h / 2;
    Indexed out(W, H, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (f.at(x, y) > 0.5f) {
                const float t = clamp01(float((y + 0.5 - top) / box.h));
                out.at(x, y) = title_byte(chrome_index(t));
            } else if (e.at(x, y) > 0.5f) {
                out.at(x, y) = title_byte(200);
            }
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
