// Shared drawing kit of the picture generator: float images, Cairo/Pango canvases,
// seeded noise, a palette-aware quantiser and the asset registry. Everything here is
// deterministic: no clock, no global random state, fixed font options.
#pragma once

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/display.h"

namespace art {

// ---------------------------------------------------------------- images

// A w x h plane of floats, row-major.
struct Plane {
    int w = 0, h = 0;
    std::vector<float> v;
    Plane() = default;
    Plane(int w_, int h_, float fill = 0.f) : w(w_), h(h_), v(size_t(w_) * h_, fill) {}
    float& at(int x, int y) { return v[size_t(y) * w + x]; }
    float at(int x, int y) const { return v[size_t(y) * w + x]; }
    // Clamped bilinear sample at pixel-centre coordinates.
    float sample(float x, float y) const;
};

// Colour in 6-bit palette units (0..63 per channel), as floats.
struct Rgb {
    float r = 0, g = 0, b = 0;
};

struct RgbImage {
    int w = 0, h = 0;
    std::vector<Rgb> v;
    RgbImage() = default;
    RgbImage(int w_, int h_) : w(w_), h(h_), v(size_t(w_) * h_) {}
    Rgb& at(int x, int y) { return v[size_t(y) * w + x]; }
};

// An indexed picture: the bytes of one resource.
struct Indexed {
    int w = 0, h = 0;
    std::vector<uint8_t> v;
    Indexed() = default;
    Indexed(int w_, int h_, uint8_t fill = 0) : w(w_), h(h_), v(size_t(w_) * h_, fill) {}
    uint8_t& at(int x, int y) { return v[size_t(y) * w + x]; }
};

inline float clamp01(float x) { return x < 0.f ? 0.f : (x > 1.f ? 1.f : x); }
inline float lerp(float a, float b, float t) { return a + (b - a) * t; }
inline float smoothstep(float a, float b, float x) {
    float t = clamp01((x - a) / (b - a));
    return t * t * (3.f - 2.f * t);
}
inline Rgb mix(Rgb a, Rgb b, float t) { return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)}; }
inline Rgb palette_rgb(const Palette& p, int i) {
    return {float(p.rgb[i * 3]), float(p.rgb[i * 3 + 1]), float(p.rgb[i * 3 + 2])};
}

// ---------------------------------------------------------------- Cairo

// A Cairo ARGB32 canvas of w x h pixels with antialiasing and font options fixed.
struct Canvas {
    int w, h;
    cairo_surface_t* surface;
    cairo_t* cr;
    Canvas(int w, int h);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    // Coverage (alpha 0..1) of every pixel.
    Plane alpha() const;
    // Un-premultiplied colour, in 6-bit units (0..63), and alpha.
    RgbImage colour() const;
    // Red channel as 0..1 luminance, for canvases painted in greys.
    Plane grey() const;
};

inline void set_rgb(cairo_t* cr, Rgb c, double a = 1.0) {
    cairo_set_source_rgba(cr, c.r / 63.0, c.g / 63.0, c.b / 63.0, a);
}

// Lays out text with Pango in the named family ("DejaVu Sans Bold" and so on) at a
// pixel size, hinting off. Returns the ink extents (x, y, w, h) in pixels.
struct TextBox {
    double x, y, w, h;
};
TextBox text_extents(cairo_t* cr, const std::string& text, const char* family, double px,
                     double letter_spacing = 0);
// Adds the text's outline to the current path with its ink box's top-left at (x, y).
void text_path(cairo_t* cr, const std::string& text, const char* family, double px, double x,
               double y, double letter_spacing = 0);
// Adds the text centred in the box (cx, cy) by its ink extents.
void text_path_centred(cairo_t* cr, const std::string& text, const char* family, double px,
                       double cx, double cy, double letter_spacing = 0);
// Fills the current path in white and strokes it `width` wide with this join: type
// thickened outward for weight, read back as coverage through Canvas::alpha().
void ink_thickened(cairo_t* cr, double width, cairo_line_join_t join = CAIRO_LINE_JOIN_ROUND);
// The pixel size at which the text's ink fits w x h (largest that fits both).
double fit_text(cairo_t* cr, const std::string& text, const char* family, double w, double h,
                double letter_spacing = 0);

// ---------------------------------------------------------------- noise

// Integer hash of (x, y, seed) to 0..1.
float hash2(int x, int y, uint32_t seed);
// Smooth value noise, period px x py cells when given (0 = not periodic).
float value_noise(float x, float y, uint32_t seed, int px = 0, int py = 0);
// Fractal sum of octaves (gain 0.5, lacunarity 2); periodic when px, py are given.
float fbm(float x, float y, uint32_t seed, int octaves, int px = 0, int py = 0);
// Sum of |noise - 0.5| octaves: ridged turbulence.
float turbulence(float x, float y, uint32_t seed, int octaves, int px = 0, int py = 0);
// A seeded linear congruential stream for layout choices.
struct Rng {
    uint32_t s;
    explicit Rng(uint32_t seed) : s(seed * 2654435761u + 12345u) {}
    uint32_t next() { return s = s * 1664525u + 1013904223u; }
    float uniform() { return float(next() >> 8) / 16777216.f; }
    float range(float a, float b) { return a + (b - a) * uniform(); }
};

// ---------------------------------------------------------------- quantising

// The 4 x 4 Bayer threshold for (x, y), in (-0.5, 0.5).
float bayer4(int x, int y);

// Maps t in 0..1 onto indices first..last (either may be the larger) with ordered
// dithering when dither is set; t outside 0..1 is clamped.
uint8_t ramp_index(float t, int first, int last, int x, int y, bool dither = true);

// Nearest colour among the allowed indices (weighted RGB distance).
struct ColourSet {
    std::vector<int> index;
    std::vector<Rgb> rgb;
    ColourSet(const Palette& p, std::initializer_list<std::pair<int, int>> ranges);
    int nearest(Rgb c) const;
};

// Quantises an RGB image onto the set; Floyd-Steinberg error diffusion with the
// given strength (0 = none). Pixels where mask < 0.5 get `key` (mask may be null).
Indexed quantise(const RgbImage& img, const ColourSet& set, float diffusion,
                 const Plane* mask = nullptr, uint8_t key = 0);

// ---------------------------------------------------------------- registry

struct AssetSpec {
    const char* name;  // catalogue file name without ".dat"
    int w, h;          // exact size; h rows of w bytes
    int key;           // transparent index, or -1 for opaque pictures and maps
    const Palette* palette;
    std::function<Indexed()> draw;
};

// Every asset, appended by the scene files' registration functions.
std::vector<AssetSpec>& registry();
void register_scene01_opening();
void register_scene01_curves();
void register_scene01_tunnel();
void register_portraits();
void register_scene03();
void register_scene05();
void register_scene06();
void register_scene07();
void register_scene08();
void register_scene09();
void register_scene10();

// ---------------------------------------------------------------- shared figures

// The kind of person a portrait or figure shows.
enum class Person { girl, boy };

// Colours a portrait uses, given by the caller for its palette.
struct PortraitColours {
    Rgb background_top, background_bottom;
    Rgb skin_light, skin_dark;
    Rgb hair_light, hair_dark;
    Rgb cloth_light, cloth_dark;
    Rgb eye, lips;
};

// Paints a head-and-shoulders portrait filling the canvas (face centred at
// (cx, cy), face height fh pixels).
void paint_portrait(cairo_t* cr, Person who, double cx, double cy, double fh,
                    const PortraitColours& c, bool paint_background, int w, int h);

}  // namespace art

namespace art {

// How a text sprite colours its pixels: the face by (x, y, coverage), the edge
// (a stroke around the letters) with one index; the rest is the key.
struct TextStyle {
    const char* font = "DejaVu Sans Bold";
    double letter_spacing = 0;
    double edge_width = 0;  // 0: no edge
    int edge_index = 0;
    float face_threshold = 0.45f;
    float edge_threshold = 0.3f;
};

// Sets the text as large as fits the w x h box less a margin, centred, and colours
// it through face(x, y, coverage). Every other pixel is the key.
Indexed text_sprite(int w, int h, const std::string& text, const TextStyle& style, int key,
                    const std::function<uint8_t(int, int, float)>& face, double margin = 2);

}  // namespace art
