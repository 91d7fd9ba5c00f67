// Typeset sprites shared by the caption pictures.
#include "art.h"

namespace art {

Indexed text_sprite(int w, int h, const std::string& text, const TextStyle& style, int key,
                    const std::function<uint8_t(int, int, float)>& face, double margin) {
    Canvas fc(w, h), ec(w, h);
    double inner = margin + style.edge_width / 2;
    double px = fit_text(fc.cr, text, style.font, w - 2 * inner, h - 2 * inner, style.letter_spacing);
    for (cairo_t* cr : {fc.cr, ec.cr}) text_path_centred(cr, text, style.font, px, w / 2.0, h / 2.0, style.letter_spacing);
    cairo_set_source_rgb(fc.cr, 1, 1, 1);
    cairo_fill(fc.cr);
    if (style.edge_width > 0) {
        cairo_set_source_rgb(ec.cr, 1, 1, 1);
        cairo_set_line_width(ec.cr, style.edge_width);
        cairo_set_line_join(ec.cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(ec.cr);
        cairo_fill(ec.cr);
    }
    Plane f = fc.alpha(), e = ec.alpha();
    Indexed out(w, h, uint8_t(key));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (f.at(x, y) > style.face_threshold) out.at(x, y) = face(x, y, f.at(x, y));
            else if (style.edge_width > 0 && e.at(x, y) > style.edge_threshold) out.at(x, y) = uint8_t(style.edge_index);
        }
    return out;
}

}  // namespace art
