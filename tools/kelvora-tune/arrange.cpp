// The arranger; see arrange.h. Parts are generated from the section's chords in
// the style its score line names (bass, pad, arp), or played from melodies (lead,
// bell), or from grooves (drums); the lead gets a quieter echo three rows later on
// a channel of its own, panned right.
#include "arrange.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "synth.h"

namespace tune {
namespace {

constexpr int rows_per_beat = 4;
constexpr int speed = 6;
constexpr int pattern_rows = 64;

// Seconds a row lasts at this BPM as players render it: a tick is rate x 2.5 / BPM
// output frames truncated to a whole number, so its length depends a little on the
// mixing rate. Sections are timed on the mean over the four rates the show offers,
// which keeps every rate within about 0.12 s of the cue times over the whole piece.
double row_seconds(int bpm) {
    static const int rates[4] = {11025, 22050, 44100, 48000};
    double tick = 0;
    for (int r : rates) tick += std::floor(r * 5.0 / (2.0 * bpm)) / r;
    return speed * tick / 4.0;
}

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

// Pitch classes of the chord, at most three (a fifth goes first when there are more).
std::vector<int> chord_classes(const Chord& c, int transpose) {
    std::vector<int> tones = c.tones;
    if (tones.size() > 3) tones.erase(tones.begin() + 2);
    std::vector<int> pcs;
    for (int t : tones) pcs.push_back(((c.root + t + transpose) % 12 + 12) % 12);
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
    const int pc = ((c.root + transpose) % 12 + 12) % 12;
    return low + ((pc - low) % 12 + 12) % 12;
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
        xm::Cell& c = g.at(row, ch);
        c.note = uint8_t(pitch + 1);
        c.instrument = instrument_number(ins);
        c.volume = uint8_t(0x10 + std::clamp(volume, 0, 64));
        c.effect = effect;
        c.param = param;
        return true;
    }

    static void off(Grid& g, int row, int ch) {
        if (row < g.rows && g.at(row, ch).note == 0) g.at(row, ch).note = xm::key_off;
    }

    static int vol(const Part& p, int fallback) { return p.volume >= 0 ? p.volume : fallback; }

    bool drums(const Section& s, const Part& p, Grid& g) {
        if (p.words.empty() || p.words[0] == "none") return true;
        const auto main = score.grooves.find(p.words[0]);
        const auto fill = score.grooves.find(p.fill);
        if (main == score.grooves.end() || (!p.fill.empty() && fill == score.grooves.end())) {
            error = "section " + s.name + ": unknown groove";
            return false;
        }
        const int fill_start = std::max(0, g.rows - 16);
        for (int row = p.from_beat * rows_per_beat; row < g.rows; ++row) {
            const bool in_fill = !p.fill.empty() && row >= fill_start;
            const Groove& groove = in_fill ? fill->second : main->second;
            const int step = in_fill ? row - fill_start : row % 16;
            for (const auto& [voice, steps] : groove.voices) {
                const char c = steps[size_t(step)];
                if (c == '.') continue;
                const int v = c == 'X' ? 64 : c == 'x' ? 46 : 24;
                if (voice == "kick" && !note(g, row, ch_kick, 48, "kick", v)) return false;
                if (voice == "snare" && !note(g, row, ch_snare, 48, "snare", v)) return false;
                if (voice == "hat" && g.at(row, ch_hat).note == 0 && !note(g, row, ch_hat, 48, "hat", v))
                    return false;
                if (voice == "ohat" && !note(g, row, ch_hat, 48, "ohat", v)) return false;
                if (voice == "crash" && !note(g, row, ch_crash, 48, "crash", v)) return false;
            }
        }
        return true;
    }

    bool bass(const Section& s, const Part& p, Grid& g) {
        const std::string style = p.words.empty() ? "none" : p.words[0];
        if (style == "none") return true;
        const int v = vol(p, 50);
        for (const ChordSpan& span : chord_spans(s, g.rows)) {
            if (span.start < p.from_beat * rows_per_beat) continue;
            if (span.chord->tones.empty()) {
                off(g, span.start, ch_bass);
                continue;
            }
            const int root = root_in(*span.chord, s.transpose, 16) + 12 * p.octave;  // E-1 upward
            for (int i = 0; i < span.rows; ++i) {
                const int row = span.start + i, in_beat = row % rows_per_beat;
                bool ok = true;
                if (style == "long") {
                    if (i == 0) ok = note(g, row, ch_bass, root, "bass", v);
                } else if (style == "offbeat") {
                    if (in_beat == 2) {
                        ok = note(g, row, ch_bass, root, "bass", v);
                        off(g, row + 1, ch_bass);
                    }
                } else if (style == "pump") {
                    if (in_beat % 2 == 0) {
                        ok = note(g, row, ch_bass, in_beat == 2 ? root + 12 : root, "bass", v);
                        off(g, row + 1, ch_bass);
                    }
                } else if (style == "roll") {
                    if (in_beat != 0) ok = note(g, row, ch_bass, in_beat == 3 ? root + 12 : root, "bass", v);
                    else off(g, row, ch_bass);
                } else if (style == "drive") {
                    ok = note(g, row, ch_bass, in_beat == 2 ? root + 12 : root, "bass", in_beat == 0 ? v : v - 10);
                } else {
                    error = "section " + s.name + ": unknown bass style " + style;
                    return false;
                }
                if (!ok) return false;
            }
        }
        return true;
    }

    bool pad(const Section& s, const Part& p, Grid& g) {
        const std::string style = p.words.empty() ? "none" : p.words[0];
        if (style == "none") return true;
        if (style != "hold" && style != "swell") {
            error = "section " + s.name + ": unknown pad style " + style;
            return false;
        }
        static const uint8_t pans[3] = {0x50, 0x80, 0xB0};
        const int v = vol(p, 44);
        const int start_volume = style == "swell" ? v / 5 : v;
        std::vector<int> previous;
        for (const ChordSpan& span : chord_spans(s, g.rows)) {
            if (span.chord->tones.empty()) {
                for (int k = 0; k < 3; ++k) off(g, span.start, ch_pad0 + k);
                previous.clear();
                continue;
            }
            std::vector<int> voices = voicing(*span.chord, s.transpose, 52 + 12 * p.octave);  // E-4 upward
            while (voices.size() < 3) voices.push_back(voices.back());
            for (int k = 0; k < 3; ++k) {
                // A voice that keeps its pitch sustains instead of attacking again.
                if (k < int(previous.size()) && previous[size_t(k)] == voices[size_t(k)]) continue;
                if (!note(g, span.start, ch_pad0 + k, voices[size_t(k)], "pad",
                          span.start == 0 ? start_volume : v, 8, pans[k]))
                    return false;
            }
            previous = voices;
        }
        if (style == "swell") {
            // Fine volume slides (volume column 0x9x: up x once, on its row) rising
            // evenly from the start volume to v by the last row.
            const int steps = v - start_volume, span = g.rows - 1;
            for (int row = 1; span > 0 && row < g.rows; ++row) {
                const int up = std::min(15, steps * row / span - steps * (row - 1) / span);
                for (int c = 0; up > 0 && c < 3; ++c)
                    if (g.at(row, ch_pad0 + c).volume == 0) g.at(row, ch_pad0 + c).volume = uint8_t(0x90 + up);
            }
        }
        return true;
    }

    bool arp(const Section& s, const Part& p, Grid& g) {
        const std::string style = p.words.empty() ? "none" : p.words[0];
        if (style == "none") return true;
        const int v = vol(p, 40);
        for (const ChordSpan& span : chord_spans(s, g.rows)) {
            if (span.chord->tones.empty() || span.start < p.from_beat * rows_per_beat) continue;
            std::vector<int> up = voicing(*span.chord, s.transpose, 48 + 12 * p.octave);  // C-4 upward
            const size_t n = up.size();
            for (size_t k = 0; k < n; ++k) up.push_back(up[k] + 12);
            std::vector<int> seq = up;
            if (style == "updown")
                for (size_t k = up.size() - 2; k >= 1; --k) seq.push_back(up[k]);
            else if (style != "up" && style != "eighths") {
                error = "section " + s.name + ": unknown arp style " + style;
                return false;
            }
            const int step = style == "eighths" ? 2 : 1;
            for (int i = 0, k = 0; i < span.rows; i += step, ++k) {
                const int accent = (span.start + i) % rows_per_beat == 0 ? 0 : 8;
                if (!note(g, span.start + i, ch_arp, seq[size_t(k) % seq.size()], "arp", v - accent, 8, 0x48))
                    return false;
            }
        }
        return true;
    }

    bool melody(const Section& s, const Part& p, Grid& g, int channel, const char* ins, int volume,
                uint8_t pan, int delay) {
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
        for (int row = p.from_beat * rows_per_beat, i = 0; row < g.rows; ++i) {
            const MelodyNote& n = notes[size_t(i) % notes.size()];
            const int at = row + delay;
            if (at < g.rows) {
                if (n.kind == MelodyNote::note) {
                    if (!note(g, at, channel, n.pitch + s.transpose + 12 * p.octave, ins, volume, 8, pan))
                        return false;
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

    bool fx(const Section& s, const Part& p, Grid& g, const SectionTiming& t) {
        for (const std::string& w : p.words) {
            if (w == "crash") {
                if (!note(g, 0, ch_crash, 48, "crash", vol(p, 56))) return false;
            } else if (w == "riser") {
                // Start the riser so that it ends with the section: from the row where
                // the time left first fits it, skipping its head by sample offset (9xx,
                // 256 frames a step) for whatever does not fit.
                const double length = riser_seconds();
                int row = 0;
                double left = t.end_s - t.start_s;
                while (row + 1 < g.rows && left > length) {
                    left -= row_seconds(row < t.split_row ? t.bpm_first : t.bpm_rest);
                    ++row;
                }
                const double skip = std::max(0.0, length - left) * riser_rate() / 256.0;
                const int offset = std::min(255, int(std::lround(skip)));
                if (!note(g, row, ch_riser, 48, "riser", vol(p, 48), offset ? 9 : 0, uint8_t(offset)))
                    return false;
            } else {
                error = "section " + s.name + ": unknown fx " + w;
                return false;
            }
        }
        return true;
    }

    bool section(const Section& s, const SectionTiming& t, Grid& g) {
        auto part = [&](const char* name) -> const Part* {
            const auto it = s.parts.find(name);
            return it == s.parts.end() ? nullptr : &it->second;
        };
        if (const Part* p = part("drums"); p && !drums(s, *p, g)) return false;
        if (const Part* p = part("bass"); p && !bass(s, *p, g)) return false;
        if (const Part* p = part("pad"); p && !pad(s, *p, g)) return false;
        if (const Part* p = part("arp"); p && !arp(s, *p, g)) return false;
        if (const Part* p = part("lead")) {
            const int v = vol(*p, 48);
            if (!melody(s, *p, g, ch_lead, "lead", v, 0x80, 0)) return false;
            if (!melody(s, *p, g, ch_echo, "lead", v * 2 / 5, 0xC8, 3)) return false;
        }
        if (const Part* p = part("bell"); p && !melody(s, *p, g, ch_bell, "bell", vol(*p, 44), 0xB8, 0))
            return false;
        if (const Part* p = part("fx"); p && !fx(s, *p, g, t)) return false;

        // Held notes of the section before end here unless a part plays on: a key-off
        // lets the enveloped voices (bass, pads, lead and echo) release.
        for (int ch : {ch_bass, ch_pad0, ch_pad1, ch_pad2, ch_lead, ch_echo}) off(g, 0, ch);

        // Tempo: F with a parameter of 32 and up sets the BPM.
        g.at(0, ch_control).effect = 0xF;
        g.at(0, ch_control).param = uint8_t(t.split_row > 0 ? t.bpm_first : t.bpm_rest);
        if (t.split_row > 0 && t.split_row < t.rows) {
            g.at(t.split_row, ch_control).effect = 0xF;
            g.at(t.split_row, ch_control).param = uint8_t(t.bpm_rest);
        }
        return true;
    }
};

// The tempo of a section: between the two neighbouring whole BPMs around the exact
// one, the first split rows run at the slower and the rest at the faster, so that
// the section lasts `seconds` to within half the difference of one row.
bool fit_tempo(int rows, double seconds, SectionTiming* t) {
    int slow = 32;
    while (slow < 254 && rows * row_seconds(slow + 1) >= seconds) ++slow;
    const double row_slow = row_seconds(slow), row_fast = row_seconds(slow + 1);
    if (rows * row_slow < seconds || rows * row_fast > seconds) return false;
    const double m = (seconds - rows * row_fast) / (row_slow - row_fast);
    t->bpm_first = slow;
    t->bpm_rest = slow + 1;
    t->split_row = std::clamp(int(std::lround(m)), 0, rows);
    return true;
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
    double clock = 0.0;
    for (const Section& s : score.sections) {
        SectionTiming t;
        t.name = s.name;
        t.rows = s.beats * rows_per_beat;
        t.first_order = int(module->orders.size());
        t.start_s = clock;
        if (s.ends > 0) {
            if (!fit_tempo(t.rows, s.ends - clock, &t)) {
                *error = "section " + s.name + ": no tempo fits its end time";
                return false;
            }
        } else {
            t.bpm_first = t.bpm_rest = s.bpm;
            t.split_row = t.rows;
        }
        clock += t.split_row * row_seconds(t.bpm_first) + (t.rows - t.split_row) * row_seconds(t.bpm_rest);
        t.end_s = clock;
        if (timing->empty()) module->bpm = t.split_row > 0 ? t.bpm_first : t.bpm_rest;

        Grid grid(t.rows);
        if (!arranger.section(s, t, grid)) {
            *error = arranger.error;
            return false;
        }
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

std::vector<int> lead_channels() { return {ch_lead}; }
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
