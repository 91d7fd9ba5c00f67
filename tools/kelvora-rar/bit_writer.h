// Most-significant-bit-first bit writer for the compressed stream, the order in
// which the decoder peeks its 16-bit windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rarw {

class BitWriter {
public:
    // Appends the low `count` bits of `value` (count 0..32), most significant first.
    void put(uint32_t value, unsigned count) {
        while (count > 0) {
            const unsigned take = count > 24 ? 24 : count;
            count -= take;
            const uint32_t part = (value >> count) & ((1u << take) - 1u);
            acc_ = (acc_ << take) | part;
            acc_bits_ += take;
            while (acc_bits_ >= 8) {
                acc_bits_ -= 8;
                bytes_.push_back(static_cast<uint8_t>(acc_ >> acc_bits_));
            }
            acc_ &= (1ull << acc_bits_) - 1u;
        }
    }

    // Appends everything another writer holds, bit for bit.
    void append(const BitWriter& other) {
        for (uint8_t b : other.bytes_) put(b, 8);
        if (other.acc_bits_ > 0) put(static_cast<uint32_t>(other.acc_), other.acc_bits_);
    }

    // Number of bits written so far.
    uint64_t bit_count() const { return bytes_.size() * 8ull + acc_bits_; }

    // Pads the last byte with zero bits and hands back the bytes; the writer is left empty.
    std::vector<uint8_t> finish() {
        if (acc_bits_ > 0) put(0, 8 - acc_bits_);
        std::vector<uint8_t> out;
        out.swap(bytes_);
        return out;
    }

private:
    std::vector<uint8_t> bytes_;
    uint64_t acc_ = 0;
    unsigned acc_bits_ = 0;
};

}  // namespace rarw
