#pragma once

// Value types of the HIView and Control Manager calls.

#include "corefoundation/CFString.h"
#include "toolbox/HIToolboxTypes.h"

struct HIViewID {
    OSType signature;
    SInt32 id;
};
using ControlID = HIViewID;

inline constexpr HIViewID kHIViewWindowContentID { 'wind', 1 };
inline constexpr HIViewID kHIViewWindowGrowBoxID { 'grow', 0 };

using HIViewZOrderOp = UInt32;
enum : HIViewZOrderOp {
    kHIViewZOrderAbove = 1,
    kHIViewZOrderBelow = 2,
};

using HIViewFeatures = UInt64;
enum : HIViewFeatures {
    kHIViewFeatureSupportsEmbedding = 1 << 1,
    kHIViewFeatureAllowsSubviews = 1 << 1,
    kHIViewFeatureGetsFocusOnClick = 1 << 8,
    kHIViewFeatureIsOpaque = 1ULL << 24,
};

enum : ControlPartCode {
    kControlNoPart = 0,
    kControlIndicatorPart = 129,
    kControlButtonPart = 10,
    kControlCheckBoxPart = 11,
    kControlFocusNoPart = 0,
    kControlFocusNextPart = -1,
    kControlFocusPrevPart = -2,
    kHIViewFocusNoPart = 0,
    kHIViewFocusNextPart = -1,
    kHIViewFocusPrevPart = -2,
};

// Layout: each edge may be bound to the same edge of the parent.
using HIBindingKind = UInt16;
enum : HIBindingKind {
    kHILayoutBindNone = 0,
    kHILayoutBindMin = 1,
    kHILayoutBindMax = 2,
};
struct HISideBinding {
    HIViewRef toView; // null: the parent
    HIBindingKind kind;
    CGFloat offset;
};
struct HIBinding {
    HISideBinding top, left, bottom, right;
};
struct HIAxisScale {
    HIViewRef toView;
    UInt16 kind;
    CGFloat ratio;
};
struct HIScaling {
    HIAxisScale x, y;
};
struct HIAxisPosition {
    HIViewRef toView;
    UInt16 kind;
    CGFloat offset;
};
struct HIPositioning {
    HIAxisPosition x, y;
};
struct HILayoutInfo {
    UInt32 version;
    HIBinding binding;
    HIScaling scale;
    HIPositioning position;
};
enum : UInt32 { kHILayoutInfoVersionZero = 0 };

// Help tags.
using HMContentType = OSType;
enum : HMContentType {
    kHMNoContent = 'none',
    kHMCFStringContent = 'cfst',
    kHMPascalStrContent = 'pstr',
};
using HMTagDisplaySide = SInt16;
enum : HMTagDisplaySide { kHMDefaultSide = 0, kHMOutsideTopLeftAligned = 5 };
enum : SInt32 { kMacHelpVersion = 3 };
enum : int { kHMMinimumContentIndex = 0, kHMMaximumContentIndex = 1 };
struct HMHelpContent {
    HMContentType contentType;
    union {
        CFStringRef tagCFString;
        unsigned char tagString[256];
    } u;
};
struct HMHelpContentRec {
    SInt32 version;
    Rect absHotRect;
    HMTagDisplaySide tagSide;
    HMHelpContent content[2];
};

// What a control carries besides its geometry.
struct ControlValues {
    SInt32 value = 0;
    SInt32 minimum = 0;
    SInt32 maximum = 0;
    MenuCommand command = 0;
    HIViewID id { 0, 0 };
    OSType kindSignature = 0;
    OSType kind = 0;
};

struct ControlKind {
    OSType signature;
    OSType kind;
};
