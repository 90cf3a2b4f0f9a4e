#pragma once

// CF type ids of the Quartz objects. The range from kTWTypeIDFirstPlatform + 40
// belongs to this module; the events and toolbox modules number below it.

#include "corefoundation/CFBase.h"

enum : CFTypeID {
    kTWTypeIDColorSpace = kTWTypeIDFirstPlatform + 40,
    kTWTypeIDColor,
    kTWTypeIDPath,
    kTWTypeIDContext,
    kTWTypeIDImage,
    kTWTypeIDDataProvider,
    kTWTypeIDFunction,
    kTWTypeIDShading,
};
