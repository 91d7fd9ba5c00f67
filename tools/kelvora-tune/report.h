// kelvora-tune --report: the composed module measured as a listener's player renders
// it, so that its loudness, balance and timing are figures rather than beliefs.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "arrange.h"
#include "xm.h"

namespace tune {

// Renders the module through libopenmpt at every rate the show offers and prints to
// out: EBU R128 integrated loudness, loudness range and true peak, clipped samples,
// loudness and lead-over-pad level per section, expression commands per 100 rows,
// and where each section and hit starts against its time at every rate. Returns
// false with *error set when the player refuses the module.
bool print_report(const xm::Module& module, const std::vector<SectionTiming>& sections, FILE* out,
                  std::string* error);

}  // namespace tune
