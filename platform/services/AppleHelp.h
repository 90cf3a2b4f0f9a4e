#pragma once

// Apple Help as far as the program uses it: a help book is a folder of HTML pages in
// the main bundle's resources, named by the Info.plist keys CFBundleHelpBookName and
// CFBundleHelpBookFolder; a page opens with the desktop's handler for local files
// (xdg-open, or TW_OPEN_COMMAND in tests), so help needs no network.

#include "corefoundation/CFString.h"
#include "corefoundation/MacTypes.h"

inline constexpr OSStatus kAHInternalErr = -10790;
inline constexpr char const* kAHStartPage = "index.html";

// The book must be the main bundle's; no page means the book's start page. fnfErr when the
// book or the page is not in the bundle, or no handler opens it.
OSStatus AHGotoPage(CFStringRef bookName, CFStringRef path, CFStringRef anchor);
