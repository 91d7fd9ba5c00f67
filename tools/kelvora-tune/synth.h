// The instrument recipes: every sample of the soundtrack is computed here from a
// few lines of signal arithmetic, deterministically (a fixed-seed noise generator,
// no clock, no files).
#pragma once

#include <string>
#include <vector>

#include "xm.h"

namespace tune {

// The instruments in their XM order (instrument n is entry n - 1), named as the
// score names them: kick, snare, hat, ohat, crash, bass, pad, lead, arp, bell, riser,
// square, pluck, boom.
std::vector<xm::Instrument> build_instruments();

// Index (0-based) of the named instrument in build_instruments(), or -1.
int instrument_index(const std::string& name);

// Length in seconds of the riser sample when played at C-4, for triggering it so
// that it ends on a section change.
double riser_seconds();
// Frames per second of the riser sample when played at C-4.
double riser_rate();

}  // namespace tune
