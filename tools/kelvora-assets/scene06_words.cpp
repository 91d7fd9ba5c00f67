// Scene 6: the five word lines (blasm, fudge, hype, prone, purple: 320 x 11, key 0,
// averaged onto the teal background 151 and later smudged, so their letters are the
// whitest indices) and the title (se_cont) that is added onto 151 with wrap-around:
// a byte 105 + r lands on index r, so the letters use r = 1 (white) .. 60.
#include "art.h"
#include "scenes/palettes.h"

namespace art {
namespace {

Indexed word_line(const std::string& word) {
    TextStyle st;
    st.font = "DejaVu Sans Bold";
    st.letter_spacing = 9;
    st.face_threshold = 0.4f;
    return text_sprite(320, 11, word, st, 0, [](int x, int y, float) { return ramp_index(float(y) / 11.f * 0.4f, 1, 20, x, y); }, 0.5);
}

Indexed draw_se_cont() {
    TextStyle st;
    st.font = "DejaVu Serif Bold";
    st.letter_spacing = 1;
    st.edge_width = 2.5;
    st.edge_index = 105 + 110;  // a darker rim: index 110 after the wrap
    return text_sprite(199, 29, "SECOND CONTACT", st, 0,
                       [](int x, int y, float) { return uint8_t(105 + ramp_index(float(y) / 29.f, 1, 60, x, y)); });
}

}  // namespace

void register_scene06() {
    auto& r = registry();
    r.push_back({"blasm", 320, 11, 0, &scene6_palette, [] { return word_line("BLASM"); }});
    r.push_back({"fudge", 320, 11, 0, &scene6_palette, [] { return word_line("FUDGE"); }});
    r.push_back({"hype", 320, 11, 0, &scene6_palette, [] { return word_line("HYPE"); }});
    r.push_back({"prone", 320, 11, 0, &scene6_palette, [] { return word_line("PRONE"); }});
    r.push_back({"purple", 320, 11, 0, &scene6_palette, [] { return word_line("PURPLE"); }});
    r.push_back({"se_cont", 199, 29, 0, &scene6_palette, draw_se_cont});
}

}  // namespace art
