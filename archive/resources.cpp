// PLACEHOLDER: the catalogue loader arrives with the resource archive; until then
// no scene reads a resource and nothing is loaded.
#include "archive/resources.h"

uint8_t* resource_slot[RESOURCE_COUNT];

void load_catalogue() {}
