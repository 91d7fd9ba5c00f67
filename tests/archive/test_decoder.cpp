// The decompressor and the audio predictor: hand-assembled streams for each match
// kind and table switch, solid continuation, the window wrap, the overrun guard,
// and the fast decoder checked against the plain reference on random streams.
#include <gtest/gtest.h>

#include <random>

#include "archive/audio_predictor.h"
#include "archive/huff_decoder.h"
#include "archive_builder.h"
#include "lz_stream_writer.h"
#include "reference_unpack.h"
#include "test_util.h"

using namespace testarc;
using lzw::LzStreamWriter;

namespace {

std::vector<uint8_t> text(const char* s) { return bytes_of(s); }

// Extracts a one-entry archive holding this stream and expecting this content.
Result unpack_one(const std::vector<uint8_t>& stream, const std::vector<uint8_t>& expected) {
    return extract(Builder().add(packed("e", stream, expected)).bytes, "e");
}

LzStreamWriter flat_writer() {
    LzStreamWriter w;
    w.tables(LzStreamWriter::flat_lz_lengths());
    return w;
}

TEST(Decoder, LiteralsAndShortDistanceRepeat) {
    auto w = flat_writer();
    w.literal('x');
    w.literal('a');
    w.match(10, 1);  // distance 1 repeats the last byte
    w.short_match(2);
    auto r = unpack_one(w.finish(), text("xaaaaaaaaaaaaa"));
    EXPECT_EQ(r.ok, 1);
    EXPECT_EQ(r.data, text("xaaaaaaaaaaaaa"));
}

// Distances past what was written read the zeroed window, which makes the copied
// length easy to see: the decoder adds one byte at 0x2000 and two at 0x40000 for
// a new match, up to three for a recent distance, none for a repeated match.
TEST(Decoder, LengthAdjustmentsForLargeDistances) {
    struct Case {
        uint32_t dist, copied;
    };
    for (Case c : {Case{0x1FFF, 5}, Case{0x2000, 6}, Case{0x3FFFF, 6}, Case{0x40000, 7}}) {
        LzStreamWriter w = flat_writer();
        w.literal('A');
        // match() takes the copied length and codes 5 for each of these.
        w.match(c.copied, c.dist);
        w.literal('B');
        std::vector<uint8_t> want = {'A'};
        want.insert(want.end(), c.copied, 0);
        want.push_back('B');
        EXPECT_EQ(unpack_one(w.finish(), want).data, want) << c.dist;
    }
    // Recent distances: 0x100 none, 0x101 one, 0x2000 two, 0x40000 three. The
    // repeat of the last match (symbol 256) copies exactly the last length.
    for (uint32_t dist : {0x100u, 0x101u, 0x2000u, 0x40000u}) {
        LzStreamWriter w = flat_writer();
        w.literal('A');
        uint32_t first = 7;
        w.match(first, dist);
        uint32_t extra = (dist >= 0x101) + (dist >= 0x2000) + (dist >= 0x40000);
        w.recent(1, 4 + extra, dist);  // coded length 4
        w.repeat_last();
        std::vector<uint8_t> want = {'A'};
        want.insert(want.end(), first + (4 + extra) * 2, 0);
        EXPECT_EQ(unpack_one(w.finish(), want).data, want) << dist;
    }
}

TEST(Decoder, RecentDistanceRingAndRepeatAfterReset) {
    auto w = flat_writer();
    w.repeat_last();  // nothing before it: length 0 at distance 0 writes nothing
    for (char c : std::string("abcdefgh")) w.literal(uint8_t(c));
    w.match(3, 8);            // abc   ring: 0 8
    w.match(3, 4);            // bca?  ring: 0 8 4
    w.recent(2, 2, 8);        // distance 8 again
    w.recent(1, 3, 8);        // the latest is 8 now
    w.repeat_last();          // same length and distance again
    std::string want = "abcdefgh";
    auto copy = [&](size_t len, size_t dist) {
        for (size_t i = 0; i < len; ++i) want.push_back(want[want.size() - dist]);
    };
    copy(3, 8);
    copy(3, 4);
    copy(2, 8);
    copy(3, 8);
    copy(3, 8);
    EXPECT_EQ(unpack_one(w.finish(), bytes_of(want)).data, bytes_of(want));
}

TEST(Decoder, KeepBitCodesLengthsAsDifferences) {
    for (bool keep : {false, true}) {
        auto w = flat_writer();
        w.literal('p');
        // A second set: literals get 8 or 10 bits, the rest stays.
        auto lengths = LzStreamWriter::flat_lz_lengths();
        for (int s = 0; s < 128; ++s) lengths[s] = 8;
        for (int s = 128; s < 298; ++s) lengths[s] = 10;
        w.use_runs = !keep;
        w.switch_tables(lengths, false, 1, keep);
        w.literal('q');
        w.literal(200);
        w.match(4, 2);
        std::vector<uint8_t> want = {'p', 'q', 200, 'q', 200, 'q', 200};
        EXPECT_EQ(unpack_one(w.finish(), want).data, want) << keep;
    }
}

TEST(Decoder, AudioChannelsAlternateAndSwitchBack) {
    std::vector<uint8_t> ch0(257, 9), ch1(257, 9);
    for (int s = 0; s < 128; ++s) ch1[s] = 8;  // a different code for channel 1
    std::vector<uint8_t> two = ch0;
    two.insert(two.end(), ch1.begin(), ch1.end());

    std::vector<uint8_t> want = {10, 200, 12, 190, 14, 60, 61, 62};
    AudioState st{};
    st.channels = 2;
    auto first = lzw::audio_symbols({want.begin(), want.begin() + 5}, 2, st);  // ends on channel 1
    st.channels = 1;
    st.current = 0;  // a one-channel set moves channel 1 back to 0
    auto second = lzw::audio_symbols({want.begin() + 5, want.end()}, 1, st);

    LzStreamWriter w;
    w.tables(two, true, 2);
    for (size_t i = 0; i < first.size(); ++i) w.audio_symbol(i % 2, first[i]);
    w.audio_symbol(1, 256);  // the table switch, in channel 1's code
    w.tables(ch1, true, 1);
    for (uint8_t s : second) w.audio_symbol(0, s);
    EXPECT_EQ(unpack_one(w.finish(), want).data, want);
}

TEST(Decoder, EntriesOverOneMegabyteCrossTheWindowWrap) {
    std::vector<uint8_t> data;
    std::mt19937 rng(7);
    while (data.size() < 1300000) {
        if (data.size() > 5000 && rng() % 3 == 0) {
            size_t from = data.size() - 1 - rng() % std::min<size_t>(data.size() - 1, 900000);
            size_t n = 3 + rng() % 300;
            for (size_t i = 0; i < n; ++i) data.push_back(data[from + i]);
        } else {
            for (int i = 0; i < 50; ++i) data.push_back(uint8_t(rng() % 32 + 'A'));
        }
    }
    auto r = unpack_one(lzw::compress_lz(data, 4), data);
    EXPECT_EQ(r.ok, 1);
    EXPECT_TRUE(r.data == data);
    // The same in audio mode, three channels.
    auto a = unpack_one(lzw::compress_audio(data, 3), data);
    EXPECT_EQ(a.ok, 1);
    EXPECT_TRUE(a.data == data);
}

// Match copies of every short length against sources behind (overlapping or not)
// and ahead of the write position (old bytes of the window, past its wrap), each
// followed by a literal so a copy that writes too far shows.
TEST(Decoder, ShortAndOverlappingCopiesMatchTheReference) {
    std::mt19937 rng(5);
    auto w = flat_writer();
    uint32_t produced = 0;
    for (; produced < 0x100000 + 4000; ++produced) w.literal(uint8_t(rng()));
    for (uint32_t len = 5; len <= 40; ++len) {
        for (uint32_t dist : {1u, 2u, 3u, 4u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 32u, 33u, len - 1, len, len + 1,
                              0x100000u - len + 1, 0x100000u - 20, 0x100000u - 8, 0x100000u - 1, 0x100000u}) {
            w.match(len, dist);
            w.literal(uint8_t(rng()));
            produced += len + 1;
        }
    }
    auto stream = w.finish();
    refdec::State ref;
    auto want = refdec::unpack(ref, stream, produced, false);
    ASSERT_EQ(want.size(), produced);
    auto r = unpack_one(stream, want);
    EXPECT_EQ(r.ok, 1);
    EXPECT_TRUE(r.data == want);
}

TEST(Decoder, OverrunGuardStopsAtTheUnpackedSize) {
    LogFolder log;
    auto w = flat_writer();
    w.literal('a');
    w.literal('b');
    w.match(40, 2);  // runs 37 bytes past the declared 5
    Entry e = packed("e", w.finish(), text("ababa"));
    auto r = extract(Builder().add(e).bytes, "e");
    EXPECT_EQ(r.ok, 0);
    EXPECT_TRUE(log.has("Fatal! Buffer overrun during decompression!"));
}

TEST(Decoder, SolidEntriesContinueTheState) {
    // First entry: text, then a table switch at its very end, which the final
    // check reads so the second entry starts with the new codes.
    auto w1 = flat_writer();
    for (char c : std::string("the solid state ")) w1.literal(uint8_t(c));
    auto next = LzStreamWriter::flat_lz_lengths();
    for (int s = 0; s < 298; ++s) next[s] = s < 64 ? 8 : 10;  // a different code
    w1.switch_tables(next, false, 1, true);
    auto w2 = LzStreamWriter{};
    w2.tables(next);  // the writer's view of the codes now in force; not sent
    w2.bits = lzw::BitWriter{};
    w2.match(16, 16);  // copies the first entry's bytes
    w2.literal('!');
    auto first = text("the solid state ");
    auto second = text("the solid state !");
    auto a = Builder(0x0008)
                 .add(packed("one", w1.finish(), first))
                 .add(packed("two", w2.finish(), second, 0x0010))
                 .bytes;
    EXPECT_EQ(extract(a, "two").data, second);
    EXPECT_EQ(extract(a, "one").data, first);
    // The same continued entry in a call of its own starts clean and fails.
    auto alone = Builder(0x0008).add(packed("two", w2.finish(), second, 0x0010)).bytes;
    EXPECT_EQ(extract(alone, "two").ok, 0);
}

// Random valid streams (fitted codes up to 15 bits, every match kind, switches
// with and without the keep bit, audio blocks): the fast decoder gives exactly
// what the plain reference gives.
TEST(Decoder, MatchesThePlainReferenceOnRandomStreams) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 60; ++round) {
        LzStreamWriter w;
        uint32_t ring[4] = {}, ring_i = 0, last_dist = 0, last_len = 0, produced = 0;
        auto random_lz = [&]() {
            std::vector<uint64_t> f(374);
            for (auto& x : f) x = rng() % 4 == 0 ? 0 : 1 + rng() % (1u << (rng() % 16));
            auto l = lzw::huffman_lengths({f.begin(), f.begin() + 298});
            auto d = lzw::huffman_lengths({f.begin() + 298, f.begin() + 346});
            auto r = lzw::huffman_lengths({f.begin() + 346, f.end()});
            l.insert(l.end(), d.begin(), d.end());
            l.insert(l.end(), r.begin(), r.end());
            return l;
        };
        auto has = [](const std::vector<uint8_t>& l, size_t s) { return l[s] != 0; };
        AudioState ast{};
        // New tables after a switch symbol: audio with 1..4 channels whose symbol
        // weights run up to weight_range, or a random LZ set.
        auto switch_tables = [&](bool to_audio, uint32_t weight_range) {
            if (!to_audio) {
                w.tables(random_lz(), false, 1, rng() % 2);
                return;
            }
            uint32_t ch = 1 + rng() % 4;
            std::vector<uint8_t> l;
            for (uint32_t k = 0; k < ch; ++k) {
                std::vector<uint64_t> f(257);
                for (auto& x : f) x = 1 + rng() % weight_range;
                auto lk = lzw::huffman_lengths(f);
                l.insert(l.end(), lk.begin(), lk.end());
            }
            w.tables(l, true, ch, rng() % 2);
            ast.channels = ch;
            if (ast.current >= ch) ast.current = 0;
        };
        bool audio = false;
        w.tables(random_lz());
        int ops = 200 + int(rng() % 2000);
        for (int op = 0; op < ops; ++op) {
            int kind = int(rng() % 100);
            if (audio) {
                uint32_t c = ast.current;
                if (kind < 3 && has(w.audio_len[c], 256)) {
                    w.audio_symbol(c, 256);
                    audio = rng() % 2;
                    switch_tables(audio, 50);
                    continue;
                }
                uint32_t s = rng() % 256;
                if (!has(w.audio_len[c], s)) continue;
                w.audio_symbol(c, s);
                if (++ast.current >= ast.channels) ast.current = 0;
                ++produced;
                continue;
            }
            const auto& L = w.lit_len;
            uint32_t len = 0, dist = 0;
            if (kind < 50) {
                uint32_t s = rng() % 256;
                if (!has(L, s)) continue;
                w.literal(uint8_t(s));
                ++produced;
                continue;
            } else if (kind < 70) {
                dist = 1 + rng() % (rng() % 2 ? 300 : 0x100000);
                uint32_t adj = (dist >= 0x2000) + (dist >= 0x40000);
                len = 3 + adj + rng() % 256;
                uint32_t l = len - adj - 3, k = 27, d = 47;
                while (lzw::length_base[k] > l) --k;
                while (lzw::dist_base(d) > dist - 1) --d;
                if (!has(L, 270 + k) || !has(w.dist_len, d)) continue;
                w.match(len, dist);
            } else if (kind < 78) {
                if (!has(L, 256)) continue;
                w.repeat_last();
                len = last_len;
                dist = last_dist;
            } else if (kind < 90) {
                uint32_t back = 1 + rng() % 4;
                dist = ring[(ring_i - back) & 3];
                uint32_t adj = (dist >= 0x101) + (dist >= 0x2000) + (dist >= 0x40000);
                len = 2 + adj + rng() % 256;
                uint32_t l = len - adj - 2, r = 27;
                while (lzw::length_base[r] > l) --r;
                if (!has(L, 256 + back) || !has(w.rep_len, r)) continue;
                w.recent(back, len, dist);
            } else if (kind < 97) {
                dist = 1 + rng() % 256;
                uint32_t v = dist - 1, k = 7;
                while (lzw::short_base[k] > v) --k;
                if (!has(L, 261 + k)) continue;
                w.short_match(dist);
                len = 2;
            } else {
                if (!has(L, 269)) continue;
                audio = rng() % 3 == 0;
                w.lit_symbol(269);
                switch_tables(audio, 1000);
                continue;
            }
            ring[ring_i++ & 3] = dist;
            last_dist = dist;
            last_len = len;
            produced += len;
        }
        auto stream = w.finish();
        refdec::State ref;
        auto want = refdec::unpack(ref, stream, produced, false);
        ASSERT_EQ(want.size(), produced) << round;
        auto r = unpack_one(stream, want);
        ASSERT_EQ(r.ok, 1) << round;
        ASSERT_TRUE(r.data == want) << round;
    }
}

// Hostile input: random data areas and random code-length sets never read or
// write outside a buffer and always end.
TEST(DecoderMends, HostileStreamsEndCleanly) {
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        auto junk = pattern(1 + rng() % 3000, rng());
        std::vector<uint8_t> want(rng() % 20000, 0);
        auto a = Builder(rng() % 2 ? 0x0008 : 0)
                     .add(packed("a", junk, want))
                     .add(packed("b", pattern(rng() % 200, rng()), want, 0x0010))
                     .bytes;
        extract(a, rng() % 2 ? "a" : "b");
    }
    // A stream of nothing but table switches, then zeros past its end: decoding
    // stops once it runs past the data.
    LzStreamWriter w;
    std::vector<uint8_t> only_switch(374, 0);
    only_switch[269] = 1;
    only_switch[0] = 1;
    w.tables(only_switch);
    for (int i = 0; i < 10; ++i) w.switch_tables(only_switch, false, 1, true);
    EXPECT_EQ(unpack_one(w.finish(), std::vector<uint8_t>(1000, 0)).ok, 0);
}

TEST(Huffman, FastTableAgreesWithTheLimits) {
    std::mt19937 rng(5);
    HuffDecoder d;
    for (int round = 0; round < 200; ++round) {
        uint32_t count = 1 + rng() % 298;
        std::vector<uint8_t> len(count);
        int style = round % 4;
        for (auto& l : len) {
            if (style == 0) l = uint8_t(rng() % 16);                 // anything, even over-full
            else if (style == 1) l = uint8_t(rng() % 3 ? 0 : 15);    // long codes only
            else if (style == 2) l = 0;                              // empty
            else l = uint8_t(rng() % 2 ? 4 + rng() % 4 : 11 + rng() % 5);
        }
        build_decoder(len.data(), d, count);
        for (uint32_t b = 0; b < 0x10000; ++b) {
            uint32_t fast = decode_fast(d, b), slow = decode_slow(d, b);
            ASSERT_EQ(fast, slow) << round << " " << b;
            ASSERT_LT(fast >> 4, std::max<uint32_t>(count, 1));
        }
    }
}

TEST(AudioPredictor, StartsFromZeroAndKeepsTheRawValue) {
    AudioState st{};
    st.channels = 1;
    EXPECT_EQ(predict_audio_byte(st, 0), 0);
    st = AudioState{};
    st.channels = 1;
    EXPECT_EQ(predict_audio_byte(st, 1), 255);
    EXPECT_EQ(st.channel[0].last_byte, -1);
    EXPECT_EQ(st.cross_delta, -1);
}

TEST(AudioPredictor, AgreesWithThePlainReading) {
    std::mt19937 rng(11);
    AudioState fast{}, plain{};
    fast.channels = plain.channels = 3;
    for (int i = 0; i < 300000; ++i) {
        uint32_t s = i % 7000 < 3500 ? rng() % 256 : uint32_t(int(rng() % 9) - 4) & 0xFF;
        ASSERT_EQ(predict_audio_byte(fast, s), refdec::plain_predict(plain, s)) << i;
        fast.current = plain.current = (fast.current + 1) % 3;
    }
    ASSERT_EQ(std::memcmp(&fast, &plain, sizeof fast), 0);
}

TEST(AudioPredictor, WeightsStayInRangeAndTiesChangeNothing) {
    AudioState st{};
    st.channels = 1;
    for (int i = 0; i < 64; ++i) predict_audio_byte(st, 0);  // all error sums 0: a tie
    for (int k = 0; k < 5; ++k) EXPECT_EQ(st.channel[0].weight[k], 0);
    std::mt19937 rng(3);
    for (int i = 0; i < 200000; ++i) {
        predict_audio_byte(st, rng() % 256);
        for (int k = 0; k < 5; ++k) {
            ASSERT_GE(st.channel[0].weight[k], -17);
            ASSERT_LE(st.channel[0].weight[k], 16);
        }
    }
}

}  // namespace
