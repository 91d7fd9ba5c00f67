// The resource catalogue: 45 named entries of "resource.rar", loaded once at
// start-up and read by the scenes through resource_slot.
#pragma once

#include <cstdint>

constexpr int RESOURCE_NAME_BYTES = 32;

// The archive every entry is read from, relative to the current directory.
constexpr const char* RESOURCE_ARCHIVE = "resource.rar";

// Catalogue indices, in load order (archive/resource_list.h); resource_slot[RES_PSX]
// is "psx.dat".
enum ResourceId : int {
#define RESOURCE(id, name) RES_##id,
#include "archive/resource_list.h"
#undef RESOURCE
};

// 45: the entries of the list.
constexpr int RESOURCE_COUNT = 0
#define RESOURCE(id, name) +1
#include "archive/resource_list.h"
#undef RESOURCE
    ;

// The 45 file names in load order, each NUL-terminated and zero-padded to 32 bytes:
// lower case, ".dat", no directory part.
extern const char resource_catalogue[RESOURCE_COUNT][RESOURCE_NAME_BYTES];

// Slot i holds catalogue entry i as unpacked from the archive; never freed.
extern uint8_t* resource_slot[RESOURCE_COUNT];

// Byte length of each loaded slot (0 until loaded). The scenes know their layouts;
// require_resources checks them against it.
extern uint32_t resource_length[RESOURCE_COUNT];

// Extracts the named entry of "resource.rar" into a fresh heap block, stores its
// length through length_out when that is not null, and returns the block. Any
// failure ends the program: "error loading resource '<name>'", exit code 1.
// Called by load_catalogue, once per entry.
uint8_t* fetch_resource(const char* name, uint32_t* length_out);

// Bytes a scene reads from one resource.
struct ResourceNeed {
    ResourceId id;
    uint32_t bytes;
};

// Stops the show with "error loading resource '<name>'" at the first of the needs
// whose resource is not loaded or is shorter than the bytes the scene reads. Called
// by each scene before its first phase, so that no phase reads past a loaded block.
void require_resources(const ResourceNeed* needs, int count);
template <int N>
void require_resources(const ResourceNeed (&needs)[N]) {
    require_resources(needs, N);
}

// Loads all 45 entries in catalogue order into resource_slot and resource_length;
// the first failure is fatal. Called once by the driver before the display starts.
void load_catalogue();
