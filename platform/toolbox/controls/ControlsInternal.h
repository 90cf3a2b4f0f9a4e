#pragma once

// Helpers the standard controls share.

#include "quartz/HITheme.h"
#include "toolbox/View.h"

#include <functional>
#include <string>
#include <vector>

namespace tw::toolbox::controls {

// The theme font of a view: its control font style when that names a theme
// font, else the font its nib gave it, else the system font.
UInt16 ThemeFontOf(View* view);
HIThemeTextHorizontalFlush JustificationOf(View* view);
// Control data 'cfst' (a retained copy of the title) and 'text' (UTF-8 bytes) of a titled control.
OSStatus GetTitleData(View* view, OSType tag, Size bufferSize, void* data, Size* actualSize);

// The lines of a text property a nib gave the view ('twbh', tag): UTF-16 without terminator, one entry a line.
std::vector<CFStringRef> CopyNibLines(View* view, OSType tag); // each retained

// The characters a text-input event types, control characters left out; empty when it has none.
std::u16string TypedText(EventRef event);

// Makes an unparented view of a system class at the frame, owned by the caller.
OSStatus CreateSystemView(char const* classID, CGRect const& frame, View** outView);
// Makes one at the bounds, in the window's content view when there is a window (the window
// then owns it), else unparented and owned by the caller; prepare runs before it joins the window.
OSStatus MakeControl(char const* classID, WindowRef window, Rect const* bounds, ControlRef* outControl,
    std::function<void(View*)> const& prepare = {});

inline constexpr OSType kControlsCreator = 'twbh'; // properties the standard controls keep on their views

} // namespace tw::toolbox::controls
