#pragma once

// The virtual key codes the toolbox's own controls and dialogs handle: the Mac's, as
// the display layer delivers them in kEventParamKeyCode.

#include "corefoundation/MacTypes.h"

namespace tw::toolbox {

enum : UInt32 {
    kKeyReturn = 36,
    kKeyTab = 48,
    kKeySpace = 49,
    kKeyBackspace = 51,
    kKeyEnter = 52,
    kKeyEscape = 53,
    kKeyPadEnter = 76,
    kKeyHome = 115,
    kKeyPageUp = 116,
    kKeyForwardDelete = 117,
    kKeyEnd = 119,
    kKeyPageDown = 121,
    kKeyLeft = 123,
    kKeyRight = 124,
    kKeyDown = 125,
    kKeyUp = 126,
};

} // namespace tw::toolbox
