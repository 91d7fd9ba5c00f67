// Supersampled painting for the picture generator: smooth shapes and tapered limbs
// as Cairo paths, their coverage, a relief shader that rounds a flat shape into a
// lit volume, soft cast shadows, and a quantiser that keeps each region of a
// picture on a colour set of its own. The portraits of scenes 2 and 4 use it.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "art.h"

namespace art::painter {

struct P2 {
    double x, y;
};

using PathFn = std::function<void(cairo_t*)>;

// Closed Catmull-Rom curve through the points, as Bézier segments.
void blob(cairo_t* cr, const std::vector<P2>& p);
// Open Catmull-Rom curve through the points (end tangents from the end segments).
void curve(cairo_t* cr, const std::vector<P2>& p);
// An ellipse centred at (x, y), turned by `angle` radians.
void oval(cairo_t* cr, double x, double y, double rx, double ry, double angle = 0);
// A tapered limb: the hull of a circle of radius r0 at a and one of radius r1 at b.
// Shapes that overlap in one mask must wind the same way or be filled apart.
void limb(cairo_t* cr, P2 a, double r0, P2 b, double r1);

// Box blur of radius r pixels, three passes each way: close to a Gaussian.
Plane blur(const Plane& in, int r);
// a - b per pixel, floored at 0.
Plane minus(const Plane& a, const Plane& b);

inline Rgb grey(float v) { return {v, v, v}; }
inline Rgb scale(Rgb c, float s) { return {c.r * s, c.g * s, c.b * s}; }

// Light falling on a rounded shape at one pixel.
struct Light {
    float diffuse;  // Lambert term of the key light, upper left and in front
    float spec;     // its highlight
    float rim;      // cool light from behind on the right, strongest at the outline
};

// How a rounded part takes the light: shadow colour where the key light misses,
// lit colour where it hits, a highlight and a rim.
struct Finish {
    Rgb dark, lit;
    Rgb highlight = {63, 63, 63};
    float shine = 0.35f;
    Rgb rim_colour = {40, 48, 56};
    float rim = 0.5f;
    float contrast = 1.f;  // > 1 pushes the terminator sharper
};

// A float picture painted at `ss` times the output size; paths are given in output
// pixels. Colours are in 6-bit palette units.
struct Paint {
    int w, h, ss, W, H;
    RgbImage img;
    // Which colour set each painted pixel is quantised with: the region of the last
    // part that covered it at least half.
    std::vector<uint8_t> region;
    uint8_t current = 0;

    Paint(int w_, int h_, int ss_)
        : w(w_), h(h_), ss(ss_), W(w_ * ss_), H(h_ * ss_), img(W, H), region(size_t(W) * H, 0) {}

    // Coverage of the filled path, 0..1 per painted pixel.
    Plane mask(const PathFn& path) const;
    // Coverage of the path stroked `width` output pixels wide, round caps.
    Plane stroke_mask(const PathFn& path, double width) const;

    // Lays colour f(x, y) (output-pixel coordinates) over the picture by coverage,
    // and marks the pixels it covers at least half with the current region.
    template <class F>
    void fill(const Plane& m, F&& f, float opacity = 1.f) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const float a = m.at(x, y) * opacity;
                if (a <= 0.f) continue;
                img.at(x, y) = mix(img.at(x, y), f(float(x) / float(ss), float(y) / float(ss)), a < 1.f ? a : 1.f);
                if (a >= 0.5f) region[size_t(y) * W + x] = current;
            }
    }
    void flat(const Plane& m, Rgb c, float opacity = 1.f) {
        fill(m, [c](float, float) { return c; }, opacity);
    }

    // The shape's coverage blurred over `radius` output pixels taken as a height
    // field, and the light its normals catch.
    std::vector<Light> relief(const Plane& m, double radius) const;
    // The shape painted as a rounded volume in the finish's colours.
    void shaded(const Plane& m, double radius, const Finish& finish);
    // Darkens what is already painted under a part's shadow: its coverage moved by
    // (dx, dy) away from the light and softened over `soft` output pixels; only
    // where `only` covers, when given.
    void shadow(const Plane& m, double dx, double dy, double soft, float strength, const Plane* only = nullptr);

    // The region most of each output pixel's samples carry.
    std::vector<uint8_t> regions() const;
    // Box filter down to the output size.
    RgbImage down() const;
};

// Quantises each pixel onto its region's colour set, diffusing the error only into
// neighbours of the same region, so that no region's dither bleeds into the next.
Indexed quantise_regions(const RgbImage& img, const std::vector<uint8_t>& region, const std::vector<ColourSet>& sets,
                         float diffusion);

// Pixel touch-ups at the output size, where a face is too small for painting to
// hold its features: each character of a row that an ink names sets that index;
// any other character keeps the pixel.
struct Ink {
    char c;
    uint8_t index;
};
void stamp(Indexed& out, int x, int y, std::initializer_list<const char*> rows, std::initializer_list<Ink> inks);

}  // namespace art::painter
