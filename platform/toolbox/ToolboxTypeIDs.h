#pragma once

// CF type ids of the toolbox objects, in the platform range below the Quartz module's.

#include "corefoundation/CFBase.h"

enum : CFTypeID {
    kTWTypeIDHIObject = kTWTypeIDFirstPlatform + 20,
    kTWTypeIDView,
    kTWTypeIDWindow,
    kTWTypeIDMenu,
    kTWTypeIDNib,
};
