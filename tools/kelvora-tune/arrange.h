// From score to module: parts laid out on the tracker grid, the tempo of every
// section fitted to its end time, the grid cut into patterns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "score.h"
#include "xm.h"

namespace tune {

// A row inside a section that must land on a time of the show, with a hit on it.
struct Hit {
    int order, row;
    double at_s;
};

// Where a section lies: its first order, its rows, the times it must start and end
// at, the range of tempos fitted to them (speed 6 throughout) and its hits.
struct SectionTiming {
    std::string name;
    int first_order;  // order-list position of its first pattern
    int rows;
    double start_s, end_s;
    int bpm_low, bpm_high;
    std::vector<Hit> hits;
};

// The mixing rates the show offers, and how far (in seconds) a section's first row
// may fall from its time at each: the tempos are fitted so that every rate holds.
extern const int mix_rates[4];
extern const double timing_tolerance[4];

// The channels of the arrangement, in XM order.
enum Channel {
    ch_kick, ch_snare, ch_hat, ch_bass, ch_pad0, ch_pad1, ch_pad2, ch_lead, ch_echo, ch_double,
    ch_counter, ch_arp, ch_bell, ch_crash, ch_hit, ch_riser, ch_control, ch_spare, channel_count
};

// Lays the score out as a module. On a mistake returns false with *error set.
bool arrange(const Score& score, xm::Module* module, std::vector<SectionTiming>* timing,
             std::string* error);

// The channels that carry the lead line, and the pad's: the report compares them.
std::vector<int> lead_channels();
std::vector<int> pad_channels();

// Reads and parses the score file and arranges it. Used by the tool's main and by
// the tests.
bool compose_module(const std::string& score_path, xm::Module* module, std::vector<SectionTiming>* timing,
                    std::string* error);

// compose_module, then the XM bytes.
bool compose_file(const std::string& score_path, std::vector<uint8_t>* bytes,
                  std::vector<SectionTiming>* timing, std::string* error);

}  // namespace tune
