// The catalogue table and the loader that pulls every entry out of "resource.rar"
// in one pass.
#include "archive/resources.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "platform/fatal.h"

#include "archive/rar_reader.h"

const char resource_catalogue[RESOURCE_COUNT][RESOURCE_NAME_BYTES] = {
#define RESOURCE(id, name) #name ".dat",
#include "archive/resource_list.h"
#undef RESOURCE
};

namespace {

constexpr uint32_t FRAME = 320 * 200;

struct MinBytes {
    ResourceId id;
    uint32_t bytes;
};

// What each scene reads of its resources, in catalogue order.
constexpr MinBytes min_bytes_table[] = {
    {RES_BIZK, 180 * 33},   {RES_KVLOGO, 320 * 36},  {RES_GPOR, 74 * 90},     {RES_NPOR, 71 * 89},
    {RES_PSX, FRAME},       {RES_FRM1, 132 * 144},   {RES_TUNNEL, 8},         {RES_FRM01, FRAME},
    {RES_FRM3, 52 * 144},   {RES_KELBCK, FRAME},     {RES_OVERL, 229 * 24},   {RES_SCLPIC, 174 * 33},
    {RES_GAIA, 120 * 30},   {RES_FRM2, 320 * 56},    {RES_NUDGE, 206 * 29},   {RES_OVERL2, 40 * 295},
    {RES_EPHOY, 146 * 23},  {RES_JAR, 133 * 26},     {RES_APFRM, FRAME},      {RES_DOTP, 47 * 65},
    {RES_LOWERA, 37 * 35},  {RES_UPPERA, 52 * 31},   {RES_GIRL, 108 * 188},   {RES_SELF_G, FRAME},
    {RES_ALIEN, FRAME},     {RES_ALWORK, 269 * 24},  {RES_APHANDL, 288 * 32}, {RES_BOY, 108 * 188},
    {RES_SELF_B, FRAME},    {RES_TEXTURE, 256 * 256}, {RES_K1, 105 * 71},     {RES_K2, 105 * 71},
    {RES_APSAVE, 320 * 45}, {RES_BLASM, 320 * 11},   {RES_FUDGE, 320 * 11},   {RES_HYPE, 320 * 11},
    {RES_PRONE, 320 * 11},  {RES_PURPLE, 320 * 11},  {RES_SE_CONT, 199 * 29}, {RES_FACE, 115 * 73},
    {RES_PAY_ATT, 238 * 27}, {RES_PLANT, FRAME},     {RES_FDTEX, 256 * 256},  {RES_TUBE_X, FRAME},
    {RES_TUBE_Y, FRAME},
};

constexpr bool table_in_catalogue_order() {
    if (std::size(min_bytes_table) != size_t(RESOURCE_COUNT)) return false;
    for (int i = 0; i < RESOURCE_COUNT; ++i)
        if (min_bytes_table[i].id != i || min_bytes_table[i].bytes > RESOURCE_MAX_BYTES) return false;
    return true;
}
static_assert(table_in_catalogue_order(), "one row per resource, in catalogue order, within the cap");

// The memory extraction of one resource: its block and the bytes written so far.
struct Landing {
    uint8_t* block;
    uint32_t length;
};

bool land(void* context, const uint8_t* bytes, size_t count) {
    Landing& l = *static_cast<Landing*>(context);
    std::memcpy(l.block + l.length, bytes, count);  // the walk never passes the declared size
    l.length += uint32_t(count);
    return true;
}

[[noreturn]] void loading_failed(int index, const char* why) {
    fatal_error("error loading resource '%s' (%s)", resource_catalogue[index], why);
}

}  // namespace

const uint32_t resource_min_bytes[RESOURCE_COUNT] = {
#define RESOURCE(id, name) min_bytes_table[RES_##id].bytes,
#include "archive/resource_list.h"
#undef RESOURCE
};

uint8_t* resource_slot[RESOURCE_COUNT];
uint32_t resource_length[RESOURCE_COUNT];

uint8_t* fetch_resource(const char* name, uint32_t* length_out) {
    uint8_t* block = nullptr;
    uint32_t length = 0;
    if (!extract_to_memory(&block, &length, name, RESOURCE_ARCHIVE, nullptr) || !block)
        fatal_error("error loading resource '%s' (%s: %s)", name, RESOURCE_ARCHIVE, read_failure_text());
    if (length_out) *length_out = length;
    return block;
}

void require_resources(const ResourceNeed* needs, int count) {
    for (int i = 0; i < count; ++i)
        if (!resource_slot[needs[i].id] || resource_length[needs[i].id] < needs[i].bytes)
            fatal_error("error loading resource '%s'", resource_catalogue[needs[i].id]);
}

void load_catalogue() {
    for (int i = 0; i < RESOURCE_COUNT; ++i) {
        resource_slot[i] = nullptr;  // every call loads afresh (blocks of an earlier call are kept)
        resource_length[i] = 0;
    }
    char why[160];
    if (!walk_open_file(RESOURCE_ARCHIVE, RESOURCE_ARCHIVE_MAX_BYTES, nullptr)) {
        if (read_failure() == ReadFailure::archive_too_big)
            std::snprintf(why, sizeof why, "%s is larger than %llu bytes", RESOURCE_ARCHIVE,
                          (unsigned long long)RESOURCE_ARCHIVE_MAX_BYTES);
        else
            std::snprintf(why, sizeof why, "%s: %s", RESOURCE_ARCHIVE, read_failure_text());
        loading_failed(0, why);
    }
    int loaded = 0;
    uint64_t decoded = 0;  // unpacked bytes the walk decodes, declared before decoding
    WalkEntry e;
    int r = 0;
    while (loaded < RESOURCE_COUNT && (r = walk_next(&e)) > 0) {
        int index = -1;
        for (int i = 0; i < RESOURCE_COUNT && index < 0; ++i)
            if (resource_slot[i] == nullptr && walk_entry_is(e, resource_catalogue[i])) index = i;
        if (walk_solid() && e.method != 0x30) decoded += e.unpacked;
        if (decoded > RESOURCE_DECODE_MAX_BYTES) {
            int first = 0;
            while (resource_slot[first] != nullptr) ++first;
            std::snprintf(why, sizeof why, "%s: its solid entries would decode to more than %llu bytes",
                          RESOURCE_ARCHIVE, (unsigned long long)RESOURCE_DECODE_MAX_BYTES);
            loading_failed(index >= 0 ? index : first, why);
        }
        if (index < 0) continue;  // passed over (decoded first when the archive is solid)
        if (e.unpacked > RESOURCE_MAX_BYTES) {
            std::snprintf(why, sizeof why, "it declares %u bytes, more than the %u a resource can be",
                          e.unpacked, RESOURCE_MAX_BYTES);
            loading_failed(index, why);
        }
        if (e.unpacked < resource_min_bytes[index]) {
            std::snprintf(why, sizeof why, "%u bytes, fewer than the %u the show reads", e.unpacked,
                          resource_min_bytes[index]);
            loading_failed(index, why);
        }
        Landing landing{static_cast<uint8_t*>(std::malloc(e.unpacked > 0 ? e.unpacked : 1)), 0};
        if (landing.block == nullptr) loading_failed(index, "out of memory");
        if (!walk_unpack(land, &landing)) loading_failed(index, read_failure_text());
        resource_slot[index] = landing.block;
        resource_length[index] = landing.length;
        ++loaded;
    }
    if (r < 0) {
        std::snprintf(why, sizeof why, "%s: %s", RESOURCE_ARCHIVE, read_failure_text());
    }
    walk_close();
    for (int i = 0; i < RESOURCE_COUNT; ++i) {
        if (resource_slot[i] != nullptr) continue;
        if (r >= 0) std::snprintf(why, sizeof why, "not in %s", RESOURCE_ARCHIVE);
        loading_failed(i, why);
    }
}
