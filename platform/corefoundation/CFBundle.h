#pragma once

// CFBundle: a folder laid out as "X.app/Contents/{Info.plist,MacOS,Resources}"
// (or, for map packs and other bundles, any folder with "Contents/Info.plist").

#include "corefoundation/CFURL.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tw::cf {
class StringsTable;

// A bundle: a folder with "Contents/Info.plist" (or, flat, "Info.plist" at its top),
// its resources in "Contents/Resources" and localised resources in "<language>.lproj"
// folders there. Parsed string tables are cached under one lock, since workers may
// look up texts too.
class Bundle final : public Object {
public:
    // Null when the folder has no Info.plist.
    static Bundle* Create(std::filesystem::path const& folder);
    ~Bundle() override;
    CFTypeID TypeID() const override { return kTWTypeIDBundle; }

    std::filesystem::path const& Path() const { return mPath; }
    std::filesystem::path ResourcesPath() const { return mContents / "Resources"; }
    std::filesystem::path ExecutablePath() const; // empty when there is none
    Dictionary const* Info() const { return mInfo; }
    // Localisation folder names ("English.lproj"), the preferred one first.
    std::vector<std::string> const& Localizations() const { return mLocalizations; }

    // Resources/<subDir>/<file>, then the same in each localisation; empty when none.
    std::filesystem::path FindResource(std::string const& file, std::string const& subDir) const;
    // Files and folders with that extension (every one when empty), sorted by name.
    std::vector<std::filesystem::path> FindResources(std::string const& extension, std::string const& subDir) const;
    // From the first localisation whose table has the key; nullopt when none has.
    std::optional<std::u16string> LocalizedString(std::u16string const& key, std::string const& table) const;

private:
    Bundle(std::filesystem::path path, std::filesystem::path contents, Dictionary const* info);
    void ChooseLocalizations();
    StringsTable const* Table(std::string const& localization, std::string const& table) const;

    std::filesystem::path mPath;
    std::filesystem::path mContents; // "Contents", or the folder itself when flat
    Dictionary const* mInfo; // retains
    std::vector<std::string> mLocalizations;
    mutable std::mutex mTablesLock; // guards mTables
    // By "<lproj>/<table>"; null when the file is missing or damaged.
    mutable std::map<std::string, std::unique_ptr<StringsTable const>> mTables;
};

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
CFURLRef CFBundleCopyResourceURL(
    CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType, CFStringRef subDirName);
CFArrayRef CFBundleCopyResourceURLsOfType(CFBundleRef bundle, CFStringRef resourceType, CFStringRef subDirName);
CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle); // borrowed, never null for a bundle
CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key); // borrowed
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle); // borrowed
// From "<language>.lproj/<table or Localizable>.strings" (UTF-16 with a byte-order mark, or UTF-8).
// Missing keys give value when it is not empty, else the key.
CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value, CFStringRef tableName);

#define CFCopyLocalizedString(key, comment) CFBundleCopyLocalizedString(CFBundleGetMainBundle(), (key), (key), nullptr)
