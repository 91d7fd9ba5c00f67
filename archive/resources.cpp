// The catalogue table and the loader that pulls each entry out of "resource.rar".
#include "archive/resources.h"

#include "platform/fatal.h"

#include "archive/rar_reader.h"

const char resource_catalogue[RESOURCE_COUNT][RESOURCE_NAME_BYTES] = {
    "bizk.dat",    "kvlogo.dat",  "gpor.dat",   "npor.dat",    "psx.dat",    "frm1.dat",
    "tunnel.dat",  "frm01.dat",   "frm3.dat",   "kelbck.dat",  "overl.dat",  "sclpic.dat",
    "gaia.dat",    "frm2.dat",    "nudge.dat",  "overl2.dat",  "ephoy.dat",  "jar.dat",
    "apfrm.dat",   "dotp.dat",    "lowera.dat", "uppera.dat",  "girl.dat",   "self_g.dat",
    "alien.dat",   "alwork.dat",  "aphandl.dat", "boy.dat",    "self_b.dat", "texture.dat",
    "k1.dat",      "k2.dat",      "apsave.dat", "blasm.dat",   "fudge.dat",  "hype.dat",
    "prone.dat",   "purple.dat",  "se_cont.dat", "face.dat",   "pay_att.dat", "plant.dat",
    "fdtex.dat",   "tube_x.dat",  "tube_y.dat",
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
