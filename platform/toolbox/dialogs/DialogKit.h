#pragma once

// What the dialog services share: boxes, localised texts with their English
// fallback, buttons, dialog windows, commands and deferred work.

#include "corefoundation/CFArray.h"
#include "corefoundation/CFString.h"
#include "quartz/HITheme.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <functional>
#include <string>

namespace tw::toolbox::dialogs {

inline constexpr UInt32 kCommandOther = 'othr';
inline constexpr SInt16 kButtonHeight = 24; // [px]
inline constexpr SInt16 kMargin = 20; // [px]

Rect Box(int left, int top, int width, int height);
// The bundle's string for the key, else the English text; the caller releases it.
CFStringRef CopyText(char const* key, char const* english);
std::string ToString(CFStringRef text);
// A button's width for its title, at least 80 px.
SInt16 ButtonWidth(CFStringRef title);
ControlRef AddButton(WindowRef window, Rect const& bounds, CFStringRef title, UInt32 command);
// Makes a push button a Tab stop in a window that has fields or a list too.
void MakeTabStop(ControlRef button);
ControlRef AddText(WindowRef window, Rect const& bounds, CFStringRef text, ThemeFontID font = kThemeSystemFont);
// The text of an edit field, and a new text for it.
std::string GetFieldText(ControlRef field);
void SetFieldText(ControlRef field, std::string const& text);
// The height the text takes at that width, at least one line.
SInt16 TextHeight(CFStringRef text, double width, ThemeFontID font = kThemeSystemFont);
// A hidden sheet, or a hidden movable-modal window titled as given.
WindowRef MakeDialogWindow(bool sheet, SInt16 width, SInt16 height, CFStringRef title);
OSStatus SendCommand(EventTargetRef target, UInt32 command);
// Runs the work from the loop soon, outside the event now being handled.
void RunSoon(std::function<void()> work);

} // namespace tw::toolbox::dialogs
