// The icon's drawing and its two file formats; see icon.h.
#include "icon.h"

#include <cairo-svg.h>

#include <cmath>

namespace {

// The shapes are laid out on a 16 x 16 grid, the smallest size the icon is shown at.
constexpr double GRID = 16.0;

struct Colour {
    double r, g, b;
};

// The show's colours: the dark teal of the logo and glow scenes for the tile, the
// gold and orange of its warm ramps for the mark.
constexpr Colour TILE_TOP{0.04, 0.33, 0.39};
constexpr Colour TILE_BOTTOM{0.01, 0.15, 0.20};
constexpr Colour RIM{0.45, 0.82, 0.84};
constexpr Colour MARK_TOP{0.99, 0.80, 0.25};
constexpr Colour MARK_BOTTOM{0.98, 0.52, 0.12};
constexpr Colour SHADOW{0.0, 0.06, 0.09};

// The "K" as one outline, in grid units, clockwise from the stem's top left. The
// arm and the leg meet the stem in a solid wedge, so no thin notch closes up when
// the icon is small.
struct Point {
    double x, y;
};
constexpr Point MARK[] = {{4.0, 3.0},  {7.0, 3.0},  {7.0, 7.0},   {10.0, 3.0}, {13.5, 3.0}, {9.5, 8.0},
                          {13.5, 13.0}, {10.0, 13.0}, {7.0, 9.0}, {7.0, 13.0}, {4.0, 13.0}};

void add_stop(cairo_pattern_t* p, double at, Colour c) { cairo_pattern_add_color_stop_rgb(p, at, c.r, c.g, c.b); }

void rounded_square(cairo_t* cr, double x0, double x1, double radius) {
    const double pi = 3.14159265358979323846;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - radius, x0 + radius, radius, -pi / 2, 0);
    cairo_arc(cr, x1 - radius, x1 - radius, radius, 0, pi / 2);
    cairo_arc(cr, x0 + radius, x1 - radius, radius, pi / 2, pi);
    cairo_arc(cr, x0 + radius, x0 + radius, radius, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

// One grid line in pixels; small sizes round it to a whole pixel, so a 22- or
// 24-pixel icon keeps crisp vertical and horizontal edges.
double grid_px(double v, int size) {
    const double px = v * size / GRID;
    return size < 48 ? std::round(px) : px;
}

void mark_path(cairo_t* cr, int size, double dx, double dy) {
    const double unit = size / GRID;
    cairo_new_path(cr);
    for (const Point& p : MARK) {
        // Axis-aligned corners snap; the diagonals between them follow.
        cairo_line_to(cr, grid_px(p.x, size) + dx * unit, grid_px(p.y, size) + dy * unit);
    }
    cairo_close_path(cr);
}

cairo_status_t finish(cairo_surface_t* s) {
    cairo_surface_flush(s);
    const cairo_status_t status = cairo_surface_status(s);
    cairo_surface_destroy(s);
    return status;
}

}  // namespace

void draw_icon(cairo_t* cr, int size) {
    const double unit = size / GRID;
    const bool detailed = size >= 32;

    cairo_save(cr);
    // The tile fills the square at small sizes; larger ones keep the usual margin
    // of 1/32, in whole pixels so the tile's sides stay sharp.
    const double inset = size >= 48 ? double(size / 32) : 0.0;
    const double x0 = inset, x1 = size - inset;
    rounded_square(cr, x0, x1, 3.0 * unit);
    cairo_pattern_t* tile = cairo_pattern_create_linear(0, x0, 0, x1);
    add_stop(tile, 0.0, TILE_TOP);
    add_stop(tile, 1.0, TILE_BOTTOM);
    cairo_set_source(cr, tile);
    cairo_fill(cr);
    cairo_pattern_destroy(tile);

    if (detailed) {
        // A light rim inside the tile's edge, strongest at the top, lifts it from a
        // dark panel.
        const double w = 0.35 * unit;
        rounded_square(cr, x0 + w / 2, x1 - w / 2, 3.0 * unit - w / 2);
        cairo_pattern_t* rim = cairo_pattern_create_linear(0, x0, 0, x1);
        cairo_pattern_add_color_stop_rgba(rim, 0.0, RIM.r, RIM.g, RIM.b, 0.55);
        cairo_pattern_add_color_stop_rgba(rim, 0.6, RIM.r, RIM.g, RIM.b, 0.0);
        cairo_set_source(cr, rim);
        cairo_set_line_width(cr, w);
        cairo_stroke(cr);
        cairo_pattern_destroy(rim);
    }

    if (size >= 48) {
        // The glow of the show's logo: a soft light behind the mark.
        cairo_pattern_t* glow = cairo_pattern_create_radial(8.5 * unit, 8.0 * unit, 0, 8.5 * unit, 8.0 * unit, 7.0 * unit);
        cairo_pattern_add_color_stop_rgba(glow, 0.0, RIM.r, RIM.g, RIM.b, 0.30);
        cairo_pattern_add_color_stop_rgba(glow, 1.0, RIM.r, RIM.g, RIM.b, 0.0);
        rounded_square(cr, x0, x1, 3.0 * unit);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }

    if (size >= 24) {
        mark_path(cr, size, 0.3, 0.45);
        cairo_set_source_rgba(cr, SHADOW.r, SHADOW.g, SHADOW.b, 0.5);
        cairo_fill(cr);
    }

    mark_path(cr, size, 0.0, 0.0);
    cairo_pattern_t* warm = cairo_pattern_create_linear(0, grid_px(3.0, size), 0, grid_px(13.0, size));
    add_stop(warm, 0.0, MARK_TOP);
    add_stop(warm, 1.0, MARK_BOTTOM);
    cairo_set_source(cr, warm);
    cairo_fill(cr);
    cairo_pattern_destroy(warm);
    cairo_restore(cr);
}

bool write_icon_png(const std::string& path, int size, std::string* error) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(s);
    draw_icon(cr, size);
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    if (status != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

bool write_icon_svg(const std::string& path, int size, std::string* error) {
    cairo_surface_t* s = cairo_svg_surface_create(path.c_str(), size, size);
    cairo_svg_surface_set_document_unit(s, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(s);
    draw_icon(cr, size);
    cairo_destroy(cr);
    const cairo_status_t status = finish(s);
    if (status != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}
