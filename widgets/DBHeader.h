#pragma once

#include "foundation/CString.h"
#include "toolbox/controls/ControlDefinitions.h"

// One list-view column: its property, type and flags, its initial sort order,
// width limits, title and the header button's font and content.
struct DBHeader {
    DBHeader() = default;
    DBHeader(DBHeader const&) = default;
    DBHeader& operator=(DBHeader const&) = default;

    UInt32 propertyID = 0;
    UInt32 propertyType = 0;
    UInt32 propertyFlags = 0;
    UInt16 initialOrder = 0;
    UInt16 minimumWidth = 0;
    UInt16 maximumWidth = 0;
    SInt16 titleOffset = 0;
    CString title;
    ControlFontStyleRec btnFontStyle;
    ControlButtonContentInfo btnContentInfo;
};
