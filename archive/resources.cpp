// The catalogue table and the loader that pulls each entry out of "resource.rar".
#include "archive/resources.h"

#include "platform/fatal.h"

#include "archive/rar_reader.h"

const char resource_catalogue[RESOURCE_COUNT][RESOURCE_NAME_BYTES] = {
#define RESOURCE(id, name) #name ".dat",
#include "archive/resource_list.h"
#undef RESOURCE
};

uint8_t* resource_slot[RESOURCE_COUNT];
uint32_t resource_length[RESOURCE_COUNT];

uint8_t* fetch_resource(const char* name, uint32_t* length_out) {
    uint8_t* block = nullptr;
    uint32_t length = 0;
    if (!extract_to_memory(&block, &length, name, RESOURCE_ARCHIVE, nullptr) || !block)
        fatal_error("error loading resource '%s'", name);
    if (length_out) *length_out = length;
    return block;
}

void require_resources(const ResourceNeed* needs, int count) {
    for (int i = 0; i < count; ++i)
        if (!resource_slot[needs[i].id] || resource_length[needs[i].id] < needs[i].bytes)
            fatal_error("error loading resource '%s'", resource_catalogue[needs[i].id]);
}

void load_catalogue() {
    for (int i = 0; i < RESOURCE_COUNT; ++i)
        resource_slot[i] = fetch_resource(resource_catalogue[i], &resource_length[i]);
}
