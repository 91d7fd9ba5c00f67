// The resource catalogue: 45 named entries of "resource.rar", loaded once at
// start-up and read by the scenes through resource_slot.
#pragma once

#include <cstdint>

constexpr int RESOURCE_COUNT = 45;

// Slot i holds catalogue entry i as unpacked from the archive; never freed.
extern uint8_t* resource_slot[RESOURCE_COUNT];

// Loads all 45 entries in catalogue order; the first failure is fatal
// ("error loading resource '%s'"). Called once by the driver.
void load_catalogue();
