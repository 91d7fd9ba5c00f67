// Lookup tables computed once at start-up and shared by several scenes.
#pragma once

// Allocates and computes the shared tables. Called once by the driver, after the
// resources and before the display.
void build_lookup_tables();
