#pragma once

// CFBundle: a folder laid out as "X.app/Contents/{Info.plist,MacOS,Resources}"
// (or, for map packs and other bundles, any folder with "Contents/Info.plist").

#include "corefoundation/CFURL.h"

namespace tw::cf {
class Bundle;

// The main bundle is found from /proc/self/exe. Tests, which do not run inside a
// bundle, name one here before the first call of CFBundleGetMainBundle (or again later).
void SetMainBundlePath(std::string const& bundlePath);
} // namespace tw::cf

using CFBundleRef = tw::cf::Bundle*;

inline CFStringRef const kCFBundleIdentifierKey = CFSTR("CFBundleIdentifier");
inline CFStringRef const kCFBundleNameKey = CFSTR("CFBundleName");
inline CFStringRef const kCFBundleVersionKey = CFSTR("CFBundleVersion");
inline CFStringRef const kCFBundleExecutableKey = CFSTR("CFBundleExecutable");

CFTypeID CFBundleGetTypeID();
CFBundleRef CFBundleGetMainBundle(); // borrowed; null when there is none
CFBundleRef CFBundleCreate(CFAllocatorRef alloc, CFURLRef bundleURL); // null when not a bundle
CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle);
// Looks in Resources/<subDir>, then Resources/<language>.lproj/<subDir>. Type may be null
// or empty (the name is then used unchanged).
CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
    CFStringRef subDirName);
CFArrayRef CFBundleCopyResourceURLsOfType(CFBundleRef bundle, CFStringRef resourceType, CFStringRef subDirName);
CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle); // borrowed, never null for a bundle
CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key); // borrowed
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle); // borrowed
// From "<language>.lproj/<table or Localizable>.strings" (UTF-16 with a byte-order mark, or UTF-8).
// Missing keys give value when it is not empty, else the key.
CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value, CFStringRef tableName);

#define CFCopyLocalizedString(key, comment) \
    CFBundleCopyLocalizedString(CFBundleGetMainBundle(), (key), (key), nullptr)
