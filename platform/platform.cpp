// The installed back end; see platform.h.
#include "platform/platform.h"

Platform platform{};

void platform_install(const Platform& p) { platform = p; }
