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

// The most bytes a resource of the catalogue can be: its largest layout is a
// 256 x 256 texture. An entry that declares more is refused before decoding.
constexpr uint32_t RESOURCE_MAX_BYTES = 65536;

// The largest "resource.rar" the show opens (checked with fstat before reading).
constexpr uint64_t RESOURCE_ARCHIVE_MAX_BYTES = uint64_t(16) << 20;

// The most unpacked bytes the show decodes from a solid archive, its resources
// and any other entries before them together; larger is refused before decoding.
constexpr uint64_t RESOURCE_DECODE_MAX_BYTES = uint64_t(16) << 20;

// Bytes each catalogue entry must hold at least: the layout its scene reads
// (width x height, or the rows and bands it uses). Checked once at start-up.
extern const uint32_t resource_min_bytes[RESOURCE_COUNT];

// Byte length of each loaded slot (0 until loaded). The scenes know their layouts;
// require_resources checks them against it.
extern uint32_t resource_length[RESOURCE_COUNT];

// Extracts the named entry of "resource.rar" into a fresh heap block, stores its
// length through length_out when that is not null, and returns the block. Any
// failure ends the program: "error loading resource '<name>' (<why>)", exit code
// 1. For a single entry; load_catalogue reads the whole catalogue in one pass.
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

// Loads all 45 entries into resource_slot and resource_length in one pass over
// "resource.rar" (opened without blocking, a regular file of at most
// RESOURCE_ARCHIVE_MAX_BYTES): each is the first entry of its name in archive
// order, refused before decoding when it declares more than RESOURCE_MAX_BYTES or
// fewer than resource_min_bytes; a solid archive is decoded once, in order. The
// first failure is fatal: "error loading resource '<name>' (<why>)", exit code 1.
// Called once by the driver before the display starts.
void load_catalogue();
