// The icon as the theme shows it: a tile that fills its square with clear corners,
// a warm mark that stays sharp and separate from the teal at 16 pixels, and files
// that come out byte for byte the same on every run.
#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "icon.h"

namespace {

struct Pixel {
    int r, g, b, a;
};

// The icon drawn into memory; pixels read back un-premultiplied.
class Drawn {
public:
    explicit Drawn(int size) : size_(size) {
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
        cairo_t* cr = cairo_create(surface_);
        draw_icon(cr, size);
        cairo_destroy(cr);
        cairo_surface_flush(surface_);
    }
    ~Drawn() { cairo_surface_destroy(surface_); }
    Drawn(const Drawn&) = delete;
    Drawn& operator=(const Drawn&) = delete;

    Pixel at(int x, int y) const {
        const uint8_t* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        uint32_t v;
        memcpy(&v, row + x * 4, 4);
        const int a = int(v >> 24);
        auto ch = [&](int shift) { return a == 0 ? 0 : int((v >> shift) & 0xff) * 255 / a; };
        return {ch(16), ch(8), ch(0), a};
    }
    int size() const { return size_; }

private:
    int size_;
    cairo_surface_t* surface_;
};

bool warm(Pixel p) { return p.a == 255 && p.r > 200 && p.r > p.g && p.g > p.b && p.b < 110; }
bool teal(Pixel p) { return p.a == 255 && p.b > p.r + 40 && p.g > p.r + 40; }

// Relative luminance of an sRGB colour, as contrast ratios are computed.
double luminance(Pixel p) {
    auto lin = [](int c) {
        const double s = c / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(p.r) + 0.7152 * lin(p.g) + 0.0722 * lin(p.b);
}

std::string scratch() {
    char templ[] = "/tmp/kelvora-icon-XXXXXX";
    if (!mkdtemp(templ)) abort();
    return templ;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Icon, EverySizeFillsItsSquareWithATileAndLeavesTheCornersClear) {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const Drawn icon(size);
        const int last = size - 1, mid = size / 2;
        for (Pixel corner : {icon.at(0, 0), icon.at(last, 0), icon.at(0, last), icon.at(last, last)})
            EXPECT_LT(corner.a, 64);
        // The tile reaches the edges (the larger sizes keep a margin of 1/32).
        const int edge = size >= 48 ? size / 32 : 0;
        for (Pixel side : {icon.at(edge, mid), icon.at(last - edge, mid), icon.at(mid, edge)})
            EXPECT_EQ(side.a, 255);
        EXPECT_TRUE(teal(icon.at(edge + size / 16, mid))) << "left of the stem";
    }
}

TEST(Icon, TheMarkIsSharpWarmAndApartFromTheTileAt16Pixels) {
    const Drawn icon(16);
    // The stem covers whole pixels, columns 4..6 of rows 3..12, with no blurred edge.
    for (int y = 3; y <= 12; ++y) {
        for (int x = 4; x <= 6; ++x) EXPECT_TRUE(warm(icon.at(x, y))) << x << "," << y;
        EXPECT_TRUE(teal(icon.at(3, y))) << "left of the stem, row " << y;
    }
    // Arm and leg stay apart: teal shows between them right of the junction and
    // above the leg's foot.
    EXPECT_TRUE(teal(icon.at(13, 8)));
    EXPECT_TRUE(teal(icon.at(8, 12)));
    EXPECT_TRUE(warm(icon.at(11, 3)));   // the arm's end
    EXPECT_TRUE(warm(icon.at(11, 12)));  // the leg's foot
    // At 22 and 24 pixels the stem's sides fall on whole pixels too: across the
    // stem's row every pixel up to its right side is plain tile or plain mark.
    for (int size : {22, 24}) {
        const Drawn other(size);
        const int y = size * 5 / 16, right = int(std::lround(size * 7 / 16.0));
        for (int x = 1; x < right; ++x) {
            const Pixel p = other.at(x, y);
            EXPECT_TRUE(warm(p) || teal(p)) << size << ": " << x << "," << y << " " << p.r << " " << p.g << " " << p.b;
        }
    }
    // The mark's darkest warm and the tile's lightest teal still differ by 3:1 in
    // contrast, as small text on a background should.
    const double mark = luminance(icon.at(5, 12)), tile = luminance(icon.at(1, 2));
    EXPECT_GT((mark + 0.05) / (tile + 0.05), 3.0) << mark << " vs " << tile;
}

TEST(Icon, FilesAreTheSameOnEveryRunAndFailuresSayWhy) {
    const std::string dir = scratch();
    std::string error;
    ASSERT_TRUE(write_icon_png(dir + "/a.png", 24, &error)) << error;
    ASSERT_TRUE(write_icon_png(dir + "/b.png", 24, &error)) << error;
    ASSERT_TRUE(write_icon_svg(dir + "/a.svg", 256, &error)) << error;
    ASSERT_TRUE(write_icon_svg(dir + "/b.svg", 256, &error)) << error;
    EXPECT_EQ(read_file(dir + "/a.png"), read_file(dir + "/b.png"));
    // Cairo numbers its surfaces per process; the build draws the icon once in a
    // fresh process, so only that number may differ between two drawings here.
    auto without_surface_id = [](std::string text) {
        const std::string id = "id=\"surface";
        const size_t at = text.find(id);
        if (at != std::string::npos) {
            const size_t digits = at + id.size();
            text.erase(digits, text.find('"', digits) - digits);
        }
        return text;
    };
    const std::string svg = read_file(dir + "/a.svg");
    EXPECT_EQ(without_surface_id(svg), without_surface_id(read_file(dir + "/b.svg")));

    cairo_surface_t* png = cairo_image_surface_create_from_png((dir + "/a.png").c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 24);
    EXPECT_EQ(cairo_image_surface_get_height(png), 24);
    cairo_surface_destroy(png);
    // Pixel units, so the theme takes the document at its size.
    EXPECT_NE(svg.find("width=\"256px\" height=\"256px\" viewBox=\"0 0 256 256\""), std::string::npos) << svg;

    const std::string missing = dir + "/no/such/folder/icon.png";
    EXPECT_FALSE(write_icon_png(missing, 16, &error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_FALSE(write_icon_svg(dir + "/no/such/folder/icon.svg", 256, &error));
    EXPECT_NE(error.find("icon.svg"), std::string::npos) << error;

    for (const char* f : {"a.png", "b.png", "a.svg", "b.svg"}) unlink((dir + "/" + f).c_str());
    rmdir(dir.c_str());
}

}  // namespace
