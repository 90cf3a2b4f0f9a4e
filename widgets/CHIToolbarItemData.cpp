#include "widgets/CHIToolbarItemData.h"

CHIToolbarItemData::CHIToolbarItemData(CHIToolbarItemData const& other) { *this = other; }

CHIToolbarItemData& CHIToolbarItemData::operator=(CHIToolbarItemData const& other)
{
    if (this == &other)
        return *this;
    mOptions = other.mOptions;
    mIdentifier = other.mIdentifier;
    mLabel = other.mLabel;
    mHelpTag = other.mHelpTag;
    mExtendedHelpTag = other.mExtendedHelpTag;
    mViewCreator = other.mViewCreator;
    mCommand = other.mCommand;
    SetIcon(other.mIcon);
    SetImage(other.mImage);
    mInDefaultSet = other.mInDefaultSet;
    mStandard = other.mStandard;
    return *this;
}

CHIToolbarItemData::~CHIToolbarItemData()
{
    SetIcon(nullptr);
    SetImage(nullptr);
}

HIToolbarItemRef CHIToolbarItemData::GetHIToolbarItemRef(bool) const { return nullptr; }

void CHIToolbarItemData::SetIcon(IconRef icon)
{
    if (icon)
        AcquireIconRef(icon);
    if (mIcon)
        ReleaseIconRef(mIcon);
    mIcon = icon;
}

void CHIToolbarItemData::SetImage(CGImageRef image)
{
    if (image)
        CGImageRetain(image);
    if (mImage)
        CGImageRelease(mImage);
    mImage = image;
}
