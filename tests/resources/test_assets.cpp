// The picture generator: every entry at the size its scene reads, the same bytes on
// every run, and a clear failure on a folder it cannot write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/resources.h"

namespace fs = std::filesystem;

namespace {

// Bytes each entry must hold: width x height of its layout, in catalogue order.
const uint32_t expected_size[RESOURCE_COUNT] = {
    180 * 33,  320 * 36,  74 * 90,  71 * 89,  64000,    132 * 144, 8,        64000,   52 * 144,
    64000,     229 * 24,  174 * 33, 120 * 30, 320 * 56, 206 * 29,  40 * 295, 146 * 23, 133 * 26,
    64000,     47 * 65,   37 * 35,  52 * 31,  108 * 188, 64000,    64000,    269 * 24, 288 * 32,
    108 * 188, 64000,     65536,    105 * 71, 105 * 71, 320 * 45,  320 * 11, 320 * 11, 320 * 11,
    320 * 11,  320 * 11,  199 * 29, 115 * 73, 238 * 27, 64000,     65536,    64000,   64000};

std::vector<char> slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

struct Generated : testing::Test {
    fs::path root;
    void SetUp() override {
        if (!fs::exists("kelvora-assets")) GTEST_SKIP() << "kelvora-assets is not built";
        root = fs::temp_directory_path() / ("kelvora_assets_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override {
        if (!root.empty()) fs::remove_all(root);
    }
    int run(const std::string& args) { return std::system(("./kelvora-assets " + args + " 2>" + (root / "err").string()).c_str()); }
};

TEST_F(Generated, EveryEntryHasItsSizeAndTwoRunsAgree) {
    ASSERT_EQ(run("--out " + (root / "a").string()), 0);
    ASSERT_EQ(run("--out " + (root / "b").string()), 0);
    for (int i = 0; i < RESOURCE_COUNT; ++i) {
        std::vector<char> a = slurp(root / "a" / resource_catalogue[i]);
        std::vector<char> b = slurp(root / "b" / resource_catalogue[i]);
        EXPECT_EQ(a.size(), expected_size[i]) << resource_catalogue[i];
        EXPECT_TRUE(a == b) << resource_catalogue[i] << " differs between runs";
    }
}

TEST_F(Generated, KeyedAndMaskedIndicesAreWhereTheScenesWantThem) {
    ASSERT_EQ(run("--out " + root.string()), 0);
    auto count = [&](const char* name, auto pred) {
        std::vector<char> d = slurp(root / name);
        size_t n = 0;
        for (char c : d) n += pred(uint8_t(c)) ? 1 : 0;
        return n;
    };
    // Opaque pixels of the logo must not be the key, and it must have both.
    EXPECT_GT(count("kvlogo.dat", [](uint8_t v) { return v == 160; }), 0u);
    EXPECT_GT(count("kvlogo.dat", [](uint8_t v) { return v != 160; }), 0u);
    // Scene 3 smooths the revealed picture to at least 32: nothing useful below it.
    EXPECT_EQ(count("alien.dat", [](uint8_t v) { return v <= 32; }), 0u);
    // The lens pictures carry protected pixels.
    EXPECT_GT(count("self_g.dat", [](uint8_t v) { return v == 1; }), 0u);
    EXPECT_GT(count("self_b.dat", [](uint8_t v) { return v == 1; }), 0u);
    // Tunnel band colours: none below 30, which the scene's lift would turn into
    // 177; and each two bands half a colour repeat apart average into the palette's
    // black run (64..175), so that where the smear blends all four, at the
    // vanishing point, the tunnel ends black.
    std::vector<char> band = slurp(root / "tunnel.dat");
    ASSERT_GE(band.size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_GE(uint8_t(band[i]), 30) << i;
    for (int i = 0; i < 2; ++i) {
        const int mean = (uint8_t(band[i]) + uint8_t(band[i + 2])) / 2;
        EXPECT_GE(mean, 64) << i;
        EXPECT_LE(mean, 175) << i;
    }
    // The silhouettes behind the craft (its exhaust's vapour) show only behind its
    // engine: even with no gap left between them and the craft, every mask pixel
    // right of the nozzle (column 13) lies under the craft, drawn over them.
    std::vector<char> k1 = slurp(root / "k1.dat"), k2 = slurp(root / "k2.dat");
    ASSERT_EQ(k1.size(), k2.size());
    size_t plume = 0;
    for (size_t i = 0; i < k1.size(); ++i) {
        plume += k2[i] != 0;
        if (k2[i] != 0 && i % 105 >= 13) {
            EXPECT_NE(k1[i], 0) << "column " << i % 105 << " row " << i / 105;
        }
    }
    EXPECT_GT(plume, 500u);
    // The closing sprites stay in the palette half that does not dim; index 0 is
    // black in both halves (entries 0..41 are black), so black lettering may use it.
    for (const char* s : {"uppera.dat", "lowera.dat", "dotp.dat"})
        EXPECT_EQ(count(s, [](uint8_t v) { return v != 149 && ((v > 0 && v < 42) || v > 148); }), 0u) << s;
}

TEST_F(Generated, LogoCaptionAndTunnelBandsFitTheirScene) {
    ASSERT_EQ(run("--out " + root.string()), 0);
    // The caption (229 x 24 at (90, 87)) is drawn over the logo (320 x 36 at
    // (0, 94)); its lettering must end above the logo's, with a row between them.
    // The logo's band also blends with the cap (190 and below) around its letters;
    // its lettering is the gold faces past 190 and their white top rim, whose dark
    // outline takes one more row above.
    auto ink_rows = [&](const char* name, int w, int x0, int y0, int& first, int& last, bool faces) {
        std::vector<char> d = slurp(root / name);
        first = 1000, last = -1;
        for (size_t k = 0; k < d.size(); ++k)
            if (faces ? uint8_t(d[k]) > 190 || uint8_t(d[k]) == 100 : uint8_t(d[k]) != 160) {
                const int y = y0 + int(k) / w, x = x0 + int(k) % w;
                if (x < 90 || x >= 90 + 229) continue;  // only where both can meet
                first = std::min(first, y);
                last = std::max(last, y);
            }
    };
    int cap_first, cap_last, logo_first, logo_last;
    ink_rows("overl.dat", 229, 90, 87, cap_first, cap_last, false);
    ink_rows("kvlogo.dat", 320, 0, 94, logo_first, logo_last, true);
    ASSERT_GE(cap_last, cap_first);
    ASSERT_GE(logo_last, logo_first);
    EXPECT_LT(cap_last + 2, logo_first) << "caption rows " << cap_first << ".." << cap_last
                                        << ", logo rows " << logo_first << ".." << logo_last;
    // The tunnel's map wraps jump four bands; the colours repeat every four so the
    // jumps do not show as seams.
    std::vector<char> bands = slurp(root / "tunnel.dat");
    ASSERT_GE(bands.size(), 8u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bands[i], bands[i + 4]) << i;
    // Scene 3's caption shapes, at their blit positions, keep 6 pixels or more off
    // the frame's edges and sit centred on it within a few pixels (their rectangles
    // do neither).
    struct Shape {
        const char* name;
        int w, x0, y0;
    };
    for (const Shape& c : {Shape{"alwork.dat", 269, 50, 1}, Shape{"aphandl.dat", 288, 16, 167}}) {
        std::vector<char> d = slurp(root / c.name);
        int left = 1000, right = -1, top = 1000, bottom = -1;
        for (size_t k = 0; k < d.size(); ++k)
            if (d[k] != 0) {
                left = std::min(left, c.x0 + int(k) % c.w);
                right = std::max(right, c.x0 + int(k) % c.w);
                top = std::min(top, c.y0 + int(k) / c.w);
                bottom = std::max(bottom, c.y0 + int(k) / c.w);
            }
        ASSERT_GE(right, left) << c.name;
        EXPECT_GE(left, 12) << c.name;
        EXPECT_LE(right, 319 - 12) << c.name;
        EXPECT_GE(top, 6) << c.name;
        EXPECT_LE(bottom, 199 - 6) << c.name;
        EXPECT_LE(std::abs((left + right) - 319), 6) << c.name << " spans " << left << ".." << right;
    }
}

TEST_F(Generated, UnwritableFolderFails) {
    EXPECT_NE(run("--out /proc/kelvora-no-such-folder/x"), 0);
    std::vector<char> err = slurp(root / "err");
    EXPECT_NE(std::string(err.begin(), err.end()).find("cannot"), std::string::npos);
}

}  // namespace
