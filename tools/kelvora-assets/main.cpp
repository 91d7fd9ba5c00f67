// kelvora-assets: draws the 45 entries of resource.rar from code into a folder, one
// "<name>.dat" per catalogue entry, or a contact sheet of all of them as a PNG.
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive/resources.h"
#include "art.h"

namespace {

const char* const usage =
    "usage: kelvora-assets --out DIR       draw the 45 resource entries into DIR/<name>.dat\n"
    "       kelvora-assets --sheet FILE.png  draw a contact sheet of every entry at 2x\n"
    "       kelvora-assets --help\n"
    "Pictures are shown under the palette of the scene that reads them; key colours as a\n"
    "checkerboard; coordinate maps and masks in grey.\n";

// The registry in catalogue order; a missing or misnamed entry stops the tool.
std::vector<const art::AssetSpec*> catalogue_order() {
    using namespace art;
    if (registry().empty()) {
        register_scene01_opening();
        register_scene01_curves();
        register_scene01_tunnel();
        register_portraits();
        register_scene03();
        register_scene05();
        register_scene06();
        register_scene07();
        register_scene08();
        register_scene09();
        register_scene10();
    }
    std::vector<const AssetSpec*> order;
    for (int i = 0; i < RESOURCE_COUNT; ++i) {
        const AssetSpec* found = nullptr;
        for (const AssetSpec& s : registry())
            if (std::string(s.name) + ".dat" == resource_catalogue[i]) found = &s;
        if (!found) {
            fprintf(stderr, "kelvora-assets: no drawing for '%s'\n", resource_catalogue[i]);
            exit(1);
        }
        order.push_back(found);
    }
    return order;
}

art::Indexed draw_checked(const art::AssetSpec& s) {
    art::Indexed img = s.draw();
    if (img.w != s.w || img.h != s.h || img.v.size() != size_t(s.w) * s.h) {
        fprintf(stderr, "kelvora-assets: '%s' drawn at %dx%d, wanted %dx%d\n", s.name, img.w, img.h, s.w, s.h);
        exit(1);
    }
    return img;
}

int write_all(const std::string& dir) {
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        fprintf(stderr, "kelvora-assets: cannot create folder '%s': %s\n", dir.c_str(), strerror(errno));
        return 1;
    }
    for (const art::AssetSpec* s : catalogue_order()) {
        art::Indexed img = draw_checked(*s);
        std::string path = dir + "/" + s->name + ".dat";
        FILE* f = fopen(path.c_str(), "wb");
        if (!f || fwrite(img.v.data(), 1, img.v.size(), f) != img.v.size() || fclose(f) != 0) {
            fprintf(stderr, "kelvora-assets: cannot write '%s': %s\n", path.c_str(), strerror(errno));
            return 1;
        }
    }
    return 0;
}

int write_sheet(const std::string& file) {
    const int sheet_w = 1340, margin = 10, label_h = 16;
    struct Placed {
        const art::AssetSpec* spec;
        art::Indexed img;
        int x, y, scale;
    };
    std::vector<Placed> placed;
    int x = margin, y = margin, row_h = 0;
    for (const art::AssetSpec* s : catalogue_order()) {
        int scale = s->h < 8 ? 24 : 2;
        int w = s->w * scale, h = s->h * scale;
        if (x + w > sheet_w - margin) {
            x = margin;
            y += row_h + margin;
            row_h = 0;
        }
        placed.push_back({s, draw_checked(*s), x, y + label_h, scale});
        x += std::max(w, 150) + margin;
        row_h = std::max(row_h, h + label_h);
    }
    const int sheet_h = y + row_h + margin;

    cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheet_w, sheet_h);
    cairo_t* cr = cairo_create(surf);
    cairo_set_source_rgb(cr, 0.16, 0.16, 0.18);
    cairo_paint(cr);
    cairo_surface_flush(surf);
    for (const Placed& p : placed) {
        uint8_t* data = cairo_image_surface_get_data(surf);
        int stride = cairo_image_surface_get_stride(surf);
        for (int py = 0; py < p.img.h * p.scale; ++py)
            for (int px = 0; px < p.img.w * p.scale; ++px) {
                int sx = px / p.scale, sy = py / p.scale;
                int v = p.img.v[size_t(sy) * p.img.w + sx];
                uint32_t rgb;
                if (p.spec->key >= 0 && v == p.spec->key) {
                    rgb = ((px / 8 + py / 8) & 1) ? 0x9a9a9a : 0x6a6a6a;
                } else if (!p.spec->palette) {
                    rgb = uint32_t(v) * 0x010101u;
                } else {
                    const uint8_t* c = p.spec->palette->rgb + v * 3;
                    rgb = uint32_t(c[0] * 255 / 63) << 16 | uint32_t(c[1] * 255 / 63) << 8 | uint32_t(c[2] * 255 / 63);
                }
                memcpy(data + (p.y + py) * stride + (p.x + px) * 4, &rgb, 4);
            }
        cairo_surface_mark_dirty(surf);
        char label[96];
        snprintf(label, sizeof label, "%s.dat  %dx%d", p.spec->name, p.spec->w, p.spec->h);
        cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
        art::text_path(cr, label, "DejaVu Sans", 11, p.x, p.y - label_h + 3);
        cairo_fill(cr);
        cairo_surface_flush(surf);
    }
    cairo_status_t st = cairo_surface_write_to_png(surf, file.c_str());
    cairo_destroy(cr);
    cairo_surface_destroy(surf);
    if (st != CAIRO_STATUS_SUCCESS) {
        fprintf(stderr, "kelvora-assets: cannot write '%s': %s\n", file.c_str(), cairo_status_to_string(st));
        return 1;
    }
    return 0;
}

// Drops the font caches of Pango, Cairo and fontconfig so that a leak checker sees
// only what this tool allocates.
void release_font_caches() {
    pango_cairo_font_map_set_default(nullptr);
    cairo_debug_reset_static_data();
    FcFini();
}

int run(int argc, char** argv) {
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        fputs(usage, stdout);
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "--out") == 0) return write_all(argv[2]);
    if (argc == 3 && strcmp(argv[1], "--sheet") == 0) return write_sheet(argv[2]);
    fputs(usage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int code = run(argc, argv);
    release_font_caches();
    return code;
}
