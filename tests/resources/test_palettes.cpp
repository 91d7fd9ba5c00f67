// The scene palettes: every entry and ramp whose value is fixed, checked against the
// floor-interpolation rule computed here in the plain way.
#include <gtest/gtest.h>

#include <cmath>

#include "scenes/palettes.h"

namespace {

struct C {
    int r, g, b;
};

C at(const Palette& p, int i) { return {p.rgb[i * 3], p.rgb[i * 3 + 1], p.rgb[i * 3 + 2]}; }

#define EXPECT_RGB(pal, i, R, G, B)                            \
    do {                                                       \
        C c_ = at(pal, i);                                     \
        EXPECT_EQ(c_.r, R) << #pal " entry " << (i);           \
        EXPECT_EQ(c_.g, G) << #pal " entry " << (i);           \
        EXPECT_EQ(c_.b, B) << #pal " entry " << (i);           \
    } while (0)

// Every entry i0..i1 equals floor(c0 + (c1 - c0) (i - i0) / (i1 - i0)), in doubles.
void expect_floor_ramp(const Palette& p, int i0, C c0, int i1, C c1, const char* what) {
    for (int i = i0; i <= i1; ++i) {
        double t = double(i - i0) / double(i1 - i0);
        C c = at(p, i);
        EXPECT_EQ(c.r, int(std::floor(c0.r + (c1.r - c0.r) * t + 1e-9))) << what << " " << i;
        EXPECT_EQ(c.g, int(std::floor(c0.g + (c1.g - c0.g) * t + 1e-9))) << what << " " << i;
        EXPECT_EQ(c.b, int(std::floor(c0.b + (c1.b - c0.b) * t + 1e-9))) << what << " " << i;
    }
}

void expect_fill(const Palette& p, int i0, int i1, C c, const char* what) {
    for (int i = i0; i <= i1; ++i) {
        EXPECT_EQ(at(p, i).r, c.r) << what << " " << i;
        EXPECT_EQ(at(p, i).g, c.g) << what << " " << i;
        EXPECT_EQ(at(p, i).b, c.b) << what << " " << i;
    }
}

// Channels move only one way between a and b, and never by more than `step`.
void expect_monotone(const Palette& p, int a, int b, int step, const char* what) {
    for (int ch = 0; ch < 3; ++ch) {
        int dir = 0;
        for (int i = a; i < b; ++i) {
            int d = p.rgb[(i + 1) * 3 + ch] - p.rgb[i * 3 + ch];
            EXPECT_LE(std::abs(d), step) << what << " " << i << " channel " << ch;
            if (d != 0) {
                if (dir == 0) dir = d > 0 ? 1 : -1;
                EXPECT_EQ(dir, d > 0 ? 1 : -1) << what << " " << i << " channel " << ch;
            }
        }
    }
}

// No channel moves by more than `step` between neighbouring entries a..b.
void expect_smooth(const Palette& p, int a, int b, int step, const char* what) {
    for (int i = a; i < b; ++i)
        for (int ch = 0; ch < 3; ++ch)
            EXPECT_LE(std::abs(p.rgb[(i + 1) * 3 + ch] - p.rgb[i * 3 + ch]), step) << what << " " << i << " channel " << ch;
}

double luma(const Palette& p, int i) { return 0.299 * p.rgb[i * 3] + 0.587 * p.rgb[i * 3 + 1] + 0.114 * p.rgb[i * 3 + 2]; }

const Palette* const all_palettes[] = {&opening_palette, &logo_palette,   &curves_palette,
                                       &tunnel_palette,  &scene2_palette, &scene3_palette,
                                       &scene4_palette,  &scene5_palette, &scene6_palette,
                                       &scene7_palette,  &scene8_palette, &scene10_palette};

TEST(Palettes, EveryChannelIsSixBit) {
    for (const Palette* p : all_palettes)
        for (int i = 0; i < 768; ++i) ASSERT_LE(p->rgb[i], 63) << i;
}

TEST(Palettes, Opening) {
    EXPECT_RGB(opening_palette, 0, 0, 0, 0);
    EXPECT_RGB(opening_palette, 32, 2, 2, 2);
    EXPECT_RGB(opening_palette, 51, 33, 33, 33);
    EXPECT_RGB(opening_palette, 52, 61, 61, 61);
    EXPECT_RGB(opening_palette, 63, 63, 63, 63);
    for (int i = 64; i <= 255; ++i)
        EXPECT_RGB(opening_palette, i, 0, 63 * (i - 64) / 191, 59 * (i - 64) / 191);
    EXPECT_RGB(opening_palette, 255, 0, 63, 59);
}

TEST(Palettes, FlashIsOneColour) {
    Palette p;
    build_flash_palette(p);
    for (int i = 0; i < 256; ++i) EXPECT_RGB(p, i, 53, 43, 43);
}

TEST(Palettes, LogoAndCurves) {
    EXPECT_RGB(logo_palette, 0, 0, 0, 0);
    EXPECT_RGB(logo_palette, 1, 63, 63, 63);
    EXPECT_RGB(logo_palette, 190, 1, 15, 22);
    EXPECT_RGB(logo_palette, 191, 57, 46, 12);
    EXPECT_RGB(logo_palette, 255, 7, 0, 0);
    // The glows, lines and points add to indices, so the light climbs the cool
    // ramp: from its navy trough up to a pale peak where the capped glow cores
    // land (150..174), brighter than every entry the climb passes, smooth all along;
    // it falls to the fixed dark teal at 190 only over the last 16 entries, so
    // added light short of the cap stays light.
    expect_smooth(logo_palette, 1, 190, 3, "logo cool ramp");
    double peak = 1e9, below = 0, above = 0;
    for (int i = 50; i < 150; ++i) EXPECT_LE(luma(logo_palette, i), luma(logo_palette, i + 1)) << "climb at " << i;
    for (int i = 150; i <= 174; ++i) peak = std::min(peak, luma(logo_palette, i));
    for (int i = 24; i < 150; ++i) below = std::max(below, luma(logo_palette, i));
    for (int i = 175; i <= 190; ++i) above = std::max(above, luma(logo_palette, i));
    EXPECT_GT(peak, below);
    EXPECT_GT(peak, above);
    EXPECT_GT(peak, 3.0 * luma(logo_palette, 40)) << "the trough is dark";
    expect_monotone(logo_palette, 191, 255, 3, "logo warm ramp");
    for (int i = 0; i <= 190; ++i) EXPECT_RGB(curves_palette, i, at(logo_palette, i).r,
                                               at(logo_palette, i).g, at(logo_palette, i).b);
    EXPECT_RGB(curves_palette, 191, 56, 34, 12);
    EXPECT_RGB(curves_palette, 255, 7, 0, 0);
    expect_monotone(curves_palette, 191, 255, 3, "curves warm ramp");
}

TEST(Palettes, Tunnel) {
    EXPECT_RGB(tunnel_palette, 0, 0, 0, 0);
    EXPECT_RGB(tunnel_palette, 1, 63, 63, 63);
    EXPECT_RGB(tunnel_palette, 63, 2, 2, 2);
    expect_fill(tunnel_palette, 64, 175, {0, 0, 0}, "tunnel black");
    expect_floor_ramp(tunnel_palette, 176, {13, 10, 10}, 207, {31, 23, 22}, "tunnel brown");
    EXPECT_RGB(tunnel_palette, 208, 37, 25, 20);
    EXPECT_RGB(tunnel_palette, 223, 57, 46, 12);
    bool passes = false;
    for (int i = 208; i <= 223; ++i) passes |= at(tunnel_palette, i).r == 63 && at(tunnel_palette, i).g == 29 && at(tunnel_palette, i).b == 0;
    EXPECT_TRUE(passes) << "the orange run passes (63, 29, 0)";
    EXPECT_RGB(tunnel_palette, 224, 63, 63, 46);
    EXPECT_RGB(tunnel_palette, 225, 51, 34, 24);
    expect_fill(tunnel_palette, 226, 255, {0, 0, 0}, "tunnel black top");
}

TEST(Palettes, PortraitScenes) {
    for (const Palette* p : {&scene2_palette, &scene4_palette}) {
        EXPECT_RGB(*p, 0, 1, 25, 30);
        EXPECT_RGB(*p, 62, 1, 1, 1);
        expect_monotone(*p, 0, 62, 1, "teal ramp");
        // The feedback runs through black between the teal and the warm run; 64..127
        // are never mixed (bit 6 is cleared) and belong to the standing figure.
        expect_fill(*p, 63, 63, {0, 0, 0}, "portrait black");
        expect_fill(*p, 128, 164, {0, 0, 0}, "portrait black");
    }
    EXPECT_RGB(scene2_palette, 165, 47, 16, 0);
    EXPECT_RGB(scene2_palette, 190, 62, 61, 60);
    EXPECT_RGB(scene2_palette, 191, 59, 58, 58);
    expect_floor_ramp(scene2_palette, 192, {1, 1, 1}, 253, {62, 62, 62}, "scene 2 greys");
    EXPECT_RGB(scene2_palette, 254, 43, 34, 0);
    EXPECT_RGB(scene2_palette, 255, 54, 40, 0);

    EXPECT_RGB(scene4_palette, 165, 31, 0, 0);
    EXPECT_RGB(scene4_palette, 166, 18, 37, 46);
    EXPECT_RGB(scene4_palette, 172, 46, 47, 51);
    EXPECT_RGB(scene4_palette, 192, 63, 63, 63);
    EXPECT_RGB(scene4_palette, 193, 59, 51, 45);
    EXPECT_RGB(scene4_palette, 194, 1, 1, 1);
    expect_floor_ramp(scene4_palette, 195, {2, 2, 2}, 255, {62, 62, 62}, "scene 4 greys");
}

TEST(Palettes, Scene3) {
    EXPECT_RGB(scene3_palette, 0, 0, 0, 0);
    EXPECT_RGB(scene3_palette, 32, 28, 32, 36);
    EXPECT_RGB(scene3_palette, 222, 1, 8, 15);
    expect_monotone(scene3_palette, 32, 222, 1, "blue-grey ramp");
    EXPECT_RGB(scene3_palette, 223, 0, 7, 14);
    EXPECT_RGB(scene3_palette, 255, 60, 63, 63);
    expect_monotone(scene3_palette, 223, 255, 4, "bright ramp");
}

// Scene 3's softening averages four neighbours; at a disc's edge one to three of
// them are the background's 32. Wherever the head's copper (238..252) meets it,
// the entry the average lands on must stay warm (red at least blue): a cold one
// outlines every fragment of the head in navy.
TEST(Palettes, Scene3DiscEdgesOfTheCopperStayWarm) {
    for (int v = 238; v <= 252; ++v)
        for (int k = 1; k <= 3; ++k) {
            const int edge = (k * 32 + (4 - k) * v) >> 2;
            const C c = at(scene3_palette, edge);
            EXPECT_GE(c.r, c.b) << "copper " << v << " with " << k << " quarters of 32 lands on " << edge;
        }
}

TEST(Palettes, Scene5) {
    const Palette& p = scene5_palette;
    EXPECT_RGB(p, 0, 0, 0, 0);
    expect_fill(p, 1, 3, {10, 19, 30}, "1-3");
    EXPECT_RGB(p, 4, 9, 17, 26);
    expect_fill(p, 5, 9, {7, 15, 21}, "5-9");
    EXPECT_RGB(p, 10, 8, 15, 21);
    EXPECT_RGB(p, 32, 12, 16, 19);
    EXPECT_RGB(p, 64, 18, 20, 15);
    EXPECT_RGB(p, 91, 18, 25, 22);
    EXPECT_RGB(p, 92, 17, 24, 24);
    EXPECT_RGB(p, 93, 16, 23, 27);
    EXPECT_RGB(p, 94, 15, 22, 29);
    EXPECT_RGB(p, 95, 14, 21, 31);
    EXPECT_RGB(p, 96, 13, 20, 34);
    expect_fill(p, 124, 127, {18, 29, 40}, "124-127");
    EXPECT_RGB(p, 128, 18, 29, 36);
    EXPECT_RGB(p, 129, 18, 29, 31);
    EXPECT_RGB(p, 130, 18, 29, 26);
    EXPECT_RGB(p, 131, 18, 29, 21);
    expect_fill(p, 158, 167, {23, 34, 26}, "158-167");
    expect_fill(p, 199, 203, {31, 36, 22}, "199-203");
    EXPECT_RGB(p, 229, 45, 45, 30);
    EXPECT_RGB(p, 230, 0, 0, 0);
    EXPECT_RGB(p, 231, 0, 0, 0);
    EXPECT_RGB(p, 232, 29, 0, 0);
    EXPECT_RGB(p, 233, 33, 11, 9);
    EXPECT_RGB(p, 234, 38, 23, 18);
    EXPECT_RGB(p, 235, 43, 34, 27);
    EXPECT_RGB(p, 236, 44, 43, 33);
    EXPECT_RGB(p, 237, 48, 46, 36);
    EXPECT_RGB(p, 238, 0, 0, 0);
    const int greys[15] = {43, 41, 38, 35, 32, 29, 26, 23, 21, 18, 15, 12, 9, 6, 3};
    for (int i = 0; i < 15; ++i) EXPECT_RGB(p, 239 + i, greys[i], greys[i], greys[i]);
    EXPECT_RGB(p, 254, 0, 0, 0);
    EXPECT_RGB(p, 255, 0, 0, 0);
}

TEST(Palettes, Scene6) {
    const Palette& p = scene6_palette;
    EXPECT_RGB(p, 0, 0, 0, 0);
    expect_fill(p, 1, 3, {63, 63, 63}, "white");
    EXPECT_RGB(p, 33, 52, 56, 57);
    EXPECT_RGB(p, 64, 41, 49, 51);
    EXPECT_RGB(p, 100, 23, 39, 43);
    EXPECT_RGB(p, 151, 5, 25, 34);
    expect_fill(p, 152, 155, {4, 24, 33}, "152-155");
    EXPECT_RGB(p, 191, 0, 14, 21);
    expect_fill(p, 192, 255, {0, 0, 0}, "black");
}

TEST(Palettes, Scene7) {
    const Palette& p = scene7_palette;
    EXPECT_RGB(p, 0, 0, 0, 0);
    expect_fill(p, 1, 54, {14, 33, 38}, "flat cyan");
    EXPECT_RGB(p, 55, 22, 37, 37);
    expect_fill(p, 56, 60, {0, 25, 19}, "56-60");
    EXPECT_RGB(p, 61, 0, 19, 18);
    EXPECT_RGB(p, 62, 0, 12, 16);
    EXPECT_RGB(p, 120, 0, 24, 31);
    EXPECT_RGB(p, 121, 1, 25, 31);
    EXPECT_RGB(p, 136, 14, 33, 38);
    EXPECT_RGB(p, 160, 35, 46, 49);
    EXPECT_RGB(p, 190, 62, 62, 62);
    EXPECT_RGB(p, 191, 63, 63, 63);
    expect_fill(p, 192, 255, {0, 0, 0}, "black");
}

TEST(Palettes, Scene8) {
    const Palette& p = scene8_palette;
    expect_fill(p, 0, 1, {0, 0, 0}, "black");
    EXPECT_RGB(p, 2, 1, 0, 0);
    EXPECT_RGB(p, 15, 12, 5, 2);
    EXPECT_RGB(p, 32, 26, 12, 4);
    EXPECT_RGB(p, 63, 52, 25, 9);
    EXPECT_RGB(p, 64, 52, 26, 10);
    EXPECT_RGB(p, 80, 59, 46, 32);
    EXPECT_RGB(p, 100, 60, 53, 45);
    EXPECT_RGB(p, 127, 63, 63, 63);
    expect_monotone(p, 2, 127, 2, "brown to white");
    expect_fill(p, 128, 255, {0, 0, 0}, "black");
}

TEST(Palettes, Scene10) {
    const Palette& p = scene10_palette;
    expect_fill(p, 0, 41, {0, 0, 0}, "black");
    EXPECT_RGB(p, 42, 11, 25, 32);
    EXPECT_RGB(p, 148, 63, 63, 63);
    expect_monotone(p, 42, 148, 2, "ramp");
    for (int i = 149; i <= 255; ++i)
        EXPECT_RGB(p, i, at(p, i - 107).r, at(p, i - 107).g, at(p, i - 107).b);
}

}  // namespace
