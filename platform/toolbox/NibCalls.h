#pragma once

// Nib files: windows, panels and menus described in the bundle's .nib files.

#include "corefoundation/CFBundle.h"
#include "toolbox/MenuTypes.h"

namespace tw::toolbox {
class Nib;
}
using IBNibRef = tw::toolbox::Nib*;

// From the main bundle's resources: <name>.nib.
OSStatus CreateNibReference(CFStringRef nibName, IBNibRef* outNib);
OSStatus CreateNibReferenceWithCFBundle(CFBundleRef bundle, CFStringRef nibName, IBNibRef* outNib);
void DisposeNibReference(IBNibRef nib);
// A new hidden window (or panel) with its views.
OSStatus CreateWindowFromNib(IBNibRef nib, CFStringRef name, WindowRef* outWindow);
OSStatus CreateMenuFromNib(IBNibRef nib, CFStringRef name, MenuRef* outMenu);
OSStatus CreateMenuBarFromNib(IBNibRef nib, CFStringRef name, MenuRef* outRootMenu);
OSStatus SetMenuBarFromNib(IBNibRef nib, CFStringRef name);

namespace tw::toolbox {
// A nib read from a file or from text (tests, tools).
OSStatus CreateNibFromFile(std::string const& path, IBNibRef* outNib);
OSStatus CreateNibFromText(std::string const& text, IBNibRef* outNib);
} // namespace tw::toolbox
