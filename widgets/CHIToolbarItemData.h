#pragma once

#include "foundation/CString.h"
#include "quartz/CGImage.h"
#include "services/Icons.h"
#include "toolbox/HIToolboxTypes.h"

class CHIToolbarItem;
class CHIView;

// One toolbar item description: the item's attributes, identifier, label,
// help tags, the maker of its own view (if any), command, icon or image, and
// whether it is in the default set or made by the toolbox itself. Copies
// share the icon and image (each copy holds a reference).
class CHIToolbarItemData {
public:
    using ViewCreator = CHIView* (*)(CHIToolbarItem const* item);

    CHIToolbarItemData() = default;
    CHIToolbarItemData(CHIToolbarItemData const& other);
    CHIToolbarItemData& operator=(CHIToolbarItemData const& other);
    virtual ~CHIToolbarItemData();

    // The toolbox item behind the description: none for a bare description.
    virtual HIToolbarItemRef GetHIToolbarItemRef(bool retain) const;

    void SetIcon(IconRef icon);
    void SetImage(CGImageRef image);

    UInt32 mOptions = 0;
    CString mIdentifier;
    CString mLabel;
    CString mHelpTag;
    CString mExtendedHelpTag;
    ViewCreator mViewCreator = nullptr;
    UInt32 mCommand = 0;
    IconRef mIcon = nullptr; // retains
    CGImageRef mImage = nullptr; // retains; used when there is no icon
    bool mInDefaultSet = false;
    bool mStandard = false;
};
