// The drawing kit: canvases, text, noise, quantiser.
#include "art.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstring>

namespace art {

float Plane::sample(float x, float y) const {
    x = std::clamp(x, 0.f, float(w - 1));
    y = std::clamp(y, 0.f, float(h - 1));
    int x0 = int(x), y0 = int(y);
    int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
    float fx = x - x0, fy = y - y0;
    return lerp(lerp(at(x0, y0), at(x1, y0), fx), lerp(at(x0, y1), at(x1, y1), fx), fy);
}

// ---------------------------------------------------------------- Cairo

Canvas::Canvas(int w_, int h_) : w(w_), h(h_) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, fo);
    cairo_font_options_destroy(fo);
}

Canvas::~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

// Calls f(x, y, pixel) for every premultiplied ARGB32 pixel of the flushed surface.
template <class F>
static void each_argb(cairo_surface_t* surface, int w, int h, F&& f) {
    cairo_surface_flush(surface);
    const uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t px;
            memcpy(&px, data + y * stride + x * 4, 4);
            f(x, y, px);
        }
}

Plane Canvas::alpha() const {
    Plane p(w, h);
    each_argb(surface, w, h, [&](int x, int y, uint32_t px) { p.at(x, y) = float(px >> 24) / 255.f; });
    return p;
}

RgbImage Canvas::colour() const {
    RgbImage img(w, h);
    each_argb(surface, w, h, [&](int x, int y, uint32_t px) {
        const float a = float(px >> 24);
        Rgb c;
        if (a > 0) {  // undo the premultiplication, onto the 6-bit scale
            c.r = float((px >> 16) & 255) / a * 63.f;
            c.g = float((px >> 8) & 255) / a * 63.f;
            c.b = float(px & 255) / a * 63.f;
        }
        img.at(x, y) = c;
    });
    return img;
}

Plane Canvas::grey() const {
    Plane p(w, h);
    each_argb(surface, w, h, [&](int x, int y, uint32_t px) { p.at(x, y) = float((px >> 16) & 255) / 255.f; });
    return p;
}

namespace {

PangoLayout* make_layout(cairo_t* cr, const std::string& text, const char* family, double px,
                         double letter_spacing) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoContext* ctx = pango_layout_get_context(layout);
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(ctx, fo);
    pango_cairo_context_set_resolution(ctx, 72.0);
    cairo_font_options_destroy(fo);
    pango_layout_context_changed(layout);

    PangoFontDescription* desc = pango_font_description_from_string(family);
    pango_font_description_set_absolute_size(desc, px * PANGO_SCALE);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    if (letter_spacing != 0) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_letter_spacing_new(int(letter_spacing * PANGO_SCALE)));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    pango_layout_set_text(layout, text.c_str(), -1);
    return layout;
}

}  // namespace

TextBox text_extents(cairo_t* cr, const std::string& text, const char* family, double px,
                     double letter_spacing) {
    PangoLayout* layout = make_layout(cr, text, family, px, letter_spacing);
    PangoRectangle ink, logical;
    pango_layout_get_extents(layout, &ink, &logical);
    g_object_unref(layout);
    return {double(ink.x) / PANGO_SCALE, double(ink.y) / PANGO_SCALE, double(ink.width) / PANGO_SCALE,
            double(ink.height) / PANGO_SCALE};
}

void text_path(cairo_t* cr, const std::string& text, const char* family, double px, double x,
               double y, double letter_spacing) {
    PangoLayout* layout = make_layout(cr, text, family, px, letter_spacing);
    PangoRectangle ink, logical;
    pango_layout_get_extents(layout, &ink, &logical);
    cairo_move_to(cr, x - double(ink.x) / PANGO_SCALE, y - double(ink.y) / PANGO_SCALE);
    pango_cairo_layout_path(cr, layout);
    g_object_unref(layout);
}

void text_path_centred(cairo_t* cr, const std::string& text, const char* family, double px,
                       double cx, double cy, double letter_spacing) {
    TextBox b = text_extents(cr, text, family, px, letter_spacing);
    text_path(cr, text, family, px, cx - b.w / 2, cy - b.h / 2, letter_spacing);
}

void ink_thickened(cairo_t* cr, double width, cairo_line_join_t join) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, join);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
}

double fit_text(cairo_t* cr, const std::string& text, const char* family, double w, double h,
                double letter_spacing) {
    TextBox b = text_extents(cr, text, family, 100.0, letter_spacing);
    double s = std::min(w / b.w, h / b.h) * 100.0;
    // Letter spacing does not scale with the size: settle by a few refinements.
    for (int i = 0; i < 4; ++i) {
        TextBox c = text_extents(cr, text, family, s, letter_spacing);
        s *= std::min(w / c.w, h / c.h);
    }
    return std::floor(s * 4.0) / 4.0;
}

// ---------------------------------------------------------------- noise

float hash2(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return float(h & 0xFFFFFF) / 16777215.f;
}

float value_noise(float x, float y, uint32_t seed, int px, int py) {
    float fx = std::floor(x), fy = std::floor(y);
    int x0 = int(fx), y0 = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    auto wrap = [](int v, int p) { return p > 0 ? ((v % p) + p) % p : v; };
    int xa = wrap(x0, px), xb = wrap(x0 + 1, px), ya = wrap(y0, py), yb = wrap(y0 + 1, py);
    float a = hash2(xa, ya, seed), b = hash2(xb, ya, seed);
    float c = hash2(xa, yb, seed), d = hash2(xb, yb, seed);
    return lerp(lerp(a, b, tx), lerp(c, d, tx), ty);
}

float fbm(float x, float y, uint32_t seed, int octaves, int px, int py) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * value_noise(x, y, seed + uint32_t(o) * 101u, px, py);
        norm += amp;
        x *= 2;
        y *= 2;
        px *= 2;
        py *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

float turbulence(float x, float y, uint32_t seed, int octaves, int px, int py) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * std::fabs(value_noise(x, y, seed + uint32_t(o) * 131u, px, py) - 0.5f) * 2.f;
        norm += amp;
        x *= 2;
        y *= 2;
        px *= 2;
        py *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

// ---------------------------------------------------------------- quantising

float bayer4(int x, int y) {
    static const int m[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
    return (float(m[(y & 3) * 4 + (x & 3)]) + 0.5f) / 16.f - 0.5f;
}

uint8_t ramp_index(float t, int first, int last, int x, int y, bool dither) {
    t = clamp01(t);
    float f = float(first) + t * float(last - first);
    if (dither) f += bayer4(x, y) * (last > first ? 1.f : -1.f);
    int i = int(std::floor(f + 0.5f));
    int lo = std::min(first, last), hi = std::max(first, last);
    return uint8_t(std::clamp(i, lo, hi));
}

ColourSet::ColourSet(const Palette& p, std::initializer_list<std::pair<int, int>> ranges) {
    for (auto [a, b] : ranges)
        for (int i = a; i <= b; ++i) {
            index.push_back(i);
            rgb.push_back(palette_rgb(p, i));
        }
}

int ColourSet::nearest(Rgb c) const {
    int best = index.empty() ? 0 : index[0];
    float bd = 1e30f;
    for (size_t k = 0; k < index.size(); ++k) {
        float dr = c.r - rgb[k].r, dg = c.g - rgb[k].g, db = c.b - rgb[k].b;
        float d = 0.30f * dr * dr + 0.50f * dg * dg + 0.20f * db * db;
        if (d < bd) {
            bd = d;
            best = index[k];
        }
    }
    return best;
}

Indexed quantise(const RgbImage& img, const ColourSet& set, float diffusion, const Plane* mask,
                 uint8_t key) {
    Indexed out(img.w, img.h, key);
    std::vector<Rgb> work = img.v;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            if (mask && mask->at(x, y) < 0.5f) continue;
            Rgb c = work[size_t(y) * img.w + x];
            int i = set.nearest(c);
            out.at(x, y) = uint8_t(i);
            if (diffusion <= 0) continue;
            size_t k = 0;
            while (set.index[k] != i) ++k;
            Rgb e{(c.r - set.rgb[k].r) * diffusion, (c.g - set.rgb[k].g) * diffusion,
                  (c.b - set.rgb[k].b) * diffusion};
            auto spread = [&](int dx, int dy, float wgt) {
                int nx = x + dx, ny = y + dy;
                if (nx < 0 || nx >= img.w || ny >= img.h) return;
                Rgb& t = work[size_t(ny) * img.w + nx];
                t.r += e.r * wgt;
                t.g += e.g * wgt;
                t.b += e.b * wgt;
            };
            spread(1, 0, 7.f / 16);
            spread(-1, 1, 3.f / 16);
            spread(0, 1, 5.f / 16);
            spread(1, 1, 1.f / 16);
        }
    return out;
}

std::vector<AssetSpec>& registry() {
    static std::vector<AssetSpec> r;
    return r;
}

}  // namespace art
