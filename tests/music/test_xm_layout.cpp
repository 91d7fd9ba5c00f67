// The extended-module size walk: the composed soundtrack is whole, every cut of it
// is caught, forged sizes never send the walk outside the file, other files are
// foreign.
#include <gtest/gtest.h>

#include <vector>

#include "music/xm_layout.h"
#include "music_test_util.h"

namespace {

XmLayout layout_of(const std::vector<uint8_t>& v) { return check_xm_layout(v.data(), v.size()); }

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int k = 0; k < 4; ++k) v[at + size_t(k)] = uint8_t(x >> (8 * k));
}

TEST(XmLayout, TheSoundtrackIsWholeAndEveryCutOfItIsCaught) {
    const std::vector<uint8_t>& xm = composed_module();
    EXPECT_EQ(layout_of(xm), XmLayout::complete);
    std::vector<uint8_t> longer = xm;
    longer.resize(xm.size() + 100, 0xEE);  // bytes after the last sample are allowed
    EXPECT_EQ(layout_of(longer), XmLayout::complete);
    // Cuts through the header, the patterns, the instruments and the sample data.
    for (size_t cut = 17; cut < xm.size(); cut += cut < 4096 ? 1 : 997) {
        std::vector<uint8_t> part(xm.begin(), xm.begin() + long(cut));
        ASSERT_EQ(layout_of(part), XmLayout::truncated) << "cut at " << cut << " of " << xm.size();
    }
    std::vector<uint8_t> last_byte_gone(xm.begin(), xm.end() - 1);
    EXPECT_EQ(layout_of(last_byte_gone), XmLayout::truncated);
}

TEST(XmLayout, ForgedSizesStayInsideTheFile) {
    const std::vector<uint8_t>& xm = composed_module();
    // The song header's length, the first pattern's header and packed size, and the
    // counts, each at its largest.
    const uint32_t header = uint32_t(xm[60]) | uint32_t(xm[61]) << 8;
    const size_t pattern = 60 + header;
    for (auto forge : std::vector<std::pair<size_t, uint32_t>>{
             {60, 0xFFFFFFFFu}, {60, 0}, {pattern, 0xFFFFFFFFu}, {pattern, 0}, {pattern + 7, 0xFFFFu}}) {
        std::vector<uint8_t> v = xm;
        if (forge.first == pattern + 7) {
            v[pattern + 7] = v[pattern + 8] = 0xFF;
        } else {
            put32(v, forge.first, forge.second);
        }
        EXPECT_EQ(layout_of(v), XmLayout::truncated) << forge.first << " = " << forge.second;
    }
    std::vector<uint8_t> counts = xm;
    counts[70] = counts[71] = 0xFF;  // 65535 patterns
    EXPECT_EQ(layout_of(counts), XmLayout::truncated);
    counts = xm;
    counts[72] = counts[73] = 0xFF;  // 65535 instruments
    EXPECT_EQ(layout_of(counts), XmLayout::truncated);
    // Every 32-bit field in the first 4 KiB set to its largest value in turn: the
    // walk may say anything but complete for most, and must never read outside.
    for (size_t at = 60; at + 4 <= 4096 && at + 4 <= xm.size(); ++at) {
        std::vector<uint8_t> v(xm.begin(), xm.end());
        put32(v, at, 0xFFFFFFFFu);
        (void)layout_of(v);
    }
}

TEST(XmLayout, OtherFilesAreForeign) {
    EXPECT_EQ(layout_of({}), XmLayout::foreign);
    const std::string wav = "RIFF\x24\x00\x00\x00WAVEfmt ";
    EXPECT_EQ(layout_of(std::vector<uint8_t>(wav.begin(), wav.end())), XmLayout::foreign);
    const std::string almost = "Extended Module";
    EXPECT_EQ(layout_of(std::vector<uint8_t>(almost.begin(), almost.end())), XmLayout::foreign);
    const std::string head_only = "Extended Module: ";
    EXPECT_EQ(layout_of(std::vector<uint8_t>(head_only.begin(), head_only.end())), XmLayout::truncated);
}

}  // namespace
