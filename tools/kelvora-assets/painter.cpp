// Supersampled painting: shapes, masks, the relief shader, cast shadows, and the
// quantiser by region.
#include "painter.h"

#include <algorithm>
#include <cmath>

#include "sdf.h"

namespace art::painter {

void blob(cairo_t* cr, const std::vector<P2>& p) {
    const size_t n = p.size();
    cairo_move_to(cr, p[0].x, p[0].y);
    for (size_t i = 0; i < n; ++i) {
        const P2 a = p[(i + n - 1) % n], b = p[i], c = p[(i + 1) % n], d = p[(i + 2) % n];
        cairo_curve_to(cr, b.x + (c.x - a.x) / 6, b.y + (c.y - a.y) / 6, c.x - (d.x - b.x) / 6,
                       c.y - (d.y - b.y) / 6, c.x, c.y);
    }
    cairo_close_path(cr);
}

void curve(cairo_t* cr, const std::vector<P2>& p) {
    const size_t n = p.size();
    cairo_move_to(cr, p[0].x, p[0].y);
    for (size_t i = 0; i + 1 < n; ++i) {
        const P2 a = p[i == 0 ? 0 : i - 1], b = p[i], c = p[i + 1], d = p[i + 2 < n ? i + 2 : n - 1];
        cairo_curve_to(cr, b.x + (c.x - a.x) / 6, b.y + (c.y - a.y) / 6, c.x - (d.x - b.x) / 6,
                       c.y - (d.y - b.y) / 6, c.x, c.y);
    }
}

void oval(cairo_t* cr, double x, double y, double rx, double ry, double angle) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void limb(cairo_t* cr, P2 a, double r0, P2 b, double r1) {
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    const double ang = std::atan2(dy, dx), off = std::asin(std::clamp((r0 - r1) / len, -1.0, 1.0));
    cairo_new_sub_path(cr);
    cairo_arc(cr, b.x, b.y, r1, ang - M_PI / 2 + off, ang + M_PI / 2 - off);
    cairo_arc(cr, a.x, a.y, r0, ang + M_PI / 2 - off, ang + 3 * M_PI / 2 + off);
    cairo_close_path(cr);
}

Plane blur(const Plane& in, int r) {
    if (r < 1) return in;
    Plane a = in, b(in.w, in.h);
    const float norm = 1.f / float(2 * r + 1);
    for (int pass = 0; pass < 3; ++pass) {
        // Running sums, the edges repeated outwards.
        for (int y = 0; y < a.h; ++y) {
            float sum = 0;
            for (int x = -r - 1; x < r; ++x) sum += a.at(std::clamp(x, 0, a.w - 1), y);
            for (int x = 0; x < a.w; ++x) {
                sum += a.at(std::min(x + r, a.w - 1), y) - a.at(std::max(x - r - 1, 0), y);
                b.at(x, y) = sum * norm;
            }
        }
        for (int x = 0; x < a.w; ++x) {
            float sum = 0;
            for (int y = -r - 1; y < r; ++y) sum += b.at(x, std::clamp(y, 0, a.h - 1));
            for (int y = 0; y < a.h; ++y) {
                sum += b.at(x, std::min(y + r, a.h - 1)) - b.at(x, std::max(y - r - 1, 0));
                a.at(x, y) = sum * norm;
            }
        }
    }
    return a;
}

Plane minus(const Plane& a, const Plane& b) {
    Plane out = a;
    for (size_t i = 0; i < out.v.size(); ++i) out.v[i] = std::max(0.f, a.v[i] - b.v[i]);
    return out;
}

Plane Paint::mask(const PathFn& path) const {
    Canvas c(W, H);
    cairo_scale(c.cr, ss, ss);
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    path(c.cr);
    cairo_fill(c.cr);
    return c.alpha();
}

Plane Paint::stroke_mask(const PathFn& path, double width) const {
    Canvas c(W, H);
    cairo_scale(c.cr, ss, ss);
    cairo_set_source_rgb(c.cr, 1, 1, 1);
    cairo_set_line_width(c.cr, width);
    cairo_set_line_cap(c.cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(c.cr, CAIRO_LINE_JOIN_ROUND);
    path(c.cr);
    cairo_stroke(c.cr);
    return c.alpha();
}

std::vector<Light> Paint::relief(const Plane& m, double radius) const {
    const int r = std::max(1, int(radius * ss / 2));
    const Plane height = blur(m, r);
    std::vector<Light> out(size_t(W) * H);
    const V3 key = normalize({-0.55f, -0.7f, 0.6f}), half = normalize(key + V3{0, 0, 1});
    const V3 back = normalize({0.9f, -0.25f, 0.1f});
    // Slopes scaled by the blur radius, so a wide relief is as round as a narrow one.
    const float k = float(r) * 1.4f;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float gx = height.at(std::min(x + 1, W - 1), y) - height.at(std::max(x - 1, 0), y);
            const float gy = height.at(x, std::min(y + 1, H - 1)) - height.at(x, std::max(y - 1, 0));
            const V3 n = normalize({-gx * k, -gy * k, 1.f});
            Light& l = out[size_t(y) * W + x];
            l.diffuse = std::max(0.f, dot(n, key));
            l.spec = std::pow(std::max(0.f, dot(n, half)), 30.f);
            l.rim = std::pow(1.f - n.z, 1.5f) * std::max(0.f, dot(n, back));
        }
    return out;
}

void Paint::shaded(const Plane& m, double radius, const Finish& finish) {
    const std::vector<Light> light = relief(m, radius);
    fill(m, [&](float fx, float fy) {
        const Light& l = light[size_t(int(fy * float(ss))) * W + size_t(int(fx * float(ss)))];
        const float d = std::clamp((l.diffuse - 0.5f) * finish.contrast + 0.5f, 0.f, 1.f);
        Rgb c = mix(finish.dark, finish.lit, d);
        c = mix(c, finish.highlight, std::min(1.f, l.spec * finish.shine));
        return mix(c, finish.rim_colour, std::min(1.f, l.rim * finish.rim));
    });
}

void Paint::shadow(const Plane& m, double dx, double dy, double soft, float strength, const Plane* only) {
    const Plane s = blur(m, std::max(1, int(soft * ss / 2)));
    const int ox = int(dx * ss), oy = int(dy * ss);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int sx = x - ox, sy = y - oy;
            if (sx < 0 || sy < 0 || sx >= W || sy >= H) continue;
            float a = s.at(sx, sy) * strength;
            if (only) a *= only->at(x, y);
            img.at(x, y) = scale(img.at(x, y), 1 - a);
        }
}

std::vector<uint8_t> Paint::regions() const {
    std::vector<uint8_t> out(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int count[256] = {};
            for (int j = 0; j < ss; ++j)
                for (int i = 0; i < ss; ++i) ++count[region[size_t(y * ss + j) * W + size_t(x * ss + i)]];
            out[size_t(y) * w + x] = uint8_t(std::max_element(count, count + 256) - count);
        }
    return out;
}

RgbImage Paint::down() const {
    RgbImage out(w, h);
    const float n = 1.f / float(ss * ss);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb s;
            for (int j = 0; j < ss; ++j)
                for (int i = 0; i < ss; ++i) {
                    const Rgb& c = img.v[size_t(y * ss + j) * W + size_t(x * ss + i)];
                    s = {s.r + c.r, s.g + c.g, s.b + c.b};
                }
            out.at(x, y) = scale(s, n);
        }
    return out;
}

Indexed quantise_regions(const RgbImage& img, const std::vector<uint8_t>& region, const std::vector<ColourSet>& sets,
                         float diffusion) {
    Indexed out(img.w, img.h);
    std::vector<Rgb> work = img.v;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const size_t at = size_t(y) * img.w + x;
            const ColourSet& set = sets[region[at]];
            const Rgb c = work[at];
            const int i = set.nearest(c);
            out.v[at] = uint8_t(i);
            const size_t k = size_t(std::find(set.index.begin(), set.index.end(), i) - set.index.begin());
            const Rgb e = scale({c.r - set.rgb[k].r, c.g - set.rgb[k].g, c.b - set.rgb[k].b}, diffusion);
            // Floyd-Steinberg weights, kept inside the region.
            auto spread = [&](int dx, int dy, float weight) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || nx >= img.w || ny >= img.h) return;
                const size_t n = size_t(ny) * img.w + nx;
                if (region[n] != region[at]) return;
                work[n] = {work[n].r + e.r * weight, work[n].g + e.g * weight, work[n].b + e.b * weight};
            };
            spread(1, 0, 7.f / 16);
            spread(-1, 1, 3.f / 16);
            spread(0, 1, 5.f / 16);
            spread(1, 1, 1.f / 16);
        }
    return out;
}

void stamp(Indexed& out, int x, int y, std::initializer_list<const char*> rows, std::initializer_list<Ink> inks) {
    for (const char* row : rows) {
        for (int i = 0; row[i]; ++i)
            for (const Ink& k : inks)
                if (row[i] == k.c) out.at(x + i, y) = k.index;
        ++y;
    }
}

}  // namespace art::painter
