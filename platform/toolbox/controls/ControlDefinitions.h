#pragma once

// The Control Manager's face for the standard controls: creation calls, the
// data tags each control answers, and the records and procedures exchanged
// through control data. Values are Carbon's, since nibs and callers store them.

#include "quartz/CGContext.h"
#include "services/Icons.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/MenuTypes.h"
#include "toolbox/WindowTypes.h"

// Control data tags.
enum : OSType {
    kControlEditTextCFStringTag = 'cfst',
    kControlStaticTextCFStringTag = 'cfst',
    kControlEditTextTextTag = 'text',
    kControlStaticTextTextTag = 'text',
    kControlEditTextSelectionTag = 'sele',
    kControlEditTextKeyFilterTag = 'fltr',
    kControlEditTextValidationProcTag = 'vali',
    kControlEditTextSingleLineTag = 'sglc',
    kControlEditTextPasswordTag = 'pass',
    kControlEditTextLockedTag = 'lock',
    kControlPushButtonDefaultTag = 'dflt',
    kControlPushButtonCancelTag = 'cncl',
    kControlBevelButtonContentTag = 'cont',
    kControlPopupButtonMenuRefTag = 'mhan',
    kControlProgressBarIndeterminateTag = 'inde',
    kControlProgressBarAnimatingTag = 'anim',
    kControlChasingArrowsAnimatingTag = 'anim',
    kControlSizeTag = 'size',
    kControlFontStyleTag = 'font',
    kControlUserPaneDrawProcTag = 'draw',
    kControlUserPaneHitTestProcTag = 'hitt',
    kControlUserPaneTrackingProcTag = 'trak',
    kControlUserPaneKeyDownProcTag = 'keyd',
    kControlIconContentTag = 'cont',
    kControlSliderTickCountTag = 'tick',
};

enum : ControlPartCode {
    kControlEntireControl = 0,
    kControlEditTextPart = 5,
    kControlUpButtonPart = 20,
    kControlDownButtonPart = 21,
    kControlPageUpPart = 22,
    kControlPageDownPart = 23,
};

// Button content.
using ControlContentType = SInt16;
enum : ControlContentType {
    kControlContentTextOnly = 0,
    kControlContentIconRef = 132,
    kControlContentCGImageRef = 134,
};
struct ControlButtonContentInfo {
    ControlContentType contentType = kControlContentTextOnly;
    union {
        IconRef iconRef;
        CGImageRef imageRef;
    } u {};
};
enum : UInt16 {
    kControlBevelButtonSmallBevel = 0,
    kControlBehaviorPushbutton = 0,
    kControlBehaviorToggles = 0x0100,
    kControlBevelButtonMenuOnRight = 1,
    kControlBevelButtonAlignCenter = 0,
    kControlBevelButtonAlignLeft = 1,
    kControlBevelButtonAlignRight = 2,
};

// Sizes and fonts.
enum : UInt16 {
    kControlSizeNormal = 0,
    kControlSizeSmall = 1,
    kControlSizeLarge = 2,
    kControlSizeMini = 3,
};
enum : SInt16 {
    kControlUseFontMask = 0x0001,
    kControlUseThemeFontIDMask = 0x0080,
};
struct ControlFontStyleRec {
    SInt16 flags = 0;
    SInt16 font = 0;
    SInt16 size = 0;
    SInt16 style = 0;
    SInt16 mode = 0;
    SInt16 just = 0;
    RGBColor foreColor {};
    RGBColor backColor {};
};

// Edit text.
struct ControlEditTextSelectionRec {
    SInt16 selStart = 0;
    SInt16 selEnd = 0;
};
using ControlKeyFilterResult = SInt16;
enum : ControlKeyFilterResult { kControlKeyFilterBlockKey = 0, kControlKeyFilterPassKey = 1 };
using ControlKeyFilterProcPtr
    = ControlKeyFilterResult (*)(ControlRef control, SInt16* keyCode, SInt16* charCode, UInt32* modifiers);
using ControlKeyFilterUPP = ControlKeyFilterProcPtr;
using ControlEditTextValidationProcPtr = void (*)(ControlRef control);
using ControlEditTextValidationUPP = ControlEditTextValidationProcPtr;

// Tracking actions and user panes.
using ControlActionProcPtr = void (*)(ControlRef control, ControlPartCode part);
using ControlActionUPP = ControlActionProcPtr;
using ControlUserPaneDrawProcPtr = void (*)(ControlRef control, SInt16 part);
using ControlUserPaneHitTestProcPtr = ControlPartCode (*)(ControlRef control, Point where);
using ControlUserPaneTrackingProcPtr = ControlPartCode (*)(ControlRef control, Point start, ControlActionUPP action);
using ControlUserPaneKeyDownProcPtr
    = ControlPartCode (*)(ControlRef control, SInt16 keyCode, SInt16 charCode, SInt16 modifiers);
enum : UInt32 {
    kControlSupportsEmbedding = 1 << 1,
    kControlSupportsFocus = 1 << 2,
    kControlGetsFocusOnClick = 1 << 8,
};

// Progress and segmented views.
using HISegmentBehavior = UInt32;
enum : HISegmentBehavior {
    kHISegmentBehaviorMomentary = 1,
    kHISegmentBehaviorRadio = 2,
    kHISegmentBehaviorToggles = 3,
    kHISegmentBehaviorSticky = 4,
};

// Scroll views: navigation flags of HIScrollViewNavigate.
using HIScrollViewAction = UInt32;
enum : HIScrollViewAction {
    kHIScrollViewScrollToTop = 1 << 0,
    kHIScrollViewScrollToBottom = 1 << 1,
    kHIScrollViewScrollToLeft = 1 << 2,
    kHIScrollViewScrollToRight = 1 << 3,
    kHIScrollViewPageUp = 1 << 4,
    kHIScrollViewPageDown = 1 << 5,
    kHIScrollViewPageLeft = 1 << 6,
    kHIScrollViewPageRight = 1 << 7,
};
enum : OptionBits {
    kHIScrollViewOptionsVertScroll = 1 << 0,
    kHIScrollViewOptionsHorizScroll = 1 << 1,
    kHIScrollViewOptionsAllowGrow = 1 << 2,
};
enum : EventParamName { kEventParamLineSize = 'lnsz' };
inline constexpr CGFloat kScrollBarWidth = 15; // [px]

// A user pane's draw procedure reaches the context it draws into through its window's port.
OSStatus QDBeginCGContext(CGrafPtr port, CGContextRef* outContext);
OSStatus QDEndCGContext(CGrafPtr port, CGContextRef* context);

// Creation: each makes the control in the window's content view (null window: unparented).
OSStatus CreatePushButtonControl(WindowRef window, Rect const* bounds, CFStringRef title, ControlRef* outControl);
OSStatus CreatePushButtonWithIconControl(WindowRef window, Rect const* bounds, CFStringRef title,
    ControlButtonContentInfo* icon, UInt16 alignment, ControlRef* outControl);
OSStatus CreateBevelButtonControl(WindowRef window, Rect const* bounds, CFStringRef title, UInt16 thickness,
    UInt16 behavior, ControlButtonContentInfo* content, SInt16 menuID, UInt16 menuBehavior, UInt16 menuPlacement,
    ControlRef* outControl);
OSStatus CreateCheckBoxControl(
    WindowRef window, Rect const* bounds, CFStringRef title, SInt32 value, Boolean autoToggle, ControlRef* outControl);
OSStatus CreateRadioGroupControl(WindowRef window, Rect const* bounds, ControlRef* outControl);
OSStatus CreateRadioButtonControl(
    WindowRef window, Rect const* bounds, CFStringRef title, SInt32 value, Boolean autoToggle, ControlRef* outControl);
OSStatus CreatePopupButtonControl(WindowRef window, Rect const* bounds, CFStringRef title, SInt16 menuID,
    Boolean variableWidth, SInt16 titleWidth, SInt16 titleJustification, UInt32 titleStyle, ControlRef* outControl);
OSStatus CreateSliderControl(WindowRef window, Rect const* bounds, SInt32 value, SInt32 minimum, SInt32 maximum,
    UInt16 orientation, UInt16 numTickMarks, Boolean liveTracking, ControlActionUPP action, ControlRef* outControl);
OSStatus CreateStaticTextControl(
    WindowRef window, Rect const* bounds, CFStringRef text, ControlFontStyleRec const* style, ControlRef* outControl);
OSStatus CreateEditUnicodeTextControl(WindowRef window, Rect const* bounds, CFStringRef text, Boolean isPassword,
    ControlFontStyleRec const* style, ControlRef* outControl);
OSStatus CreateEditTextControl(WindowRef window, Rect const* bounds, CFStringRef text, Boolean isPassword,
    Boolean useInlineInput, ControlFontStyleRec const* style, ControlRef* outControl);
OSStatus CreateProgressBarControl(WindowRef window, Rect const* bounds, SInt32 value, SInt32 minimum, SInt32 maximum,
    Boolean indeterminate, ControlRef* outControl);
OSStatus CreateChasingArrowsControl(WindowRef window, Rect const* bounds, ControlRef* outControl);
OSStatus CreateGroupBoxControl(
    WindowRef window, Rect const* bounds, CFStringRef title, Boolean primary, ControlRef* outControl);
OSStatus CreateUserPaneControl(WindowRef window, Rect const* bounds, UInt32 features, ControlRef* outControl);
OSStatus CreateWindowHeaderControl(WindowRef window, Rect const* bounds, Boolean isListHeader, ControlRef* outControl);
OSStatus CreateIconControl(WindowRef window, Rect const* bounds, ControlButtonContentInfo const* icon,
    Boolean dontTrack, ControlRef* outControl);
OSStatus HISegmentedViewCreate(HIRect const* bounds, HIViewRef* outView);
OSStatus HIScrollViewCreate(OptionBits options, HIViewRef* outView);

// Convenience data calls.
OSStatus SetControlFontStyle(ControlRef control, ControlFontStyleRec const* style);
OSStatus SetControlAction(ControlRef control, ControlActionUPP action);
ControlActionUPP GetControlAction(ControlRef control);

// Popup menus.
OSStatus SetControlPopupMenuHandle(ControlRef control, MenuRef menu);
MenuRef GetControlPopupMenuHandle(ControlRef control);

// Segmented views (segments from 1).
OSStatus HISegmentedViewSetSegmentCount(HIViewRef view, UInt32 count);
UInt32 HISegmentedViewGetSegmentCount(HIViewRef view);
OSStatus HISegmentedViewSetSegmentLabel(HIViewRef view, UInt32 segment, CFStringRef label);
OSStatus HISegmentedViewCopySegmentLabel(HIViewRef view, UInt32 segment, CFStringRef* outLabel);
OSStatus HISegmentedViewSetSegmentCommand(HIViewRef view, UInt32 segment, UInt32 command);
UInt32 HISegmentedViewGetSegmentCommand(HIViewRef view, UInt32 segment);
OSStatus HISegmentedViewSetSegmentBehavior(HIViewRef view, UInt32 segment, HISegmentBehavior behavior);
HISegmentBehavior HISegmentedViewGetSegmentBehavior(HIViewRef view, UInt32 segment);

// Scroll views.
OSStatus HIScrollViewNavigate(HIViewRef view, HIScrollViewAction action);
Boolean HIScrollViewCanNavigate(HIViewRef view, HIScrollViewAction action);

// Sends a command ('cmds' 1): one from a control (an HICommandExtended with the
// from-control attribute) to the control, any other to the user focus.
OSStatus ProcessHICommand(HICommand const* command);

// The colour picker: a modal dialog; true when the user chose a colour (outColor set).
Boolean GetColor(Point where, ConstStr255Param prompt, RGBColor const* inColor, RGBColor* outColor);
