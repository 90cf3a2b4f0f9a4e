#pragma once

// Theme text and theme drawing. Text is set by Pango in DejaVu Sans at the
// theme font's size and always comes out upright, in flipped and y-up contexts
// alike, in the context's fill colour and text drawing mode.

#include "corefoundation/CFString.h"
#include "quartz/CGContext.h"
#include "quartz/HIGeometry.h"

using ThemeFontID = UInt16;
using ThemeDrawState = UInt32;
using HIThemeOrientation = UInt32;
using HIThemeTextHorizontalFlush = UInt32;
using HIThemeTextVerticalFlush = UInt32;
using HIThemeTextBoxOptions = UInt32;
using HIThemeTextTruncation = UInt32;
using ThemeBrush = SInt16;

enum : ThemeFontID {
    kThemeSystemFont = 0,
    kThemeSmallSystemFont = 1,
    kThemeSmallEmphasizedSystemFont = 2,
    kThemeViewsFont = 3,
    kThemeEmphasizedSystemFont = 4,
    kThemeApplicationFont = 5,
    kThemeLabelFont = 6,
    kThemeMiniSystemFont = 109,
};

enum : ThemeDrawState { kThemeStateInactive = 0, kThemeStateActive = 1, kThemeStatePressed = 2 };
enum : HIThemeOrientation { kHIThemeOrientationNormal = 0, kHIThemeOrientationInverted = 1 };
enum : HIThemeTextHorizontalFlush {
    kHIThemeTextHorizontalFlushLeft = 0,
    kHIThemeTextHorizontalFlushCenter = 1,
    kHIThemeTextHorizontalFlushRight = 2,
};
enum : HIThemeTextVerticalFlush {
    kHIThemeTextVerticalFlushTop = 0,
    kHIThemeTextVerticalFlushCenter = 1,
    kHIThemeTextVerticalFlushBottom = 2,
};
enum : HIThemeTextBoxOptions { kHIThemeTextBoxOptionNone = 0 };
enum : HIThemeTextTruncation {
    kHIThemeTextTruncationNone = 0,
    kHIThemeTextTruncationStart = 1,
    kHIThemeTextTruncationMiddle = 2,
    kHIThemeTextTruncationEnd = 3,
};

struct HIThemeTextInfo {
    UInt32 version = 0;
    ThemeDrawState state = kThemeStateActive;
    ThemeFontID fontID = kThemeSystemFont;
    HIThemeTextHorizontalFlush horizontalFlushness = kHIThemeTextHorizontalFlushLeft;
    HIThemeTextVerticalFlush verticalFlushness = kHIThemeTextVerticalFlushTop;
    HIThemeTextBoxOptions options = kHIThemeTextBoxOptionNone;
    HIThemeTextTruncation truncationPosition = kHIThemeTextTruncationNone;
    UInt32 truncationMaxLines = 0; // 0: as many lines as the box holds
    Boolean truncationHappened = false; // set by the calls below
};

// Lines wrap at the box width. The draw state leaves the colour alone: callers set the fill colour. With a truncation
// position the text is cut with an ellipsis to truncationMaxLines (or to the lines that fit the box height). -50 for a
// null argument.
OSStatus HIThemeDrawTextBox(CFStringRef string, HIRect const* bounds, HIThemeTextInfo* info, CGContextRef context,
    HIThemeOrientation orientation);
// width 0: no wrapping. outBaseline: the last line's descent, as a negative offset from the bottom.
OSStatus HIThemeGetTextDimensions(CFStringRef string, CGFloat width, HIThemeTextInfo* info, CGFloat* outWidth,
    CGFloat* outHeight, CGFloat* outBaseline);

// Theme brushes: the colours of theme backgrounds and marks.
enum : ThemeBrush {
    kThemeBrushDocumentWindowBackground = 15,
    kThemeBrushFocusHighlight = 19,
    kThemeBrushDragHilite = 41,
    kThemeBrushMovableModalBackground = 49,
    kThemeBrushSheetBackgroundOpaque = 53,
};
// Sets the context's fill or stroke colour to the brush. -50 for an unknown brush or a null context.
OSStatus HIThemeSetFill(ThemeBrush brush, void* info, CGContextRef context, HIThemeOrientation orientation);
OSStatus HIThemeSetStroke(ThemeBrush brush, void* info, CGContextRef context, HIThemeOrientation orientation);

using ThemeFrameKind = UInt32;
enum : ThemeFrameKind { kHIThemeFrameTextFieldSquare = 0, kHIThemeFrameListBox = 1 };
struct HIThemeFrameDrawInfo {
    UInt32 version = 0;
    ThemeFrameKind kind = kHIThemeFrameTextFieldSquare;
    ThemeDrawState state = kThemeStateActive;
    Boolean isFocused = false;
};

using ThemeBackgroundKind = UInt32;
enum : ThemeBackgroundKind { kThemeBackgroundPlacard = 0, kThemeBackgroundWindowHeader = 1 };
struct HIThemeBackgroundDrawInfo {
    UInt32 version = 0;
    ThemeDrawState state = kThemeStateActive;
    ThemeBackgroundKind kind = kThemeBackgroundPlacard;
};

struct HIThemeSeparatorDrawInfo {
    UInt32 version = 0;
    ThemeDrawState state = kThemeStateActive;
};

// Frames, focus rings, backgrounds and separators, drawn inside the rect (the focus ring just outside it).
OSStatus HIThemeDrawFrame(
    HIRect const* rect, HIThemeFrameDrawInfo const* info, CGContextRef context, HIThemeOrientation orientation);
OSStatus HIThemeDrawFocusRect(
    HIRect const* rect, Boolean hasFocus, CGContextRef context, HIThemeOrientation orientation);
OSStatus HIThemeDrawBackground(
    HIRect const* rect, HIThemeBackgroundDrawInfo const* info, CGContextRef context, HIThemeOrientation orientation);
// A one-pixel line along the rect's longer side.
OSStatus HIThemeDrawSeparator(
    HIRect const* rect, HIThemeSeparatorDrawInfo const* info, CGContextRef context, HIThemeOrientation orientation);
