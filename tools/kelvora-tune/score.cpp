// The score parser; see score.h.
#include "score.h"

#include <cstdlib>
#include <sstream>

namespace tune {
namespace {

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

bool parse_int(const std::string& s, int* out) {
    char* end = nullptr;
    const long v = strtol(s.c_str(), &end, 10);
    if (s.empty() || *end || v < -100000 || v > 100000) return false;
    *out = int(v);
    return true;
}

// Pitch class of a note letter with an optional '#' or 'b'; advances *pos.
bool parse_pitch_class(const std::string& s, size_t* pos, int* pc) {
    static const int letters[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (*pos >= s.size() || s[*pos] < 'A' || s[*pos] > 'G') return false;
    *pc = letters[s[*pos] - 'A'];
    ++*pos;
    if (*pos < s.size() && s[*pos] == '#') {
        *pc = (*pc + 1) % 12;
        ++*pos;
    } else if (*pos < s.size() && s[*pos] == 'b') {
        *pc = (*pc + 11) % 12;
        ++*pos;
    }
    return true;
}

// "E5:4", "C#4", "/G5:2" (slides in), "r:2", "~:8"; a missing length keeps the
// previous one.
bool parse_melody_word(std::string w, int* last_rows, MelodyNote* note) {
    note->slide = !w.empty() && w[0] == '/';
    if (note->slide) w.erase(0, 1);
    const size_t colon = w.find(':');
    const std::string head = w.substr(0, colon);
    if (colon != std::string::npos && !parse_int(w.substr(colon + 1), last_rows)) return false;
    if (*last_rows <= 0) return false;
    note->rows = *last_rows;
    note->pitch = 0;
    if (head == "r" && !note->slide) {
        note->kind = MelodyNote::rest;
        return true;
    }
    if (head == "~" && !note->slide) {
        note->kind = MelodyNote::hold;
        return true;
    }
    size_t pos = 0;
    int pc = 0, octave = 0;
    if (!parse_pitch_class(head, &pos, &pc) || !parse_int(head.substr(pos), &octave)) return false;
    if (octave < 0 || octave > 7) return false;
    note->kind = MelodyNote::note;
    note->pitch = octave * 12 + pc;
    return true;
}

// "Am:4", "Fmaj7:8", "r:2".
bool parse_chord(const std::string& w, Chord* chord) {
    const size_t colon = w.find(':');
    if (colon == std::string::npos || !parse_int(w.substr(colon + 1), &chord->beats) ||
        chord->beats <= 0)
        return false;
    const std::string head = w.substr(0, colon);
    chord->root = 0;
    chord->tones.clear();
    if (head == "r") return true;
    size_t pos = 0;
    if (!parse_pitch_class(head, &pos, &chord->root)) return false;
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},       {"m", {0, 3, 7}},        {"7", {0, 4, 7, 10}},
        {"m7", {0, 3, 7, 10}}, {"maj7", {0, 4, 7, 11}}, {"sus2", {0, 2, 7}},
        {"sus4", {0, 5, 7}},   {"add9", {0, 4, 7, 14}}, {"madd9", {0, 3, 7, 14}},
    };
    const auto q = qualities.find(head.substr(pos));
    if (q == qualities.end()) return false;
    chord->tones = q->second;
    return true;
}

bool parse_part(const std::vector<std::string>& words, Part* part) {
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& w = words[i];
        if ((w == "vol" || w == "octave" || w == "from" || w == "fill" || w == "until" || w == "double") &&
            i + 1 >= words.size())
            return false;
        if (w == "vol") {
            if (!parse_int(words[++i], &part->volume) || part->volume < 0 || part->volume > 64)
                return false;
        } else if (w == "octave") {
            if (!parse_int(words[++i], &part->octave)) return false;
        } else if (w == "from") {
            if (!parse_int(words[++i], &part->from_beat) || part->from_beat < 0) return false;
        } else if (w == "until") {
            if (!parse_int(words[++i], &part->until_beat) || part->until_beat < 0) return false;
        } else if (w == "double") {
            if (!parse_int(words[++i], &part->doubled) || part->doubled < -2 || part->doubled > 2) return false;
        } else if (w == "fill") {
            part->fill = words[++i];
        } else {
            part->words.push_back(w);
        }
    }
    return true;
}

}  // namespace

bool parse_score(const std::string& text, Score* score, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    enum { none, groove, melody, section } block = none;
    std::string block_name;
    int melody_rows = 4;
    auto fail = [&](const std::string& what) {
        *error = "line " + std::to_string(number) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        // A comment starts with '#' at the start of a line or after a blank, so that
        // sharps (C#5) are notes.
        for (size_t i = 0; i < line.size(); ++i)
            if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
                line.resize(i);
                break;
            }
        const std::vector<std::string> words = split(line);
        if (words.empty()) continue;
        const bool indented = line[0] == ' ' || line[0] == '\t';
        const std::string& key = words[0];

        if (!indented) {
            if (key == "title") {
                score->title = line.substr(line.find("title") + 6);
                block = none;
            } else if (key == "groove" && words.size() == 2) {
                block = groove;
                block_name = words[1];
                score->grooves[block_name];
            } else if (key == "melody" && words.size() == 2) {
                block = melody;
                block_name = words[1];
                score->melodies[block_name];
                melody_rows = 4;
            } else if (key == "section" && words.size() >= 2) {
                block = section;
                Section s;
                s.name = words[1];
                for (size_t i = 2; i + 1 < words.size(); i += 2) {
                    const std::string& k = words[i];
                    if (k == "beats") {
                        if (!parse_int(words[i + 1], &s.beats) || s.beats <= 0) return fail("bad beats");
                    } else if (k == "ends") {
                        s.ends = strtod(words[i + 1].c_str(), nullptr);
                        if (s.ends <= 0) return fail("bad end time");
                    } else if (k == "bpm") {
                        if (!parse_int(words[i + 1], &s.bpm) || s.bpm < 32 || s.bpm > 255)
                            return fail("bad bpm");
                    } else if (k == "ring") {
                        s.ring = words[i + 1] == "yes";
                        if (!s.ring && words[i + 1] != "no") return fail("ring is yes or no");
                    } else if (k == "transpose") {
                        if (!parse_int(words[i + 1], &s.transpose)) return fail("bad transpose");
                    } else {
                        return fail("unknown section setting " + k);
                    }
                }
                if (words.size() % 2 != 0) return fail("section settings come in pairs");
                if (s.beats == 0) return fail("section needs beats");
                if (s.ends < 0 && s.bpm == 0) return fail("section needs ends or bpm");
                score->sections.push_back(s);
            } else {
                return fail("unknown block " + key);
            }
            continue;
        }

        switch (block) {
            case none:
                return fail("indented line outside a block");
            case groove: {
                if (key == "swing") {
                    int& swing = score->grooves[block_name].swing;
                    if (words.size() != 2 || !parse_int(words[1], &swing) || swing < 0 || swing > 3)
                        return fail("swing is 0 to 3 ticks");
                    break;
                }
                if (words.size() != 2 || words[1].size() != 16) return fail("a groove voice has 16 steps");
                for (char c : words[1])
                    if (c != '.' && c != 'o' && c != 'x' && c != 'X' && c != 'r') return fail("bad step");
                score->grooves[block_name].voices[key] = words[1];
                break;
            }
            case melody: {
                auto& notes = score->melodies[block_name];
                for (const std::string& w : words) {
                    if (w == "|") {
                        int rows = 0;
                        for (const MelodyNote& n : notes) rows += n.rows;
                        if (rows % 16 != 0) return fail("bar line off the bar: " + std::to_string(rows));
                        continue;
                    }
                    MelodyNote n;
                    if (!parse_melody_word(w, &melody_rows, &n)) return fail("bad note " + w);
                    notes.push_back(n);
                }
                break;
            }
            case section: {
                Section& s = score->sections.back();
                if (key == "chords") {
                    for (size_t i = 1; i < words.size(); ++i) {
                        Chord c;
                        if (!parse_chord(words[i], &c)) return fail("bad chord " + words[i]);
                        s.chords.push_back(c);
                    }
                } else if (key == "hit") {
                    if (words.size() < 3) return fail("hit wants an instrument and times");
                    for (size_t i = 2; i < words.size(); ++i) {
                        char* end = nullptr;
                        const double at = strtod(words[i].c_str(), &end);
                        if (*end || !(at > 0)) return fail("bad hit time " + words[i]);
                        s.hits.push_back({words[1], at});
                    }
                } else if (key == "drums" || key == "bass" || key == "pad" || key == "arp" ||
                           key == "lead" || key == "counter" || key == "bell" || key == "fx") {
                    Part p;
                    if (!parse_part(words, &p)) return fail("bad " + key + " line");
                    s.parts[key] = p;
                } else {
                    return fail("unknown part " + key);
                }
                break;
            }
        }
    }
    if (score->sections.empty()) return fail("no sections");
    return true;
}

}  // namespace tune
