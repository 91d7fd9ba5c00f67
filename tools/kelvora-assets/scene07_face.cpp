// Scene 7: the face at the top of the shaded tube (face: key 0, light on the
// cyan-to-white ramp 121..191, shadow on the dark cyans 62..120) and the banner of
// added amounts (pay_att: each byte is added to the picture, capped at 191).
#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

Indexed draw_face() {
    const int W = 115, H = 73;
    Canvas c(W, H);
    PortraitColours pc;
    pc.skin_light = {62, 62, 62};
    pc.skin_dark = {24, 24, 24};
    pc.hair_light = {20, 20, 20};
    pc.hair_dark = {2, 2, 2};
    pc.cloth_light = {36, 36, 36};
    pc.cloth_dark = {8, 8, 8};
    pc.eye = {10, 10, 10};
    pc.lips = {26, 26, 26};
    paint_portrait(c.cr, Person::girl, W / 2.0, 34, 50, pc, false, W, H);
    Plane lum = c.grey(), a = c.alpha();
    Indexed out(W, H, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (a.at(x, y) < 0.5f) continue;
            float l = lum.at(x, y);
            out.at(x, y) = l > 0.3f ? ramp_index((l - 0.3f) / 0.7f, 121, 191, x, y)
                                    : ramp_index(l / 0.3f, 62, 120, x, y);
        }
    return out;
}

Indexed draw_pay_att() {
    TextStyle st;
    st.font = "DejaVu Sans Bold";
    st.letter_spacing = 3;
    st.edge_width = 3;
    st.edge_index = 24;
    return text_sprite(238, 27, "PAY ATTENTION", st, 0,
                       [](int x, int y, float) { return ramp_index(1.f - float(y) / 27.f, 50, 90, x, y); });
}

}  // namespace

void register_scene07() {
    auto& r = registry();
    r.push_back({"face", 115, 73, 0, &scene7_palette, draw_face});
    r.push_back({"pay_att", 238, 27, 0, &scene7_palette, draw_pay_att});
}

}  // namespace art
