#pragma once

// Menu Manager value types, with Carbon's values.

#include "corefoundation/CFString.h"
#include "toolbox/HIToolboxTypes.h"

using MenuID = SInt16;
using MenuAttributes = UInt32;
using MenuItemAttributes = UInt32;
using MenuTrackingMode = UInt32;
using MenuEventOptions = UInt32;

enum : MenuItemAttributes {
    kMenuItemAttrDisabled = 1 << 0,
    kMenuItemAttrIconDisabled = 1 << 1,
    kMenuItemAttrSubmenuParentChoosable = 1 << 2,
    kMenuItemAttrDynamic = 1 << 3,
    kMenuItemAttrNotPreviousAlternate = 1 << 4,
    kMenuItemAttrHidden = 1 << 5,
    kMenuItemAttrSeparator = 1 << 6,
    kMenuItemAttrSectionHeader = 1 << 7,
    kMenuItemAttrIgnoreMeta = 1 << 8,
    kMenuItemAttrAutoRepeat = 1 << 9,
    kMenuItemAttrUseVirtualKey = 1 << 10,
    kMenuItemAttrCustomDraw = 1 << 11,
    kMenuItemAttrIncludeInCmdKeyMatching = 1 << 12,
    kMenuItemAttrAutoDisable = 1 << 13,
};

// Key equivalent modifiers of an item: Command is implied unless kMenuNoCommandModifier.
enum : UInt8 {
    kMenuNoModifiers = 0,
    kMenuShiftModifier = 1 << 0,
    kMenuOptionModifier = 1 << 1,
    kMenuControlModifier = 1 << 2,
    kMenuNoCommandModifier = 1 << 3,
};

enum : UniChar {
    noMark = 0,
    checkMark = 0x12,
    diamondMark = 0x13,
};

// Kinds of item icon (SetMenuItemIconHandle); menus draw the CGImage kind.
enum : UInt8 {
    kMenuCGImageRefType = 7,
};

// Contextual menu answers.
enum : UInt32 {
    kCMNothingSelected = 0,
    kCMMenuItemSelected = 1,
    kCMShowHelpSelected = 3,
};

using CharParameter = UInt16;
using URefCon = UInt32;
using ConstStr255Param = unsigned char const*;
