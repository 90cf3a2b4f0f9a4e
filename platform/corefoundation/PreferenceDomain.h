#pragma once

// The preferences of one application id: read from "<id>.plist" in the
// configuration folder on first use, changed in memory, and written atomically
// (temporary file, fsync, rename) on Synchronize. A damaged file reads as empty and
// stays untouched until a change is synchronized. Main thread only.

#include "corefoundation/CFArray.h"

#include <filesystem>
#include <string>

namespace tw::cf {

class PreferenceDomain {
public:
    explicit PreferenceDomain(std::string applicationID);
    ~PreferenceDomain();
    PreferenceDomain(PreferenceDomain const&) = delete;
    PreferenceDomain& operator=(PreferenceDomain const&) = delete;

    CFTypeRef Value(CFStringRef key); // borrowed; null when absent
    // Keeps an immutable copy; a null value removes the key. False when the value
    // is not a property list.
    bool SetValue(CFStringRef key, CFTypeRef value);
    bool Synchronize();
    CFArrayRef CopyKeys(); // +1, sorted

    // $XDG_CONFIG_HOME, or ~/.config when that is unset or not absolute.
    static std::filesystem::path ConfigFolder();

private:
    void Load();
    bool WriteFile(std::string const& bytes) const;

    std::string mID;
    std::filesystem::path mPath;
    Dictionary* mValues = nullptr; // owns; made on first use
    bool mChanged = false; // since the last successful write
};

} // namespace tw::cf
