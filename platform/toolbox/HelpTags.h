#pragma once

#include "corefoundation/CFString.h"
#include "toolbox/HIToolboxTypes.h"
#include "toolbox/HIViewTypes.h"

namespace tw::toolbox {

class View;

// Help tags: when the mouse rests on a view with help content, its tag shows
// below the pointer after a short delay, and goes when the mouse leaves the view
// or a button is pressed. The window server draws the tag that is showing.
class HelpTags {
public:
    static constexpr EventTime kDelay = 0.75; // [s]

    // The mouse moved to a global point (no button down).
    static void MouseMoved(CGPoint global);
    // Shows a tag now beside a global hot rectangle (a program's own tag, such as one that
    // follows the pointer); it stays until hidden or replaced.
    static void Display(CFStringRef text, CGRect hot, HMTagDisplaySide side);
    static void Hide();
    // The tag showing now: its text (borrowed) and global frame; null text when none shows.
    static CFStringRef ShowingText();
    static CGRect ShowingFrame();
    static void Reset();
};

} // namespace tw::toolbox
