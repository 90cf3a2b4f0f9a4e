#pragma once

// The look of the standard controls: flat, light, one accent colour, DejaVu
// Sans through the theme text calls. Every call draws into a flipped context
// (y down) inside the rectangle it is given. Main thread only.

#include "corefoundation/CFString.h"
#include "quartz/CGContext.h"
#include "quartz/HITheme.h"

namespace tw::toolbox::controls {

struct ControlState {
    bool enabled = true;
    bool pressed = false;
    bool focused = false;
};

class ControlTheme {
public:
    static constexpr double kAccent[3] = { 0.22, 0.47, 0.84 };
    static constexpr double kCheckBoxSize = 14; // [px]

    static constexpr double kPushButtonHeight = 20; // [px] drawn, whatever the frame
    static void DrawPushButton(CGContextRef c, CGRect r, CFStringRef title, ControlState s, bool isDefault);
    // Where a push button's body lies in its frame.
    static CGRect PushButtonBody(CGRect r);
    static void DrawBevelButton(CGContextRef c, CGRect r, CFStringRef title, ControlState s, bool on);
    static void DrawCheckBox(CGContextRef c, CGRect r, CFStringRef title, SInt32 value, ControlState s);
    static void DrawRadioButton(CGContextRef c, CGRect r, CFStringRef title, bool on, ControlState s);
    // icon: the chosen item's image, drawn left of its text (null for none).
    static void DrawPopupButton(CGContextRef c, CGRect r, CFStringRef text, ControlState s, CGImageRef icon = nullptr);
    // fraction of the track from the minimum; ticks: 0 for none.
    static void DrawSlider(CGContextRef c, CGRect r, double fraction, int ticks, ControlState s);
    static CGRect SliderThumb(CGRect r, double fraction);
    static void DrawProgressBar(CGContextRef c, CGRect r, double fraction, bool indeterminate, int phase, bool enabled);
    static void DrawChasingArrows(CGContextRef c, CGRect r, int phase);
    static void DrawGroupBox(CGContextRef c, CGRect r, CFStringRef title, bool primary);
    static void DrawWindowHeader(CGContextRef c, CGRect r);
    static void DrawSegment(
        CGContextRef c, CGRect r, CFStringRef label, bool selected, bool first, bool last, ControlState s);
    static void DrawEditFrame(CGContextRef c, CGRect r, ControlState s);
    static void DrawScrollBar(CGContextRef c, CGRect track, bool vertical, CGRect thumb, bool enabled);
    static void DrawFocusRing(CGContextRef c, CGRect r, CGFloat radius);
    // flush: 0 left, 1 centre, 2 right; one line centred vertically, cut with an ellipsis.
    static void DrawText(CGContextRef c, CFStringRef text, CGRect box, UInt16 font, int flush, bool enabled);
    // The same in that grey, whatever the text and box.
    static void DrawTextInGrey(CGContextRef c, CFStringRef text, CGRect box, UInt16 font, int flush, double grey);
    static CGFloat TextWidth(CFStringRef text, UInt16 font);
    static CGFloat LineHeight(UInt16 font);

    static void RoundedRectPath(CGContextRef c, CGRect r, CGFloat radius);
    static void SetAccentFill(CGContextRef c, double alpha = 1);
};

} // namespace tw::toolbox::controls
