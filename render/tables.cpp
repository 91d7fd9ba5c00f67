// PLACEHOLDER: the lookup tables arrive with the render kit; no scene reads them yet.
#include "render/tables.h"

void build_lookup_tables() {}
