// The arranger; see arrange.h. Parts are generated from the section's chords in
// the style its score line names (bass, pad, arp), or played from melodies (lead,
// counter, bell), or from grooves (drums). The expression a tracker musician would
// type is written here too: slides into slurred notes, vibrato on long ones, decays
// by volume slide, accents on the beat, snare rolls by retrigger, swing by note
// delay. The lead gets a quieter echo three rows later on a channel of its own.
#include "arrange.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "playtime.h"
#include "synth.h"

namespace tune {

const int mix_rates[4] = {44100, 48000, 22050, 11025};
const double timing_tolerance[4] = {0.010, 0.010, 0.025, 0.025};

namespace {

constexpr int rows_per_beat = 4;
constexpr int speed = 6;
constexpr int pattern_rows = 64;

// XM effect numbers and volume-column commands used below.
constexpr uint8_t fx_arpeggio = 0x0, fx_porta = 0x3, fx_vibrato = 0x4, fx_pan = 0x8, fx_offset = 0x9,
                  fx_volslide = 0xA, fx_extended = 0xE, fx_tempo = 0xF, fx_retrigger = 0x1B;
constexpr uint8_t vol_slide_down = 0x60, vol_fine_up = 0x90;

uint8_t instrument_number(const char* name) { return uint8_t(instrument_index(name) + 1); }

// The section's cells, rows x channel_count, before they are cut into patterns.
struct Grid {
    int rows;
    std::vector<xm::Cell> cells;
    explicit Grid(int r) : rows(r), cells(size_t(r) * channel_count) {}
    xm::Cell& at(int row, int channel) { return cells[size_t(row) * channel_count + size_t(channel)]; }
};

// A chord over rows [start, start + rows).
struct ChordSpan {
    int start, rows;
    const Chord* chord;
};

std::vector<ChordSpan> chord_spans(const Section& s, int rows) {
    std::vector<ChordSpan> spans;
    if (s.chords.empty()) return spans;
    for (int row = 0, i = 0; row < rows; ++i) {
        const Chord& c = s.chords[size_t(i) % s.chords.size()];
        const int n = std::min(c.beats * rows_per_beat, rows - row);
        spans.push_back({row, n, &c});
        row += n;
    }
    return spans;
}

int pitch_class(int root, int tone, int transpose) { return ((root + tone + transpose) % 12 + 12) % 12; }

// Pitch classes of the chord, at most three (a fifth goes first when there are more).
std::vector<int> chord_classes(const Chord& c, int transpose) {
    std::vector<int> tones = c.tones;
    if (tones.size() > 3) tones.erase(tones.begin() + 2);
    std::vector<int> pcs;
    for (int t : tones) pcs.push_back(pitch_class(c.root, t, transpose));
    return pcs;
}

// The chord's classes placed in the octave from low upward, ascending.
std::vector<int> voicing(const Chord& c, int transpose, int low) {
    std::vector<int> v;
    for (int pc : chord_classes(c, transpose)) v.push_back(low + ((pc - low) % 12 + 12) % 12);
    std::sort(v.begin(), v.end());
    return v;
}

int root_in(const Chord& c, int transpose, int low) {
    const int pc = pitch_class(c.root, 0, transpose);
    return low + ((pc - low) % 12 + 12) % 12;
}

// An open voicing for the pad: root low, then the fifth (or seventh), then the third
// (or the ninth) an octave up, so that three voices spread over two octaves instead
// of crowding one.
std::vector<int> open_voicing(const Chord& c, int transpose, int low) {
    const int root = root_in(c, transpose, low);
    int middle = 7, top = 4;
    for (int t : c.tones) {
        if (t == 3 || t == 4 || t == 2 || t == 5) top = t;  // third, or the sus tone
        if (t == 10 || t == 11) middle = t;
    }
    if (std::find(c.tones.begin(), c.tones.end(), 14) != c.tones.end()) middle = 14;
    return {root, root + middle, root + 12 + top};
}

// The tracker arpeggio (0xy) that spells the chord from its root.
uint8_t arpeggio_of(const Chord& c) {
    int third = 4, fifth = 7;
    for (int t : c.tones) {
        if (t == 3 || t == 4 || t == 2 || t == 5) third = t;
        if (t == 7) fifth = t;
    }
    return uint8_t(third << 4 | (fifth == 7 ? 7 : fifth));
}

struct Arranger {
    const Score& score;
    std::string error;

    bool note(Grid& g, int row, int ch, int pitch, const char* ins, int volume, uint8_t effect = 0,
              uint8_t param = 0) {
        if (pitch < 0 || pitch > 95) {
            error = "note out of range";
            return false;
        }
        if (row < 0 || row >= g.rows) return true;
        xm::Cell& c = g.at(row, ch);
        c.note = uint8_t(pitch + 1);
        c.instrument = ins ? instrument_number(ins) : 0;
        c.volume = uint8_t(0x10 + std::clamp(volume, 0, 64));
        c.effect = effect;
        c.param = param;
        return true;
    }

    static void off(Grid& g, int row, int ch) {
        if (row < g.rows && g.at(row, ch).note == 0) g.at(row, ch).note = xm::key_off;
    }

    // An effect on a row that has none yet.
    static void effect(Grid& g, int row, int ch, uint8_t fx, uint8_t param) {
        if (row < 0 || row >= g.rows) return;
        xm::Cell& c = g.at(row, ch);
        if (c.effect == 0 && c.param == 0) {
            c.effect = fx;
            c.param = param;
        }
    }

    static void volume_command(Grid& g, int row, int ch, uint8_t v) {
        if (row >= 0 && row < g.rows && g.at(row, ch).volume == 0) g.at(row, ch).volume = v;
    }

    static int vol(const Part& p, int fallback) { return p.volume >= 0 ? p.volume : fallback; }

    static bool playing(const Part& p, int row) {
        return row >= p.from_beat * rows_per_beat && (p.until_beat < 0 || row < p.until_beat * rows_per_beat);
    }

    bool drums(const Section& s, const Part& p, Grid& g) {
        if (p.words.empty() || p.words[0] == "none") return true;
        const auto main = score.grooves.find(p.words[0]);
        const auto fill = score.grooves.find(p.fill);
        if (main == score.grooves.end() || (!p.fill.empty() && fill == score.grooves.end())) {
            error = "section " + s.name + ": unknown groove";
            return false;
        }
        const int fill_start = std::max(0, g.rows - 16);
        for (int row = 0; row < g.rows; ++row) {
            if (!playing(p, row)) continue;
            const bool in_fill = !p.fill.empty() && row >= fill_start;
            const Groove& groove = in_fill ? fill->second : main->second;
            const int step = in_fill ? row - fill_start : row % 16;
            for (const auto& [voice, steps] : groove.voices) {
                const char c = steps[size_t(step)];
                if (c == '.') continue;
                const int v = (c == 'X' ? 64 : c == 'x' ? 46 : c == 'r' ? 40 : 22) * vol(p, 64) / 64;
                int ch = -1;
                const char* ins = voice.c_str();
                if (voice == "kick") ch = ch_kick;
                if (voice == "snare") ch = ch_snare;
                if (voice == "hat" && g.at(row, ch_hat).note == 0) ch = ch_hat;
                if (voice == "ohat") ch = ch_hat;
                if (voice == "crash") ch = ch_crash;
                if (ch < 0) {
                    if (voice == "hat") continue;
                    error = "section " + s.name + ": unknown drum " + voice;
                    return false;
                }
                // The hats sit an accent up: a light sample, heard over the pads.
                const int level = ch == ch_hat ? std::min(64, v * 5 / 4) : v;
                if (!note(g, row, ch, 48, ins, level)) return false;
                if (c == 'r') {
                    // A roll: the hit again every third tick, a little louder each time.
                    effect(g, row, ch, fx_retrigger, 0x93);
                } else if (groove.swing > 0 && step % 2 == 1 && ch != ch_crash) {
                    // Swing: the off sixteenths a tick or two late.
                    effect(g, row, ch, fx_extended, uint8_t(0xD0 + groove.swing));
                }
            }
        }
        return true;
    }

    bool bass(const Section& s, const Part& p, Grid& g) {
        const std::string style = p.words.empty() ? "none" : p.words[0];
        if (style == "none") return true;
        const int v = vol(p, 50);
        int previous = -1;
        for (const ChordSpan& span : chord_spans(s, g.rows)) {
            if (!playing(p, span.start)) continue;
            if (span.chord->tones.empty()) {
                off(g, span.start, ch_bass);
                previous = -1;
                continue;
            }
            const int root = root_in(*span.chord, s.transpose, 21) + 12 * p.octave;  // A-1 upward
            for (int i = 0; i < span.rows; ++i) {
                const int row = span.start + i, in_beat = row % rows_per_beat;
                if (!playing(p, row)) continue;
                bool ok = true;
                if (style == "long") {
                    if (i == 0) {
                        // A held bass glides into the next root when it lies close.
                        const bool glide = previous >= 0 && previous != root && std::abs(previous - root) <= 5;
                        ok = glide ? note(g, row, ch_bass, root, nullptr, v, fx_porta, 0x10)
                                   : note(g, row, ch_bass, root, "bass", v);
                        if (span.rows >= 8) volume_command(g, row + span.rows - 4, ch_bass, vol_slide_down + 1);
                    }
                } else if (style == "offbeat") {
                    if (in_beat == 2) {
                        ok = note(g, row, ch_bass, root, "bass", v);
                        off(g, row + 1, ch_bass);
                    }
                } else if (style == "pump") {
                    if (in_beat % 2 == 0) {
                        ok = note(g, row, ch_bass, in_beat == 2 ? root + 12 : root, "bass", in_beat == 0 ? v : v - 6);
                        off(g, row + 1, ch_bass);
                    }
                } else if (style == "roll") {
                    if (in_beat != 0) ok = note(g, row, ch_bass, in_beat == 3 ? root + 12 : root, "bass", v - 4);
                    else off(g, row, ch_bass);
                } else if (style == "drive") {
                    // Octave drive; the octave above sags a little as it ends (a fifth of a semitone
                    // a tick).
                    ok = note(g, row, ch_bass, in_beat == 2 ? root + 12 : root, "bass", in_beat == 0 ? v : v - 10);
                    if (in_beat == 2) effect(g, row, ch_bass, 0x2, 0x03);
                } else {
                    error = "section " + s.name + ": unknown bass style " + style;
                    return false;
                }
                if (!ok) return false;
            }
            previous = root;
        }
        return true;
    }

    bool pad(const Section& s, const Part& p, Grid& g) {
        const std::string style = p.words.empty() ? "none" : p.words[0];
        if (style == "none") return true;
        if (style != "hold" && style != "swell" && style != "breathe") {
            error = "section " + s.name + ": unknown pad style " + style;
            return false;
        }
        static const uint8_t pans[3] = {0x30, 0xD0, 0x80};
        const int v = vol(p, 30);
        const int start_volume = style == "swell" ? v / 5 : v;
        std::vector<int> previous;
        for (const ChordSpan& span : chord_spans(s, g.rows)) {
            if (!playing(p, span.start)) continue;
            if (span.chord->tones.empty()) {
                for (int k = 0; k < 3; ++k) off(g, span.start, ch_pad0 + k);
                previous.clear();
                continue;
            }
            const std::vector<int> voices = open_voicing(*span.chord, s.transpose, 45 + 12 * p.octave);  // A-3 up
            for (int k = 0; k < 3; ++k) {
                // A voice that keeps its pitch sustains instead of attacking again.
                if (k < int(previous.size()) && previous[size_t(k)] == voices[size_t(k)]) continue;
                const int at_start = span.start == 0 ? start_volume : style == "breathe" ? v - 12 : v;
                if (!note(g, span.start, ch_pad0 + k, voices[size_t(k)], "pad", at_start, fx_pan, pans[k]))
                    return false;
                if (style == "breathe")  // swells back up over the chord's first beats
                    for (int r = 1; r <= 4; ++r) volume_command(g, span.start + r, ch_pad0 + k, vol_fine_up + 3);
            }
            previous = voices;
        }
        if (style == "swell") {
            // Fine volume slides (volume column 0x9x: up x once, on its row) rising
            // evenly from the start volume to v by the last row.
            const int steps = v - start_volume, span = g.rows - 1;
            for (int row = 1; span > 0 && row < g.rows; ++row) {
                const int up = std::min(15, steps * row / span - steps * (row - 1) / span);
                for (int c = 0; up > 0 && c < 3; ++c) volume_command(g, row, ch_pad0 + c, uint8_t(vol_fine_up + up));
            }
        }
        return true;
    }

    bool arp(const Section& s, const Part& p, Grid& g) {
        const std::string style = p.words.empty() ? "none" : p.words[0];
        if (style == "none") return true;
        const int v = vol(p, 30);
        for (const ChordSpan& span : chord_spans(s, g.rows)) {
            if (span.chord->tones.empty()) continue;
            std::vector<int> up = voicing(*span.chord, s.transpose, 60 + 12 * p.octave);  // C-5 upward
            const size_t n = up.size();
            for (size_t k = 0; k < n; ++k) up.push_back(up[k] + 12);
            std::vector<int> seq = up;
            if (style == "updown") {
                for (size_t k = up.size() - 2; k >= 1; --k) seq.push_back(up[k]);
            } else if (style == "chord") {
                // The chord spelt by the tracker's arpeggio on a held root, struck on
                // the off beats and fading between them.
                const uint8_t spell = arpeggio_of(*span.chord);
                const int root = root_in(*span.chord, s.transpose, 60 + 12 * p.octave);
                for (int i = 0; i < span.rows; ++i) {
                    const int row = span.start + i;
                    if (!playing(p, row)) continue;
                    if (row % 4 == 2) {
                        if (!note(g, row, ch_arp, root, "arp", v, fx_arpeggio, spell)) return false;
                    } else if (row % 4 == 3) {
                        effect(g, row, ch_arp, fx_arpeggio, spell);
                    }
                }
                continue;
            } else if (style != "up" && style != "eighths") {
                error = "section " + s.name + ": unknown arp style " + style;
                return false;
            }
            const int step = style == "eighths" ? 2 : 1;
            for (int i = 0, k = 0; i < span.rows; i += step, ++k) {
                const int row = span.start + i;
                if (!playing(p, row)) continue;
                const int accent = row % rows_per_beat == 0 ? 0 : row % 2 == 0 ? 6 : 10;
                if (!note(g, row, ch_arp, seq[size_t(k) % seq.size()], "arp", v - accent, fx_pan, 0x50))
                    return false;
            }
        }
        return true;
    }

    // A melody on its channel, with the expression a player puts in: accents on the
    // beat, a slide into notes marked for it, vibrato from the third row of a long
    // note, and a decay by volume slide over the end of a note of two beats or more.
    bool melody(const Section& s, const Part& p, Grid& g, int channel, const char* ins, int volume,
                uint8_t pan, int delay, int shift) {
        std::vector<MelodyNote> notes;
        for (const std::string& name : p.words) {
            const auto m = score.melodies.find(name);
            if (m == score.melodies.end()) {
                error = "section " + s.name + ": unknown melody " + name;
                return false;
            }
            notes.insert(notes.end(), m->second.begin(), m->second.end());
        }
        if (notes.empty()) return true;
        bool sounding = false;
        const int first = p.from_beat * rows_per_beat;
        const int last = p.until_beat < 0 ? g.rows : std::min(g.rows, p.until_beat * rows_per_beat);
        for (int row = first, i = 0; row < last; ++i) {
            const MelodyNote& n = notes[size_t(i) % notes.size()];
            int length = n.rows;  // the note with the holds after it
            for (size_t j = size_t(i) + 1; notes[j % notes.size()].kind == MelodyNote::hold && j < size_t(i) + notes.size(); ++j)
                length += notes[j % notes.size()].rows;
            const int at = row + delay;
            if (at < last) {
                if (n.kind == MelodyNote::note) {
                    const int pitch = n.pitch + s.transpose + 12 * (p.octave + shift);
                    const int accent = at % 16 == 0 ? 4 : at % 4 == 0 ? 2 : -3;
                    const int v = std::clamp(volume + accent, 0, 64);
                    if (n.slide && sounding) {
                        // No instrument number: the note glides on without restarting.
                        if (!note(g, at, channel, pitch, nullptr, v, fx_porta, 0x0C)) return false;
                        effect(g, at + 1, channel, fx_porta, 0);
                    } else if (!note(g, at, channel, pitch, ins, v, fx_pan, pan)) {
                        return false;
                    }
                    const int end = std::min(at + length, last);
                    if (length >= 6)
                        for (int r = at + 3; r < end; ++r) effect(g, r, channel, fx_vibrato, length >= 12 ? 0x54 : 0x63);
                    if (length >= 8)
                        for (int r = end - std::max(2, length / 3); r < end; ++r)
                            volume_command(g, r, channel, vol_slide_down + 1);
                    sounding = true;
                } else if (n.kind == MelodyNote::rest && sounding) {
                    off(g, at, channel);
                    sounding = false;
                }
            }
            row += n.rows;
        }
        return true;
    }

    bool fx(const Section& s, const Part& p, Grid& g, const std::vector<double>& row_start) {
        for (const std::string& w : p.words) {
            if (w == "crash" || w == "boom") {
                if (!note(g, 0, w == "crash" ? ch_crash : ch_hit, 48, w.c_str(), vol(p, 56))) return false;
            } else if (w == "riser") {
                // Start the riser so that it ends with the section: from the row where
                // the time left first fits it, skipping its head by sample offset (9xx,
                // 256 frames a step) for whatever does not fit.
                const double length = riser_seconds(), end = row_start.back();
                int row = 0;
                while (row + 1 < g.rows && end - row_start[size_t(row)] > length) ++row;
                const double left = end - row_start[size_t(row)];
                const double skip = std::max(0.0, length - left) * riser_rate() / 256.0;
                const int offset = std::min(255, int(std::lround(skip)));
                if (!note(g, row, ch_riser, 48, "riser", vol(p, 40), offset ? fx_offset : 0, uint8_t(offset)))
                    return false;
            } else {
                error = "section " + s.name + ": unknown fx " + w;
                return false;
            }
        }
        return true;
    }

    // The hits: each on its row, struck by its instrument; a crash also takes a kick.
    bool hits(const Section& s, const std::vector<int>& hit_rows, Grid& g) {
        for (size_t i = 0; i < s.hits.size(); ++i) {
            const HitMark& h = s.hits[i];
            const int row = hit_rows[i];
            if (h.instrument == "crash" || h.instrument == "boom") {
                if (!note(g, row, ch_hit, 48, h.instrument.c_str(), 60)) return false;
                if (g.at(row, ch_kick).note == 0 && !note(g, row, ch_kick, 48, "kick", 60)) return false;
            } else if (h.instrument == "bell") {
                // The chord's root high up, where nothing else plays.
                const auto spans = chord_spans(s, g.rows);
                int pitch = 72 + s.transpose;
                for (const ChordSpan& c : spans)
                    if (row >= c.start && row < c.start + c.rows && !c.chord->tones.empty())
                        pitch = root_in(*c.chord, s.transpose, 72);
                if (!note(g, row, ch_hit, pitch, "bell", 48, fx_pan, 0x60)) return false;
                if (!note(g, row, ch_crash, 48, "crash", 20)) return false;
            } else {
                error = "section " + s.name + ": unknown hit " + h.instrument;
                return false;
            }
        }
        return true;
    }

    bool section(const Section& s, const std::vector<int>& bpm, const std::vector<int>& hit_rows,
                 const std::vector<double>& row_start, Grid& g) {
        auto part = [&](const char* name) -> const Part* {
            const auto it = s.parts.find(name);
            return it == s.parts.end() ? nullptr : &it->second;
        };
        if (const Part* p = part("drums"); p && !drums(s, *p, g)) return false;
        if (const Part* p = part("bass"); p && !bass(s, *p, g)) return false;
        if (const Part* p = part("pad"); p && !pad(s, *p, g)) return false;
        if (const Part* p = part("arp"); p && !arp(s, *p, g)) return false;
        if (const Part* p = part("lead")) {
            const int v = vol(*p, 52);
            if (!melody(s, *p, g, ch_lead, "lead", v, 0x80, 0, 0)) return false;
            if (!melody(s, *p, g, ch_echo, "lead", v * 2 / 5, 0xC8, 3, 0)) return false;
            if (p->doubled != 0 && !melody(s, *p, g, ch_double, "square", v / 2, 0x68, 0, p->doubled))
                return false;
        }
        if (const Part* p = part("counter"); p && !melody(s, *p, g, ch_counter, "pluck", vol(*p, 36), 0x40, 0, 0))
            return false;
        if (const Part* p = part("bell"); p && !melody(s, *p, g, ch_bell, "bell", vol(*p, 40), 0xB8, 0, 0))
            return false;
        if (const Part* p = part("fx"); p && !fx(s, *p, g, row_start)) return false;
        if (!hits(s, hit_rows, g)) return false;

        // Held notes of the section before end here unless a part plays on (or the
        // section lets them ring): a key-off lets the enveloped voices release.
        if (!s.ring)
            for (int ch : {ch_bass, ch_pad0, ch_pad1, ch_pad2, ch_lead, ch_echo, ch_double, ch_counter}) off(g, 0, ch);

        // Tempo: F with a parameter of 32 and up sets the BPM, wherever it changes.
        for (int row = 0; row < g.rows; ++row)
            if (row == 0 || bpm[size_t(row)] != bpm[size_t(row) - 1]) {
                g.at(row, ch_control).effect = fx_tempo;
                g.at(row, ch_control).param = uint8_t(bpm[size_t(row)]);
            }
        return true;
    }
};

// Frames played so far at each of the show's rates.
struct Clock {
    int64_t frames[4] = {0, 0, 0, 0};
    double seconds(int k) const { return double(frames[k]) / mix_rates[k]; }
};

// How far the clock is from a time, in tolerances: the worst rate's miss over its
// allowance. Below 1 every rate holds.
double miss(const Clock& c, double target) {
    double worst = 0;
    for (int k = 0; k < 4; ++k) worst = std::max(worst, std::fabs(c.seconds(k) - target) / timing_tolerance[k]);
    return worst;
}

// The tempo of n rows that must end at target: up to three whole BPMs near the
// even tempo, interleaved row by row, chosen so that the end lands as close to the target
// at every rate as whole ticks allow (each rate truncates its tick differently).
// Appends the rows' BPMs and advances the clock; false when nothing lands in time.
bool fit_span(int n, double target, Clock* clock, std::vector<int>* bpms) {
    const double left = target - clock->seconds(0);
    if (n <= 0 || left <= 0) return false;
    const int even = int(std::lround(15.0 * n / left));  // a row lasts 6 x 2.5 / BPM seconds
    const int lo = std::max(32, even - 9), hi = std::min(255, even + 9);
    if (lo > hi) return false;
    int64_t row_frames[256][4];
    for (int b = lo; b <= hi; ++b)
        for (int k = 0; k < 4; ++k) row_frames[b][k] = speed * tick_frames(mix_rates[k], b);
    // Prefer a narrow spread of tempos: a five-hundredth of the allowance for each BPM.
    double best = 1e30;
    int choice[3] = {even, even, even}, counts[3] = {n, 0, 0};
    auto consider = [&](int a, int b, int c, int na, int nb, double spread) {
        const int nc = n - na - nb;
        double worst = spread;
        for (int k = 0; k < 4 && worst < best; ++k) {
            const int64_t f = clock->frames[k] + na * row_frames[a][k] + nb * row_frames[b][k] + nc * row_frames[c][k];
            worst = std::max(worst, spread + std::fabs(double(f) / mix_rates[k] - target) / timing_tolerance[k]);
        }
        if (worst < best) {
            best = worst;
            choice[0] = a, choice[1] = b, choice[2] = c;
            counts[0] = na, counts[1] = nb, counts[2] = nc;
        }
    };
    for (int a = lo; a <= hi; ++a) {
        consider(a, a, a, n, 0, 0.0);
        for (int c = a + 1; c <= hi; ++c) {
            const double spread = 0.002 * (c - a);
            if (spread >= best) break;
            for (int na = 0; na <= n; ++na) consider(a, a, c, na, 0, spread);
            for (int b = a + 1; b < c; ++b)
                for (int na = 0; na <= n; ++na)
                    for (int nb = 0; nb <= n - na; ++nb) consider(a, b, c, na, nb, spread);
        }
    }
    // The tempos spread evenly over the span, row by row, rather than in runs: the
    // beat stays even to within a few milliseconds instead of lurching mid-phrase.
    int used[3] = {0, 0, 0};
    for (int r = 0; r < n; ++r) {
        int j = 0;
        double most = -1e30;
        for (int k = 0; k < 3; ++k) {
            const double behind = double(counts[k]) * (r + 1) / n - used[k];
            if (counts[k] > used[k] && behind > most) most = behind, j = k;
        }
        ++used[j];
        bpms->push_back(choice[j]);
        for (int k = 0; k < 4; ++k) clock->frames[k] += speed * tick_frames(mix_rates[k], choice[j]);
    }
    return miss(*clock, target) < 1.0;
}

}  // namespace

bool arrange(const Score& score, xm::Module* module, std::vector<SectionTiming>* timing,
             std::string* error) {
    module->name = score.title;
    module->channels = channel_count;
    module->speed = speed;
    module->instruments = build_instruments();
    module->orders.clear();
    module->patterns.clear();
    timing->clear();

    Arranger arranger{score, {}};
    Clock clock;
    for (const Section& s : score.sections) {
        SectionTiming t;
        t.name = s.name;
        t.rows = s.beats * rows_per_beat;
        t.first_order = int(module->orders.size());
        t.start_s = clock.seconds(0);
        if (!timing->empty()) t.start_s = timing->back().end_s;

        // The rows that must land on the hits' times: where an even tempo puts them.
        std::vector<int> hit_rows, bpm;
        std::vector<std::pair<int, double>> anchors;
        for (const HitMark& h : s.hits) {
            if (s.ends <= 0 || h.at <= t.start_s || h.at >= s.ends) {
                *error = "section " + s.name + ": a hit outside the section";
                return false;
            }
            const int row = int(std::lround(t.rows * (h.at - t.start_s) / (s.ends - t.start_s)));
            hit_rows.push_back(std::clamp(row, 1, t.rows - 1));
            anchors.push_back({hit_rows.back(), h.at});
        }
        std::sort(anchors.begin(), anchors.end());
        if (s.ends > 0) {
            anchors.push_back({t.rows, s.ends});
            int row = 0;
            for (const auto& [until, at] : anchors) {
                if (until <= row) {
                    *error = "section " + s.name + ": two hits on one row";
                    return false;
                }
                if (!fit_span(until - row, at, &clock, &bpm)) {
                    *error = "section " + s.name + ": no tempo lands on " + std::to_string(at) + " s";
                    return false;
                }
                row = until;
            }
            t.end_s = s.ends;
        } else {
            bpm.assign(size_t(t.rows), s.bpm);
            for (int k = 0; k < 4; ++k) clock.frames[k] += t.rows * speed * tick_frames(mix_rates[k], s.bpm);
            t.end_s = clock.seconds(0);
        }
        t.bpm_low = *std::min_element(bpm.begin(), bpm.end());
        t.bpm_high = *std::max_element(bpm.begin(), bpm.end());
        if (timing->empty()) module->bpm = bpm[0];

        // Row start times at the default rate, for placing what must end with the section.
        std::vector<double> row_start(1, t.start_s);
        for (int b : bpm) row_start.push_back(row_start.back() + double(speed * tick_frames(44100, b)) / 44100);

        Grid grid(t.rows);
        if (!arranger.section(s, bpm, hit_rows, row_start, grid)) {
            *error = arranger.error;
            return false;
        }
        for (size_t i = 0; i < s.hits.size(); ++i)
            t.hits.push_back({t.first_order + hit_rows[i] / pattern_rows, hit_rows[i] % pattern_rows, s.hits[i].at});

        // Cut into patterns of up to 64 rows; a pattern equal to an earlier one is
        // played again rather than stored twice.
        for (int first = 0; first < t.rows; first += pattern_rows) {
            xm::Pattern p;
            p.rows = std::min(pattern_rows, t.rows - first);
            p.cells.assign(grid.cells.begin() + ptrdiff_t(first) * channel_count,
                           grid.cells.begin() + ptrdiff_t(first + p.rows) * channel_count);
            size_t index = 0;
            while (index < module->patterns.size() &&
                   !(module->patterns[index].rows == p.rows &&
                     std::equal(p.cells.begin(), p.cells.end(), module->patterns[index].cells.begin(),
                                [](const xm::Cell& a, const xm::Cell& b) {
                                    return a.note == b.note && a.instrument == b.instrument &&
                                           a.volume == b.volume && a.effect == b.effect &&
                                           a.param == b.param;
                                })))
                ++index;
            if (index == module->patterns.size()) module->patterns.push_back(p);
            if (module->orders.size() >= 256 || index > 255) {
                *error = "more than 256 orders or patterns";
                return false;
            }
            module->orders.push_back(uint8_t(index));
        }
        timing->push_back(t);
    }
    return true;
}

std::vector<int> lead_channels() { return {ch_lead, ch_double}; }
std::vector<int> pad_channels() { return {ch_pad0, ch_pad1, ch_pad2}; }

bool compose_module(const std::string& score_path, xm::Module* module, std::vector<SectionTiming>* timing,
                    std::string* error) {
    std::ifstream in(score_path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + score_path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    Score score;
    if (!parse_score(text.str(), &score, error)) {
        *error = score_path + ": " + *error;
        return false;
    }
    return arrange(score, module, timing, error);
}

bool compose_file(const std::string& score_path, std::vector<uint8_t>* bytes,
                  std::vector<SectionTiming>* timing, std::string* error) {
    xm::Module module;
    if (!compose_module(score_path, &module, timing, error)) return false;
    *bytes = xm::write(module);
    return true;
}

}  // namespace tune
