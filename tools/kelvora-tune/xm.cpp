// The XM writer; see xm.h. All numbers are little-endian.
#include "xm.h"

#include <cstring>

namespace xm {
namespace {

struct Out {
    std::vector<uint8_t> bytes;
    void u8(uint32_t v) { bytes.push_back(uint8_t(v)); }
    void u16(uint32_t v) {
        u8(v & 0xFF);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // A fixed-width text field, zero padded, cut to fit.
    void text(const std::string& s, size_t width) {
        for (size_t i = 0; i < width; ++i) u8(i < s.size() ? uint8_t(s[i]) : 0);
    }
    void zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
};

void write_pattern(Out& out, const Pattern& p, int channels) {
    Out data;
    for (int r = 0; r < p.rows; ++r) {
        for (int c = 0; c < channels; ++c) {
            const Cell& cell = p.cells[size_t(r) * size_t(channels) + size_t(c)];
            // Packed form: a flag byte with bit 7 set says which fields follow.
            uint8_t flags = 0x80;
            if (cell.note) flags |= 1;
            if (cell.instrument) flags |= 2;
            if (cell.volume) flags |= 4;
            if (cell.effect) flags |= 8;
            if (cell.param) flags |= 16;
            data.u8(flags);
            if (cell.note) data.u8(cell.note);
            if (cell.instrument) data.u8(cell.instrument);
            if (cell.volume) data.u8(cell.volume);
            if (cell.effect) data.u8(cell.effect);
            if (cell.param) data.u8(cell.param);
        }
    }
    out.u32(9);  // pattern header length
    out.u8(0);   // packing type
    out.u16(uint32_t(p.rows));
    out.u16(uint32_t(data.bytes.size()));
    out.bytes.insert(out.bytes.end(), data.bytes.begin(), data.bytes.end());
}

void write_instrument(Out& out, const Instrument& ins) {
    out.u32(263);  // instrument header size, this field included
    out.text(ins.name, 22);
    out.u8(0);     // type
    out.u16(1);    // samples
    out.u32(40);   // sample header size
    out.zeros(96); // every key plays sample 0
    for (int i = 0; i < 12; ++i) {
        const bool used = size_t(i) < ins.volume.points.size();
        out.u16(used ? ins.volume.points[size_t(i)].tick : 0);
        out.u16(used ? ins.volume.points[size_t(i)].value : 0);
    }
    out.zeros(48);  // panning envelope: unused
    out.u8(uint32_t(ins.volume.points.size()));
    out.u8(0);
    out.u8(ins.volume.sustain < 0 ? 0 : uint32_t(ins.volume.sustain));
    out.u8(0);  // volume loop start
    out.u8(0);  // volume loop end
    out.zeros(3);  // panning sustain, loop start, loop end
    uint8_t type = 0;
    if (!ins.volume.points.empty()) type |= 1;
    if (!ins.volume.points.empty() && ins.volume.sustain >= 0) type |= 2;
    out.u8(type);
    out.u8(0);  // panning type
    out.u8(ins.vibrato_type);
    out.u8(ins.vibrato_sweep);
    out.u8(ins.vibrato_depth);
    out.u8(ins.vibrato_rate);
    out.u16(ins.fadeout);
    out.zeros(22);  // reserved

    const Sample& s = ins.sample;
    // Lengths and loop points are in bytes; samples are 16-bit.
    out.u32(uint32_t(s.data.size() * 2));
    out.u32(s.loop_length ? s.loop_start * 2 : 0);
    out.u32(s.loop_length * 2);
    out.u8(s.volume);
    out.u8(uint8_t(s.finetune));
    out.u8((s.loop_length ? (s.pingpong ? 2 : 1) : 0) | 0x10);  // forward or ping-pong loop, 16-bit
    out.u8(s.panning);
    out.u8(uint8_t(s.relative_note));
    out.u8(0);  // reserved
    out.text(s.name, 22);

    // Sample data: each value stored as the difference from the one before, wrapping
    // modulo 2^16.
    uint16_t previous = 0;
    for (int16_t v : s.data) {
        const uint16_t now = uint16_t(v);
        out.u16(uint16_t(now - previous));
        previous = now;
    }
}

}  // namespace

std::vector<uint8_t> write(const Module& m) {
    Out out;
    out.text("Extended Module: ", 17);
    out.text(m.name, 20);
    out.u8(0x1A);
    out.text("kelvora-tune", 20);
    out.u16(0x0104);
    out.u32(20 + 256);  // header size, counted from this field
    out.u16(uint32_t(m.orders.size()));
    out.u16(0);  // restart position
    out.u16(uint32_t(m.channels));
    out.u16(uint32_t(m.patterns.size()));
    out.u16(uint32_t(m.instruments.size()));
    out.u16(1);  // linear frequency table
    out.u16(uint32_t(m.speed));
    out.u16(uint32_t(m.bpm));
    for (size_t i = 0; i < 256; ++i) out.u8(i < m.orders.size() ? m.orders[i] : 0);
    for (const Pattern& p : m.patterns) write_pattern(out, p, m.channels);
    for (const Instrument& ins : m.instruments) write_instrument(out, ins);
    return out.bytes;
}

}  // namespace xm
