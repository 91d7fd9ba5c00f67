// The fast audio decoder (decode_audio_run) against the plain predictor: random
// codes and symbol streams cut into runs at random points (so runs start and end
// anywhere in a channel's 32-byte period), every channel count, switches of the
// channel count between runs, the table switch symbol, and solid entries that
// continue an audio block mid-period.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "archive/audio_predictor.h"
#include "archive/huff_decoder.h"
#include "archive_builder.h"
#include "lz_stream_writer.h"
#include "reference_unpack.h"
#include "test_util.h"

using namespace testarc;

namespace {

// Code lengths for the 257 audio symbols: peaked around small errors as real sound
// gives (short codes, and codes longer than the 10-bit table), or flat.
std::vector<uint8_t> audio_lengths(std::mt19937& rng, bool peaked) {
    std::vector<uint64_t> f(257);
    for (uint32_t s = 0; s < 257; ++s) {
        int err = int(int8_t(uint8_t(s)));
        f[s] = peaked ? (1ull << 20) >> std::min(20, std::abs(err)) : 1 + rng() % 100;
        if (peaked && rng() % 4 == 0) f[s] = 0;  // some symbols absent
    }
    f[256] = 1 + rng() % 8;
    return lzw::huffman_lengths(f);
}

// A random symbol for channel c: a small error most of the time, or any value.
uint32_t random_symbol(std::mt19937& rng, const std::vector<uint8_t>& len) {
    for (;;) {
        uint32_t s = rng() % 4 ? uint32_t(int(rng() % 9) - 4) & 0xFF : rng() % 256;
        if (len[s]) return s;
    }
}

// Random predictor state, as a stream would leave it: the plain predictor run on
// random symbols with a random channel count.
AudioState random_state(std::mt19937& rng) {
    AudioState st{};
    st.channels = 1 + rng() % 4;
    int n = int(rng() % 600);
    for (int i = 0; i < n; ++i) {
        uint32_t s = rng() % 3 ? uint32_t(int(rng() % 41) - 20) & 0xFF : rng() % 256;
        refdec::plain_predict(st, s);
        st.current = (st.current + 1) % st.channels;
    }
    return st;
}

// Runs body once with the build of the run decoder the processor gets and once
// with the baseline build.
template <class Body>
void with_each_build(Body&& body) {
    for (bool baseline : {false, true}) {
        SCOPED_TRACE(baseline ? "baseline build" : "build chosen for this processor");
        audio_run_use_baseline(baseline);
        body();
    }
    audio_run_use_baseline(false);
}

TEST(AudioRun, MatchesThePlainPredictorInPieces) {
    with_each_build([] {
        std::mt19937 rng(2024);
        for (int round = 0; round < 300; ++round) {
            AudioState fast = random_state(rng);
            // A new channel count, as a code-length set sets it.
            fast.channels = 1 + rng() % 4;
            if (fast.current >= fast.channels) fast.current = 0;
            AudioState plain = fast;

            std::vector<uint8_t> len[4];
            std::vector<uint32_t> code[4];
            HuffDecoder dec[4];
            for (uint32_t c = 0; c < 4; ++c) {
                len[c] = audio_lengths(rng, round % 3 != 0);
                code[c] = lzw::canonical_codes(len[c]);
                build_decoder(len[c].data(), dec[c], 257);
            }

            // The stream: a few bits already read, then symbols in channel order, maybe
            // ending in the table switch.
            lzw::BitWriter bw;
            uint32_t lead = rng() % 8;
            bw.put(rng() & 0x7F, lead);
            std::vector<uint32_t> symbols;
            size_t count = rng() % 4000;
            bool ends_in_switch = rng() % 3 == 0;
            uint32_t ch = fast.current;
            for (size_t i = 0; i < count; ++i) {
                uint32_t s = random_symbol(rng, len[ch]);
                symbols.push_back(s);
                bw.put(code[ch][s], len[ch][s]);
                ch = (ch + 1) % fast.channels;
            }
            if (ends_in_switch) bw.put(code[ch][256], len[ch][256]);
            std::vector<uint8_t> in = bw.bytes;
            in.resize(in.size() + 16, 0);

            // Decode in runs of random lengths; after each, the bytes, the read position
            // and the whole state agree with the plain predictor.
            // Some runs are also bounded by a last bit where a symbol may start: they may
            // stop short of n, but never start a symbol past it.
            uint32_t bit = lead, want_bit = lead;
            size_t done = 0;
            bool switched = false;
            std::vector<uint8_t> out(count + 8);
            while (!switched && (done < count || ends_in_switch)) {
                size_t avail = count - done;
                size_t n = 1 + rng() % (rng() % 2 ? 7 : 300);
                if (!ends_in_switch) n = std::min(n, avail);  // past the symbols lie only zeros
                uint32_t last_start = rng() % 3 ? AUDIO_NO_INPUT_LIMIT : bit + rng() % 2000;
                size_t got = decode_audio_run(fast, dec, in.data(), &bit, out.data() + done, n, last_start, &switched);
                if (last_start == AUDIO_NO_INPUT_LIMIT) {
                    ASSERT_EQ(got, std::min(n, avail)) << round;
                    ASSERT_EQ(switched, ends_in_switch && n > avail) << round;
                }
                ASSERT_LE(got, std::min(n, avail)) << round;
                for (size_t i = 0; i < got; ++i) {
                    uint32_t c = plain.current;
                    ASSERT_LE(want_bit, last_start) << round;
                    ASSERT_EQ(out[done + i], refdec::plain_predict(plain, symbols[done + i])) << round << " " << done + i;
                    plain.current = (plain.current + 1) % plain.channels;
                    want_bit += len[c][symbols[done + i]];
                }
                if (switched) {
                    ASSERT_LE(want_bit, last_start) << round;
                }
                if (switched) want_bit += len[plain.current][256];
                done += got;
                ASSERT_EQ(bit, want_bit) << round;
                ASSERT_EQ(std::memcmp(&fast, &plain, sizeof fast), 0) << round << " after " << done;
            }
        }
    });
}

// Random audio symbols for n bytes in channel order from st.current, written with
// the writer's codes; st.current moves on as the decoder's will.
void write_audio(lzw::LzStreamWriter& w, std::mt19937& rng, AudioState& st, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t s = random_symbol(rng, w.audio_len[st.current]);
        w.audio_symbol(st.current, s);
        st.current = (st.current + 1) % st.channels;
    }
}

std::vector<uint8_t> audio_set(std::mt19937& rng, uint32_t channels) {
    std::vector<uint8_t> l;
    for (uint32_t c = 0; c < channels; ++c) {
        auto lc = audio_lengths(rng, true);
        l.insert(l.end(), lc.begin(), lc.end());
    }
    return l;
}

// A solid archive of three audio entries: the second continues the first's block
// mid-period on channel 1; the third switches from two channels to three and back
// to one inside the entry. Each entry extracts to what the plain reference gives.
TEST(AudioRun, SolidEntriesContinueTheAudioBlock) {
    with_each_build([] {
        std::mt19937 rng(77);
        for (int round = 0; round < 6; ++round) {
            AudioState st{};  // the writer's view of channel counts and the current channel
            lzw::LzStreamWriter w;
            st.channels = 2;
            w.tables(audio_set(rng, 2), true, 2);
            size_t n1 = 1001 + 2 * (rng() % 300);  // odd: the next entry starts on channel 1
            write_audio(w, rng, st, n1);
            auto s1 = w.finish();

            lzw::LzStreamWriter w2 = w;
            w2.bits = lzw::BitWriter{};
            size_t n2 = 20000 + rng() % 5000;  // several input refills
            write_audio(w2, rng, st, n2);
            auto s2 = w2.finish();

            lzw::LzStreamWriter w3 = w2;
            w3.bits = lzw::BitWriter{};
            size_t a = 300 + rng() % 200, b = 500 + rng() % 200, c = 100 + rng() % 100;
            write_audio(w3, rng, st, a);
            w3.audio_symbol(st.current, 256);
            st.channels = 3;
            w3.tables(audio_set(rng, 3), true, 3, rng() % 2);
            if (st.current >= 3) st.current = 0;
            write_audio(w3, rng, st, b);
            w3.audio_symbol(st.current, 256);
            st.channels = 1;
            st.current = 0;
            w3.tables(audio_set(rng, 1), true, 1, rng() % 2);
            write_audio(w3, rng, st, c);
            auto s3 = w3.finish();

            refdec::State ref;
            auto want1 = refdec::unpack(ref, s1, uint32_t(n1), false);
            auto want2 = refdec::unpack(ref, s2, uint32_t(n2), true);
            auto want3 = refdec::unpack(ref, s3, uint32_t(a + b + c), true);
            ASSERT_EQ(want1.size(), n1);
            ASSERT_EQ(want2.size(), n2);
            ASSERT_EQ(want3.size(), a + b + c);
            auto archive = Builder(0x0008)
                               .add(packed("one", s1, want1))
                               .add(packed("two", s2, want2, 0x0010))
                               .add(packed("three", s3, want3, 0x0010))
                               .bytes;
            auto r2 = extract(archive, "two");
            ASSERT_EQ(r2.ok, 1) << round;
            EXPECT_TRUE(r2.data == want2) << round;
            auto r3 = extract(archive, "three");
            ASSERT_EQ(r3.ok, 1) << round;
            EXPECT_TRUE(r3.data == want3) << round;
        }
    });
}

}  // namespace
