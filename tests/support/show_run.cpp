// The headless show runner, the screen hash and the PNG writer; see show_run.h.
#include "show_run.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "app/driver.h"
#include "archive/crc32.h"
#include "archive/resources.h"
#include "display/display.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "scenes/scenes.h"
#include "scenes/timeline.h"

namespace {

PumpWatch pump_hook;

void forward_pump(void*) {
    if (pump_hook) pump_hook(headless_screen());
}

}  // namespace

void show_platform(PumpWatch on_pump, bool fullscreen, int zoom) {
    pump_hook = std::move(on_pump);
    HeadlessConfig c;
    c.frame_ms = SHOW_FRAME_MS;
    c.settings = RunSettings{fullscreen, false, 44100, zoom};
    c.on_pump = forward_pump;
    headless_install(c);
    static bool started = false;
    static RunSettings started_with;
    if (!started) {
        started = true;
        prepare_show();
    } else if (fullscreen == started_with.fullscreen && zoom == started_with.zoom) {
        return;
    } else {
        display_stop();
    }
    display_start(c.settings);
    started_with = c.settings;
}

void run_scene(int scene, PumpWatch on_pump) {
    show_platform(std::move(on_pump));
    scenes_reset_state();
    const int first = scene_first_cue[scene - 1];
    // Scene 1 opens cue 0 itself; every later scene increments into its first cue.
    cue_index = first > 0 ? first - 1 : 0;
    start_ticks = platform.sys->ticks() - (first > 0 ? cue_table[first - 1] : 0);
    scene_entry[scene - 1]();
    pump_hook = nullptr;
}

void run_whole_show(PumpWatch on_pump, bool fullscreen, int zoom) {
    show_platform(std::move(on_pump), fullscreen, zoom);
    scenes_reset_state();
    cue_index = 0;
    start_ticks = platform.sys->ticks();
    play_scenes();
    pump_hook = nullptr;
}

uint64_t screen_hash(const HeadlessScreen& s) {
    uint64_t h = 0xcbf29ce484222325ull;
    auto add = [&h](uint8_t b) { h = (h ^ b) * 0x100000001b3ull; };
    for (uint8_t b : s.frame) add(b);
    for (uint32_t c : s.rgb) {
        add(uint8_t(c >> 16));
        add(uint8_t(c >> 8));
        add(uint8_t(c));
    }
    return h;
}

namespace {

void put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}

void chunk(FILE* f, const char* type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    std::vector<uint8_t> head;
    put32(head, uint32_t(data.size()));
    std::vector<uint8_t> tail;
    put32(tail, ~crc32_add(0xFFFFFFFFu, body.data(), body.size()));
    fwrite(head.data(), 1, head.size(), f);
    fwrite(body.data(), 1, body.size(), f);
    fwrite(tail.data(), 1, tail.size(), f);
}

}  // namespace

bool write_png(const char* path, const uint32_t* pixels, int w, int h, int scale) {
    const int W = w * scale, H = h * scale;
    std::vector<uint8_t> raw;
    raw.reserve(size_t(H) * (W * 3 + 1));
    for (int y = 0; y < H; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < W; ++x) {
            const uint32_t c = pixels[(y / scale) * w + x / scale];
            raw.push_back(uint8_t(c >> 16));
            raw.push_back(uint8_t(c >> 8));
            raw.push_back(uint8_t(c));
        }
    }
    // zlib stream of stored blocks, Adler-32 at the end.
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size();) {
        const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
        at += n;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, b << 16 | a);

    FILE* f = fopen(path, "wb");
    if (!f) return false;
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    fwrite(signature, 1, 8, f);
    std::vector<uint8_t> ihdr;
    put32(ihdr, uint32_t(W));
    put32(ihdr, uint32_t(H));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    chunk(f, "IHDR", ihdr);
    chunk(f, "IDAT", z);
    chunk(f, "IEND", {});
    return fclose(f) == 0;
}
