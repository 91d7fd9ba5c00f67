// Storyboard composition with cairo and pango; see storyboard.h.
#include "storyboard.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstring>

#include "picture.h"

static int margin(int zoom) { return 8 * zoom; }
static int label_height(int zoom) { return 20 * zoom; }

int storyboard_width(int zoom) {
    return STORYBOARD_COLUMNS * zoomed_width(zoom) + (STORYBOARD_COLUMNS + 1) * margin(zoom);
}

int storyboard_height(int zoom) {
    return STORYBOARD_ROWS * (zoomed_height(zoom) + label_height(zoom)) + (STORYBOARD_ROWS + 1) * margin(zoom);
}

int storyboard_tile_x(int i, int zoom) {
    return margin(zoom) + (i % STORYBOARD_COLUMNS) * (zoomed_width(zoom) + margin(zoom));
}

int storyboard_tile_y(int i, int zoom) {
    return margin(zoom) + (i / STORYBOARD_COLUMNS) * (zoomed_height(zoom) + label_height(zoom) + margin(zoom));
}

std::vector<uint8_t> compose_storyboard(const std::vector<StoryboardTile>& tiles, int zoom) {
    const int width = storyboard_width(zoom), height = storyboard_height(zoom);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0x18 / 255.0, 0x18 / 255.0, 0x1c / 255.0);
    cairo_paint(cr);
    cairo_surface_flush(surface);

    // Tiles go straight into the surface's pixels (0x00RRGGBB words), unscaled by
    // cairo so that every frame pixel stays a sharp block.
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int tile_w = zoomed_width(zoom), tile_h = zoomed_height(zoom);
    for (size_t i = 0; i < tiles.size() && i < size_t(STORYBOARD_COLUMNS * STORYBOARD_ROWS); ++i) {
        const StoryboardTile& t = tiles[i];
        if (t.rgb.size() != size_t(tile_w) * size_t(tile_h) * 3) continue;
        const int x0 = storyboard_tile_x(int(i), zoom), y0 = storyboard_tile_y(int(i), zoom);
        for (int y = 0; y < tile_h; ++y) {
            auto* dst = reinterpret_cast<uint32_t*>(data + size_t(y0 + y) * size_t(stride)) + x0;
            const uint8_t* src = t.rgb.data() + size_t(y) * size_t(tile_w) * 3;
            for (int x = 0; x < tile_w; ++x, src += 3)
                dst[x] = uint32_t(src[0]) << 16 | uint32_t(src[1]) << 8 | src[2];
        }
    }
    cairo_surface_mark_dirty(surface);

    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans");
    pango_font_description_set_absolute_size(font, 11.0 * zoom * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    // Grey-scale antialiasing only: no subpixel colours, the same on every screen.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    pango_layout_context_changed(layout);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    for (size_t i = 0; i < tiles.size() && i < size_t(STORYBOARD_COLUMNS * STORYBOARD_ROWS); ++i) {
        pango_layout_set_text(layout, tiles[i].label.c_str(), -1);
        int text_w = 0, text_h = 0;
        pango_layout_get_pixel_size(layout, &text_w, &text_h);
        const int x = storyboard_tile_x(int(i), zoom) + (tile_w - text_w) / 2;
        const int y = storyboard_tile_y(int(i), zoom) + tile_h + (label_height(zoom) - text_h) / 2;
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, layout);
    }
    cairo_font_options_destroy(options);
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    uint8_t* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = uint8_t(src[x] >> 16);
            out[1] = uint8_t(src[x] >> 8);
            out[2] = uint8_t(src[x]);
        }
    }
    cairo_surface_destroy(surface);
    return rgb;
}
