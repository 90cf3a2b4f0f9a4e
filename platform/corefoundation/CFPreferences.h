#pragma once

// CFPreferences: one XML property list per application id, in $XDG_CONFIG_HOME
// (~/.config when unset), read on first use and written atomically (a temporary
// file, then rename) on synchronize. Main thread only.

#include "corefoundation/CFPropertyList.h"

// The running application's own domain: the main bundle's identifier.
extern CFStringRef const kCFPreferencesCurrentApplication;

CFPropertyListRef CFPreferencesCopyAppValue(CFStringRef key, CFStringRef applicationID);
// A null value removes the key. Visible at once to CopyAppValue in this process.
void CFPreferencesSetAppValue(CFStringRef key, CFPropertyListRef value, CFStringRef applicationID);
Boolean CFPreferencesAppSynchronize(CFStringRef applicationID);
// Booleans also read from numbers (non-zero is true) and the strings "true"/"YES".
Boolean CFPreferencesGetAppBooleanValue(CFStringRef key, CFStringRef applicationID, Boolean* keyExistsAndHasValidFormat);
CFIndex CFPreferencesGetAppIntegerValue(CFStringRef key, CFStringRef applicationID, Boolean* keyExistsAndHasValidFormat);
CFArrayRef CFPreferencesCopyKeyList(CFStringRef applicationID, CFStringRef userName, CFStringRef hostName);

namespace tw::cf {
// Called after every value set or removed, in any domain, so that the program can write its
// changes soon rather than only when it ends. One hook; null removes it.
void SetPreferencesChangeHook(void (*hook)(void* context), void* context);
// Forgets every domain read so far, so that the next access reads the files again (tests).
void ResetPreferencesForTesting();
} // namespace tw::cf
