// The score: what the text file under score/ says, parsed but not yet arranged.
// The notation is described at the top of score/kelvora.score.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tune {

// One note of a melody: pitch as semitones from C-0 (C-4 is 48), or a rest, or a
// hold that extends the note before it; length in rows (sixteenth notes).
struct MelodyNote {
    enum Kind { note, rest, hold } kind;
    int pitch;
    int rows;
    bool slide = false;  // glides in from the note before instead of striking again
};

// One chord of a progression: pitch classes above the root; empty for a rest.
struct Chord {
    int root;                // 0 = C .. 11 = B
    std::vector<int> tones;  // semitones above the root, ascending; empty = rest
    int beats;
};

// A drum groove: one bar of 16 steps per voice; '.' rest, 'o' ghost, 'x' hit, 'X'
// accent, 'r' a roll (the hit retriggered every third tick).
struct Groove {
    std::map<std::string, std::string> voices;  // kick, snare, hat, ohat, crash, tom
    int swing = 0;                              // ticks the off sixteenths are delayed
};

// One line inside a section: a part name, a style or melody names, and options.
struct Part {
    std::vector<std::string> words;  // after the part name, options removed
    int volume = -1;                 // "vol N": 0..64, -1 for the part's default
    int octave = 0;                  // "octave N": shifts melodies by N octaves
    int from_beat = 0;               // "from N": silent before beat N
    std::string fill;                // drums: "fill G" plays G over the last bar
    int until_beat = -1;             // "until N": silent from beat N on; -1 to the end
    int doubled = 0;                 // lead: "double N" doubles it N octaves away
};

// A moment inside a section that must fall on a time of the show, struck by an
// instrument.
struct HitMark {
    std::string instrument;  // crash, boom or bell
    double at;               // seconds from the start of the show
};

struct Section {
    std::string name;
    int beats = 0;
    double ends = -1;  // seconds from the start at which it must end; <0: free
    int bpm = 0;       // fixed tempo when ends is not given
    int transpose = 0;
    bool ring = false;  // "ring": what the section before held sounds on into this one
    std::vector<HitMark> hits;
    std::vector<Chord> chords;
    std::map<std::string, Part> parts;  // drums, bass, pad, arp, lead, counter, bell, fx
};

struct Score {
    std::string title;
    std::map<std::string, Groove> grooves;
    std::map<std::string, std::vector<MelodyNote>> melodies;
    std::vector<Section> sections;
};

// Parses the score text. On a mistake returns false and sets *error to
// "line N: what is wrong".
bool parse_score(const std::string& text, Score* score, std::string* error);

}  // namespace tune
