#pragma once

// Internet Config as far as the program uses it: an instance per caller and
// opening a link with the user's preferred application. Links open through
// xdg-open, or through the command in TW_OPEN_COMMAND when it is set, so that
// tests record the launch instead of starting a browser.

#include "corefoundation/MacTypes.h"

#include <string>

namespace tw::services {
struct InternetConfigInstance;
// Hands a link or a file's address to the desktop's handler (as one argument, no shell):
// false when no handler could be started or it gave up at once.
bool OpenWithDesktop(std::string const& target);
}
using ICInstance = tw::services::InternetConfigInstance*;

inline constexpr char const* kICOpenCommandVariable = "TW_OPEN_COMMAND";

OSStatus ICStart(ICInstance* outInstance, OSType signature);
OSStatus ICStop(ICInstance instance);
// The link is data[*selStart, *selEnd). fnfErr when no command could be started or it
// failed at once (the desktop has no program for the link).
OSStatus ICLaunchURL(
    ICInstance instance, ConstStringPtr hint, void const* data, SInt32 length, SInt32* selStart, SInt32* selEnd);
