#pragma once

#include "corefoundation/MacTypes.h"

// Registers every wrapper class of this library with the HIObject registry, once:
// called at start-up (static initialisers would be dropped by the static link).
OSStatus RegisterWidgetClasses();
