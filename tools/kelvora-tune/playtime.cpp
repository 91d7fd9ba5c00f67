// Row timing, expression counts and channel solos; see playtime.h.
#include "playtime.h"

#include <algorithm>

namespace tune {

int64_t tick_frames(int rate, int bpm) { return int64_t(rate) * 5 / (2 * int64_t(bpm)); }

std::vector<RowStart> row_starts(const xm::Module& m, int rate) {
    std::vector<RowStart> starts;
    int speed = m.speed, bpm = m.bpm;
    int64_t frame = 0;
    for (size_t o = 0; o < m.orders.size(); ++o) {
        const xm::Pattern& p = m.patterns[m.orders[o]];
        for (int r = 0; r < p.rows; ++r) {
            int delay = 0;
            for (int c = 0; c < m.channels; ++c) {
                const xm::Cell& cell = p.cells[size_t(r) * size_t(m.channels) + size_t(c)];
                if (cell.effect == 0xF && cell.param != 0) {
                    if (cell.param < 32) speed = cell.param;
                    else bpm = cell.param;
                } else if (cell.effect == 0xE && (cell.param >> 4) == 0xE) {
                    delay = std::max(delay, cell.param & 0xF);
                }
            }
            starts.push_back({int(o), r, frame});
            frame += int64_t(speed) * (1 + delay) * tick_frames(rate, bpm);
        }
    }
    starts.push_back({int(m.orders.size()), 0, frame});
    return starts;
}

int64_t frame_of(const std::vector<RowStart>& starts, int order, int row) {
    for (const RowStart& s : starts)
        if (s.order == order && s.row == row) return s.frame;
    return -1;
}

namespace {

bool expressive_effect(uint8_t effect, uint8_t param) {
    switch (effect) {
        case 0x0: return param != 0;                            // arpeggio
        case 0x1: case 0x2: case 0x3: case 0x4: case 0x5: case 0x6: case 0xA:
            return true;                                        // slides, vibrato
        case 0x1B: return true;                                 // Rxy retrigger
        case 0xE: {
            const int sub = param >> 4;
            return sub == 0x1 || sub == 0x2 || sub == 0x9 || sub == 0xA || sub == 0xB || sub == 0xD;
        }
        default: return false;
    }
}

bool expressive_volume(uint8_t v) {
    return (v >= 0x60 && v <= 0x9F) || (v >= 0xA0 && v <= 0xBF) || v >= 0xF0;
}

}  // namespace

ExpressionCount count_expression(const xm::Module& m) {
    ExpressionCount n;
    for (uint8_t order : m.orders) {
        const xm::Pattern& p = m.patterns[order];
        n.rows += p.rows;
        for (const xm::Cell& c : p.cells)
            n.commands += int(expressive_effect(c.effect, c.param)) + int(expressive_volume(c.volume));
    }
    return n;
}

xm::Module keep_channels(const xm::Module& m, const std::vector<int>& channels) {
    xm::Module out = m;
    for (xm::Pattern& p : out.patterns)
        for (size_t i = 0; i < p.cells.size(); ++i) {
            const int c = int(i % size_t(m.channels));
            if (std::find(channels.begin(), channels.end(), c) != channels.end()) continue;
            xm::Cell& cell = p.cells[i];
            const bool tempo = cell.effect == 0xF || (cell.effect == 0xE && (cell.param >> 4) == 0xE);
            cell = tempo ? xm::Cell{0, 0, 0, cell.effect, cell.param} : xm::Cell{};
        }
    return out;
}

}  // namespace tune
