// The viewer's keys and window in the whole program on a private X server: Alt+Enter
// and F11 switch a running show between the window and full screen and back, a
// resized window keeps the picture's shape with black around it, Space holds the
// picture, and F12 writes the picture on screen as a PNG.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "scratch.h"
#include "x_test.h"

namespace {

class Controls : public XTest {
protected:
    Controls() : XTest(1280, 1024) {}
    void SetUp() override {
        XTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(x.add_modes());
        char dir[] = "/tmp/kelvora-controls-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder = dir;
    }
    void TearDown() override {
        if (folder.empty()) return;
        for (const std::string& f : files()) unlink((folder + "/" + f).c_str());
        rmdir(folder.c_str());
    }
    // Starts the program in a window with these further options, screenshots going
    // to the scratch folder; returns the show's window once it shows a picture.
    unsigned long start(Child& show, const std::vector<std::string>& options) {
        std::vector<std::string> argv{KELVORA_PROGRAM, "--window", "--no-sound"};
        argv.insert(argv.end(), options.begin(), options.end());
        std::vector<std::string> env = x.child_env();
        env.push_back("XDG_PICTURES_DIR=" + folder);
        if (!show.start(argv, env)) return 0;
        const unsigned long window = x.wait_window("kelvora", 20000);
        if (window == 0) return 0;
        // Until the start is reached the window stays black.
        const auto [wx, wy, ww, wh] = x.window_rect(window);
        if (!soon([&] { return lit(x.pixels(wx, wy, ww, wh)) > 0; }, 60000)) return 0;
        return window;
    }
    void key(unsigned long window, const char* name) {
        x.focus(window);
        EXPECT_TRUE(x.xdotool({"key", name})) << name;
    }
    void end(Child& show, unsigned long window) {
        key(window, "Escape");
        const ChildResult r = show.wait(10000);
        EXPECT_EQ(r.exit_code, 1) << r.err;
        EXPECT_EQ(x.current_mode(), std::make_pair(1280, 1024));
    }
    std::vector<std::string> files() {
        std::vector<std::string> names;
        if (FILE* p = popen(("ls -1 " + folder).c_str(), "r")) {
            char line[512];
            while (fgets(line, sizeof line, p)) {
                std::string n = line;
                if (!n.empty() && n.back() == '\n') n.pop_back();
                names.push_back(n);
            }
            pclose(p);
        }
        return names;
    }
    static int lit(const std::vector<uint32_t>& pixels) {
        int n = 0;
        for (uint32_t p : pixels) n += p != 0;
        return n;
    }
    std::string folder;
};

TEST_F(Controls, AltEnterAndF11SwitchTheRunningShowToFullScreenAndBack) {
    Child show;
    const unsigned long window = start(show, {});
    ASSERT_NE(window, 0ul) << show.wait(0).err;
    key(window, "alt+Return");
    EXPECT_TRUE(x.wait_mode(640, 480, 5000)) << "full screen in the mode of zoom 2";
    EXPECT_TRUE(show.running());
    key(window, "alt+Return");
    EXPECT_TRUE(x.wait_mode(1280, 1024, 5000)) << "the desktop's mode back with the window";
    EXPECT_TRUE(soon([&] { return std::get<2>(x.window_rect(window)) == 640; }, 5000));
    const auto [wx, wy, ww, wh] = x.window_rect(window);
    EXPECT_EQ(std::make_pair(ww, wh), std::make_pair(640, 400));
    EXPECT_TRUE(soon([&] { return lit(x.pixels(wx, wy, ww, wh)) > 0; }, 5000)) << "the show goes on in the window";
    key(window, "F11");
    EXPECT_TRUE(x.wait_mode(640, 480, 5000));
    EXPECT_TRUE(show.running());
    // Ended in full screen: the desktop's mode comes back.
    end(show, window);
}

TEST_F(Controls, AShowStartedFullScreenSwitchesToItsWindow) {
    Child show;
    std::vector<std::string> env = x.child_env();
    ASSERT_TRUE(show.start({KELVORA_PROGRAM, "--fullscreen", "--no-sound"}, env));
    const unsigned long window = x.wait_window("kelvora", 20000);
    ASSERT_NE(window, 0ul) << show.wait(0).err;
    EXPECT_TRUE(x.wait_mode(640, 480, 5000));
    key(window, "F11");
    EXPECT_TRUE(x.wait_mode(1280, 1024, 5000));
    // The window of the zoom, centred on the desktop, resizable like any other.
    EXPECT_TRUE(soon([&] { return x.window_rect(window) == std::make_tuple(320, 312, 640, 400); }, 5000));
    const auto [wx, wy, ww, wh] = x.window_rect(window);
    EXPECT_EQ(std::make_tuple(wx, wy, ww, wh), std::make_tuple(320, 312, 640, 400));
    EXPECT_TRUE(soon([&] { return lit(x.pixels(wx, wy, ww, wh)) > 0; }, 5000));
    end(show, window);
}

TEST_F(Controls, AResizedWindowKeepsThePicturesShapeWithBlackAround) {
    Child show;
    // The picture at 35 s is lit along nearly all of its edges.
    const unsigned long window = start(show, {"--start", "35"});
    ASSERT_NE(window, 0ul) << show.wait(0).err;
    key(window, "space");
    // Each size below fits on the screen from its corner.
    ASSERT_TRUE(x.xdotool({"windowmove", std::to_string(window), "0", "0"}));
    struct Case {
        int w, h;        // the window's new size
        int px, py, pw, ph;  // where the 16:10 picture must be in it
    };
    for (const Case& c : {Case{1000, 400, 180, 0, 640, 400}, Case{640, 600, 0, 100, 640, 400},
                          Case{333, 500, 0, 146, 333, 208}}) {
        ASSERT_TRUE(x.xdotool({"windowsize", std::to_string(window), std::to_string(c.w), std::to_string(c.h)}));
        ASSERT_TRUE(soon([&] {
            const auto [wx, wy, ww, wh] = x.window_rect(window);
            return ww == c.w && wh == c.h;
        }, 5000));
        const auto [wx, wy, ww, wh] = x.window_rect(window);
        // Paused, the picture is shown again at every refresh in the new size: black
        // all around it, and its own edges lit but for the picture's own dark pixels
        // (a tenth at most: a picture a row or column short would leave a whole edge dark).
        int lit_outside = 0, dark_edge = 0;
        const int edge_pixels = 2 * c.pw + 2 * c.ph - 4;
        EXPECT_TRUE(soon(
            [&] {
                const std::vector<uint32_t> all = x.pixels(wx, wy, ww, wh);
                if (all.size() != size_t(ww) * size_t(wh)) return false;
                lit_outside = dark_edge = 0;
                for (int y = 0; y < wh; ++y)
                    for (int xx = 0; xx < ww; ++xx) {
                        const bool inside = xx >= c.px && xx < c.px + c.pw && y >= c.py && y < c.py + c.ph;
                        const bool edge = inside && (xx == c.px || xx == c.px + c.pw - 1 || y == c.py ||
                                                     y == c.py + c.ph - 1);
                        const bool on = all[size_t(y) * size_t(ww) + size_t(xx)] != 0;
                        lit_outside += !inside && on;
                        dark_edge += edge && !on;
                    }
                return lit_outside == 0 && dark_edge * 10 <= edge_pixels;
            },
            5000))
            << c.w << "x" << c.h << ": " << lit_outside << " lit outside, " << dark_edge << " dark on the edge";
    }
    end(show, window);
}

TEST_F(Controls, TheFourThreeAspectStartsTheWindowAtFourThree) {
    Child show;
    const unsigned long window = start(show, {"--aspect", "4:3", "--zoom", "1"});
    ASSERT_NE(window, 0ul) << show.wait(0).err;
    const auto [wx, wy, ww, wh] = x.window_rect(window);
    EXPECT_EQ(std::make_pair(ww, wh), std::make_pair(320, 240));
    end(show, window);
}

// Decodes an 8-bit RGB PNG whose rows use the filters None, Sub or Up; empty for
// anything else.
std::vector<uint32_t> decode_rgb_png(const std::string& path, int* w, int* h) {
    const std::vector<uint8_t> file = read_file_bytes(path);
    auto be32 = [&](size_t at) {
        return uint32_t(file[at]) << 24 | uint32_t(file[at + 1]) << 16 | uint32_t(file[at + 2]) << 8 | file[at + 3];
    };
    std::vector<uint8_t> idat;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t len = be32(at);
        if (len > file.size() - at - 12) return {};
        const std::string type(file.begin() + long(at) + 4, file.begin() + long(at) + 8);
        if (crc32(0, &file[at + 4], len + 4) != be32(at + 8 + len)) return {};
        if (type == "IHDR") {
            *w = int(be32(at + 8));
            *h = int(be32(at + 12));
            if (file[at + 16] != 8 || file[at + 17] != 2) return {};
        }
        if (type == "IDAT") idat.insert(idat.end(), file.begin() + long(at) + 8, file.begin() + long(at + 8 + len));
        at += 12 + len;
    }
    const size_t stride = size_t(*w) * 3;
    std::vector<uint8_t> raw((stride + 1) * size_t(*h));
    uLongf size = uLongf(raw.size());
    if (idat.empty() || uncompress(raw.data(), &size, idat.data(), uLong(idat.size())) != Z_OK || size != raw.size())
        return {};
    std::vector<uint8_t> rgb(stride * size_t(*h));
    for (size_t y = 0; y < size_t(*h); ++y) {
        const uint8_t filter = raw[y * (stride + 1)];
        for (size_t i = 0; i < stride; ++i) {
            const uint8_t v = raw[y * (stride + 1) + 1 + i];
            const uint8_t pred = filter == 1 && i >= 3 ? rgb[y * stride + i - 3] : filter == 2 && y > 0 ? rgb[(y - 1) * stride + i] : 0;
            if (filter > 2) return {};
            rgb[y * stride + i] = uint8_t(v + pred);
        }
    }
    std::vector<uint32_t> pixels(size_t(*w) * size_t(*h));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    return pixels;
}

TEST_F(Controls, SpaceHoldsThePictureAndF12WritesItAsAPng) {
    Child show;
    // The lens circles over the portrait at 36 s: every frame differs.
    const unsigned long window = start(show, {"--start", "36"});
    ASSERT_NE(window, 0ul) << show.wait(0).err;
    const auto [wx, wy, ww, wh] = x.window_rect(window);
    key(window, "space");
    usleep(300000);  // the last frame before the pause reaches the screen
    const std::vector<uint32_t> held = x.pixels(wx, wy, ww, wh);
    usleep(700000);
    EXPECT_EQ(x.pixels(wx, wy, ww, wh), held) << "paused: the picture stands still";

    key(window, "F12");
    ASSERT_TRUE(soon([&] { return !files().empty(); }, 5000));
    usleep(200000);  // written whole before anything else is looked at
    const std::vector<std::string> names = files();
    ASSERT_EQ(names.size(), 1u);
    // Named by the show time: a little after the start.
    unsigned s = 0, ms = 0;
    ASSERT_EQ(sscanf(names[0].c_str(), "kelvora-%3u.%3us.png", &s, &ms), 2) << names[0];
    EXPECT_GE(s * 1000 + ms, 36000u);
    EXPECT_LT(s * 1000 + ms, 41620u);
    int w = 0, h = 0;
    const std::vector<uint32_t> png = decode_rgb_png(folder + "/" + names[0], &w, &h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(640, 400));
    EXPECT_TRUE(png == held) << "the PNG is the picture on screen";
    // A second shot at the same paused moment takes the next name.
    key(window, "F12");
    EXPECT_TRUE(soon([&] { return files().size() == 2; }, 5000));

    key(window, "space");
    EXPECT_TRUE(soon([&] { return x.pixels(wx, wy, ww, wh) != held; }, 5000)) << "resumed";
    end(show, window);
}

}  // namespace
