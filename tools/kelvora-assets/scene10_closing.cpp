// Scene 10: the closing picture (apfrm) and the three sprites keyed by 149 (uppera,
// lowera, dotp). The palette's upper half 149..255 dims while the lower half stays,
// so the backdrop is drawn in the upper half and the lettering and the sprites in
// the lower half: the backdrop fades away around them.
#include <cmath>

#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

Indexed draw_apfrm() {
    const int W = 320, H = 200;
    Indexed out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float dx = (x - 160.f) / 200.f, dy = (y - 90.f) / 140.f;
            float r = std::sqrt(dx * dx + dy * dy);
            float n = fbm(x / 50.f, y / 50.f, 81, 4);
            float t = 0.55f - 0.5f * r + 0.15f * (n - 0.5f);
            uint8_t v = ramp_index(t, 149, 255, x, y);
            if (hash2(x, y, 83) > 0.996f) v = 250;  // stars
            out.at(x, y) = v;
        }
    // Lettering in the lower half: it stays when the backdrop dims.
    Canvas c(W, H);
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    text_path_centred(c.cr, "thank you for watching", "DejaVu Serif Italic", 15, 160, 16);
    cairo_fill(c.cr);
    Plane a = c.alpha();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (a.at(x, y) > 0.4f) out.at(x, y) = ramp_index(a.at(x, y), 90, 148, x, y, false);
    return out;
}

Indexed glyph(int w, int h, const std::string& text, const char* font) {
    TextStyle st;
    st.font = font;
    st.edge_width = 3;
    st.edge_index = 44;
    return text_sprite(w, h, text, st, 149,
                       [h](int x, int y, float) { return ramp_index(1.f - float(y) / float(h) * 0.6f, 90, 148, x, y); }, 1);
}

}  // namespace

void register_scene10() {
    auto& r = registry();
    r.push_back({"apfrm", 320, 200, -1, &scene10_palette, draw_apfrm});
    r.push_back({"dotp", 47, 65, 149, &scene10_palette, [] { return glyph(47, 65, "p.", "DejaVu Serif Bold"); }});
    r.push_back({"lowera", 37, 35, 149, &scene10_palette, [] { return glyph(37, 35, "a", "DejaVu Serif Bold"); }});
    r.push_back({"uppera", 52, 31, 149, &scene10_palette, [] { return glyph(52, 31, "A", "DejaVu Serif Bold"); }});
}

}  // namespace art
