// Vector people for the small portrait pictures: a head-and-shoulders portrait, girl
// or boy, painted with Cairo in whatever colours the caller's palette offers.
#include <cmath>

#include "art.h"

namespace art {
namespace {

void linear(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb a, Rgb b) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, a.r / 63, a.g / 63, a.b / 63);
    cairo_pattern_add_color_stop_rgb(p, 1, b.r / 63, b.g / 63, b.b / 63);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void radial(cairo_t* cr, double cx, double cy, double r0, double r1, Rgb a, Rgb b) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, r0, cx, cy, r1);
    cairo_pattern_add_color_stop_rgb(p, 0, a.r / 63, a.g / 63, a.b / 63);
    cairo_pattern_add_color_stop_rgb(p, 1, b.r / 63, b.g / 63, b.b / 63);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

// An ellipse path centred at (x, y).
void ellipse(cairo_t* cr, double x, double y, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

// The face outline: broad brow, soft cheeks, narrower chin. Unit: face height s,
// centred at (cx, cy) (cy is the eye line roughly).
void face_path(cairo_t* cr, double cx, double cy, double s, bool girl) {
    double w = s * (girl ? 0.36 : 0.385);
    double top = cy - s * 0.52, chin = cy + s * 0.50;
    double jaw = girl ? 0.62 : 0.72;
    cairo_move_to(cr, cx, top);
    cairo_curve_to(cr, cx + w * 1.05, top, cx + w * 1.08, cy - s * 0.1, cx + w, cy + s * 0.08);
    cairo_curve_to(cr, cx + w * 0.95, cy + s * 0.3, cx + w * jaw, chin - s * 0.06, cx, chin);
    cairo_curve_to(cr, cx - w * jaw, chin - s * 0.06, cx - w * 0.95, cy + s * 0.3, cx - w, cy + s * 0.08);
    cairo_curve_to(cr, cx - w * 1.08, cy - s * 0.1, cx - w * 1.05, top, cx, top);
    cairo_close_path(cr);
}

void eye(cairo_t* cr, double x, double y, double s, const PortraitColours& c, bool girl, bool left) {
    double ew = s * 0.105, eh = s * 0.05;
    // Almond: white of the eye.
    cairo_move_to(cr, x - ew, y);
    cairo_curve_to(cr, x - ew * 0.5, y - eh * 1.5, x + ew * 0.5, y - eh * 1.5, x + ew, y);
    cairo_curve_to(cr, x + ew * 0.5, y + eh * 1.1, x - ew * 0.5, y + eh * 1.1, x - ew, y);
    cairo_close_path(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    set_rgb(cr, mix(c.skin_light, {63, 63, 63}, 0.8f));
    cairo_fill(cr);
    // Iris, pupil, light.
    double ir = eh * 1.15;
    radial(cr, x, y - eh * 0.1, ir * 0.2, ir, mix(c.eye, {63, 63, 63}, 0.25f), mix(c.eye, {0, 0, 0}, 0.5f));
    ellipse(cr, x, y - eh * 0.1, ir, ir);
    cairo_fill(cr);
    set_rgb(cr, {1, 1, 1});
    ellipse(cr, x, y - eh * 0.1, ir * 0.45, ir * 0.45);
    cairo_fill(cr);
    cairo_restore(cr);
    set_rgb(cr, {63, 63, 63});
    ellipse(cr, x + ir * 0.35, y - eh * 0.45, ir * 0.22, ir * 0.22);
    cairo_fill(cr);
    // Upper lid line, heavier for the girl, with a flick at the outer corner.
    set_rgb(cr, mix(c.hair_dark, {0, 0, 0}, 0.5f));
    cairo_set_line_width(cr, s * (girl ? 0.022 : 0.014));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x - ew * 1.02, y + eh * 0.05);
    cairo_curve_to(cr, x - ew * 0.5, y - eh * 1.55, x + ew * 0.5, y - eh * 1.55, x + ew * 1.02, y);
    cairo_stroke(cr);
    if (girl) {
        // A flick at the outer corner.
        double ox = left ? x - ew * 1.02 : x + ew * 1.02, dir = left ? -1 : 1;
        cairo_move_to(cr, ox, y);
        cairo_line_to(cr, ox + dir * ew * 0.3, y - eh * 0.7);
        cairo_stroke(cr);
    }
    // Brow.
    double by = y - s * (girl ? 0.105 : 0.095);
    cairo_set_line_width(cr, s * (girl ? 0.018 : 0.032));
    set_rgb(cr, c.hair_dark);
    cairo_move_to(cr, x - ew * 1.1, by + eh * 0.6);
    cairo_curve_to(cr, x - ew * 0.4, by - eh * 0.9, x + ew * 0.5, by - eh * 0.9, x + ew * 1.15, by + eh * 0.2);
    cairo_stroke(cr);
}

// Head with hair and features; s is the face height.
void head(cairo_t* cr, Person who, double cx, double cy, double s, const PortraitColours& c) {
    const bool girl = who == Person::girl;
    // Hair behind the head (long for the girl).
    if (girl) {
        linear(cr, cx, cy - s * 0.7, cx, cy + s * 1.3, c.hair_light, c.hair_dark);
        cairo_move_to(cr, cx, cy - s * 0.72);
        cairo_curve_to(cr, cx + s * 0.62, cy - s * 0.72, cx + s * 0.6, cy + s * 0.1, cx + s * 0.66, cy + s * 1.15);
        cairo_line_to(cr, cx - s * 0.66, cy + s * 1.15);
        cairo_curve_to(cr, cx - s * 0.6, cy + s * 0.1, cx - s * 0.62, cy - s * 0.72, cx, cy - s * 0.72);
        cairo_fill(cr);
    }
    // Neck.
    linear(cr, cx, cy + s * 0.3, cx, cy + s * 0.85, c.skin_dark, mix(c.skin_dark, c.skin_light, 0.4f));
    cairo_rectangle(cr, cx - s * 0.15, cy + s * 0.3, s * 0.3, s * 0.55);
    cairo_fill(cr);
    // Ears (hidden under the girl's hair).
    if (!girl) {
        set_rgb(cr, mix(c.skin_dark, c.skin_light, 0.5f));
        ellipse(cr, cx - s * 0.385, cy + s * 0.02, s * 0.06, s * 0.11);
        ellipse(cr, cx + s * 0.385, cy + s * 0.02, s * 0.06, s * 0.11);
        cairo_fill(cr);
    }
    // Face, lit from the upper left.
    face_path(cr, cx, cy, s, girl);
    radial(cr, cx - s * 0.12, cy - s * 0.12, s * 0.05, s * 0.62, c.skin_light, c.skin_dark);
    cairo_fill(cr);
    // Jaw shadow on the right side.
    cairo_save(cr);
    face_path(cr, cx, cy, s, girl);
    cairo_clip(cr);
    cairo_pattern_t* sh = cairo_pattern_create_linear(cx + s * 0.05, cy, cx + s * 0.42, cy);
    cairo_pattern_add_color_stop_rgba(sh, 0, c.skin_dark.r / 63, c.skin_dark.g / 63, c.skin_dark.b / 63, 0);
    cairo_pattern_add_color_stop_rgba(sh, 1, c.skin_dark.r / 63, c.skin_dark.g / 63, c.skin_dark.b / 63, 0.8);
    cairo_set_source(cr, sh);
    cairo_paint(cr);
    cairo_pattern_destroy(sh);
    cairo_restore(cr);

    eye(cr, cx - s * 0.17, cy, s, c, girl, true);
    eye(cr, cx + s * 0.17, cy, s, c, girl, false);

    // Nose: a shadow down the right side and the nostrils.
    set_rgb(cr, c.skin_dark, 0.9);
    cairo_set_line_width(cr, s * 0.018);
    cairo_move_to(cr, cx + s * 0.02, cy + s * 0.02);
    cairo_curve_to(cr, cx + s * 0.05, cy + s * 0.12, cx + s * 0.07, cy + s * 0.16, cx + s * 0.05, cy + s * 0.2);
    cairo_stroke(cr);
    ellipse(cr, cx - s * 0.035, cy + s * 0.205, s * 0.022, s * 0.012);
    ellipse(cr, cx + s * 0.04, cy + s * 0.205, s * 0.022, s * 0.012);
    cairo_fill(cr);

    // Mouth.
    double my = cy + s * 0.31, mw = s * (girl ? 0.12 : 0.11);
    if (girl) {
        linear(cr, cx, my - s * 0.04, cx, my + s * 0.05, mix(c.lips, {63, 63, 63}, 0.15f), mix(c.lips, {0, 0, 0}, 0.3f));
        cairo_move_to(cr, cx - mw, my);
        cairo_curve_to(cr, cx - mw * 0.5, my - s * 0.045, cx - mw * 0.15, my - s * 0.03, cx, my - s * 0.02);
        cairo_curve_to(cr, cx + mw * 0.15, my - s * 0.03, cx + mw * 0.5, my - s * 0.045, cx + mw, my);
        cairo_curve_to(cr, cx + mw * 0.5, my + s * 0.065, cx - mw * 0.5, my + s * 0.065, cx - mw, my);
        cairo_fill(cr);
        set_rgb(cr, mix(c.lips, {0, 0, 0}, 0.6f));
        cairo_set_line_width(cr, s * 0.01);
        cairo_move_to(cr, cx - mw, my);
        cairo_curve_to(cr, cx - mw * 0.3, my + s * 0.012, cx + mw * 0.3, my + s * 0.012, cx + mw, my);
        cairo_stroke(cr);
    } else {
        set_rgb(cr, mix(c.lips, {0, 0, 0}, 0.45f));
        cairo_set_line_width(cr, s * 0.018);
        cairo_move_to(cr, cx - mw, my - s * 0.005);
        cairo_curve_to(cr, cx - mw * 0.3, my + s * 0.02, cx + mw * 0.3, my + s * 0.02, cx + mw, my - s * 0.01);
        cairo_stroke(cr);
        set_rgb(cr, c.skin_dark, 0.6);
        ellipse(cr, cx, my + s * 0.06, mw * 0.55, s * 0.018);
        cairo_fill(cr);
    }

    // Hair in front.
    linear(cr, cx - s * 0.4, cy - s * 0.7, cx + s * 0.4, cy - s * 0.1, c.hair_light, c.hair_dark);
    if (girl) {
        // Side-parted fringe sweeping to the right, hair falling over both temples.
        cairo_move_to(cr, cx - s * 0.1, cy - s * 0.72);
        cairo_curve_to(cr, cx + s * 0.45, cy - s * 0.75, cx + s * 0.52, cy - s * 0.3, cx + s * 0.46, cy + s * 0.25);
        cairo_curve_to(cr, cx + s * 0.4, cy - s * 0.05, cx + s * 0.33, cy - s * 0.25, cx + s * 0.12, cy - s * 0.3);
        cairo_curve_to(cr, cx - s * 0.05, cy - s * 0.33, cx - s * 0.22, cy - s * 0.28, cx - s * 0.33, cy - s * 0.18);
        cairo_curve_to(cr, cx - s * 0.38, cy - s * 0.05, cx - s * 0.4, cy + s * 0.15, cx - s * 0.44, cy + s * 0.3);
        cairo_curve_to(cr, cx - s * 0.52, cy - s * 0.2, cx - s * 0.45, cy - s * 0.7, cx - s * 0.1, cy - s * 0.72);
        cairo_fill(cr);
        // A highlight band across the crown.
        set_rgb(cr, mix(c.hair_light, {63, 63, 63}, 0.35f), 0.8);
        cairo_set_line_width(cr, s * 0.035);
        cairo_move_to(cr, cx - s * 0.3, cy - s * 0.55);
        cairo_curve_to(cr, cx - s * 0.1, cy - s * 0.66, cx + s * 0.15, cy - s * 0.65, cx + s * 0.33, cy - s * 0.5);
        cairo_stroke(cr);
    } else {
        // Short crop with a few spikes on top.
        cairo_move_to(cr, cx - s * 0.42, cy - s * 0.08);
        cairo_curve_to(cr, cx - s * 0.46, cy - s * 0.5, cx - s * 0.3, cy - s * 0.66, cx - s * 0.2, cy - s * 0.68);
        const double spikes[][2] = {{-0.16, -0.8}, {-0.08, -0.7}, {0.0, -0.84}, {0.08, -0.71},
                                    {0.17, -0.82}, {0.24, -0.68}, {0.34, -0.74}};
        for (auto& sp : spikes) cairo_line_to(cr, cx + s * sp[0], cy + s * sp[1]);
        cairo_curve_to(cr, cx + s * 0.42, cy - s * 0.6, cx + s * 0.47, cy - s * 0.4, cx + s * 0.42, cy - s * 0.08);
        cairo_curve_to(cr, cx + s * 0.38, cy - s * 0.3, cx + s * 0.3, cy - s * 0.36, cx + s * 0.1, cy - s * 0.4);
        cairo_curve_to(cr, cx - s * 0.1, cy - s * 0.44, cx - s * 0.35, cy - s * 0.38, cx - s * 0.42, cy - s * 0.08);
        cairo_fill(cr);
    }
}

}  // namespace

void paint_portrait(cairo_t* cr, Person who, double cx, double cy, double fh, const PortraitColours& c,
                    bool paint_background, int w, int h) {
    if (paint_background) {
        linear(cr, 0, 0, 0, h, c.background_top, c.background_bottom);
        cairo_rectangle(cr, 0, 0, w, h);
        cairo_fill(cr);
    }
    // Shoulders and clothing.
    double sy = cy + fh * 0.78;
    linear(cr, cx - fh, sy, cx + fh, sy + fh, c.cloth_light, c.cloth_dark);
    cairo_move_to(cr, cx - fh * 1.15, h + 2);
    cairo_curve_to(cr, cx - fh * 1.1, sy + fh * 0.15, cx - fh * 0.7, sy, cx - fh * 0.25, sy - fh * 0.02);
    cairo_line_to(cr, cx + fh * 0.25, sy - fh * 0.02);
    cairo_curve_to(cr, cx + fh * 0.7, sy, cx + fh * 1.1, sy + fh * 0.15, cx + fh * 1.15, h + 2);
    cairo_close_path(cr);
    cairo_fill(cr);
    head(cr, who, cx, cy, fh, c);
    // Neckline over the neck: a V for the girl, a crew collar for the boy.
    set_rgb(cr, c.cloth_dark);
    if (who == Person::girl) {
        cairo_move_to(cr, cx - fh * 0.26, sy - fh * 0.02);
        cairo_line_to(cr, cx, sy + fh * 0.3);
        cairo_line_to(cr, cx + fh * 0.26, sy - fh * 0.02);
        cairo_line_to(cr, cx + fh * 0.34, sy + fh * 0.02);
        cairo_line_to(cr, cx, sy + fh * 0.4);
        cairo_line_to(cr, cx - fh * 0.34, sy + fh * 0.02);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else {
        cairo_set_line_width(cr, fh * 0.06);
        cairo_move_to(cr, cx - fh * 0.24, sy - fh * 0.01);
        cairo_curve_to(cr, cx - fh * 0.15, sy + fh * 0.12, cx + fh * 0.15, sy + fh * 0.12, cx + fh * 0.24, sy - fh * 0.01);
        cairo_stroke(cr);
    }
}

}  // namespace art
