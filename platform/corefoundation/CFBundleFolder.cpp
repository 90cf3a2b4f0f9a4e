// The bundle object: its folder layout, Info dictionary, resources and string tables.

#include "corefoundation/CFBundle.h"
#include "corefoundation/CFPropertyList.h"
#include "corefoundation/FileContents.h"
#include "corefoundation/StringsTable.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace tw::cf {

namespace fs = std::filesystem;

namespace {

    bool IsFile(fs::path const& path)
    {
        std::error_code ec;
        return fs::is_regular_file(path, ec);
    }

    // The Info dictionary, or an empty one (with a report) when the file is damaged.
    Dictionary const* ReadInfo(fs::path const& path)
    {
        CFStringRef error = nullptr;
        CFPropertyListRef const plist = CreatePropertyListFromFile(path, &error);
        if (plist && CFGetTypeID(plist) == kTWTypeIDDictionary)
            return static_cast<Dictionary const*>(plist);
        std::fprintf(stderr, "Tarnwick: %s cannot be used: %s\n", path.c_str(),
            error       ? ToUTF8(error).c_str()
                : plist ? "its root is not a dictionary"
                        : "it cannot be read");
        CFRelease(plist);
        CFRelease(error);
        return CFDictionaryCreate(
            nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    }

} // namespace

Bundle* Bundle::Create(fs::path const& folder)
{
    fs::path contents = folder / "Contents";
    if (!IsFile(contents / "Info.plist")) {
        contents = folder;
        if (!IsFile(contents / "Info.plist"))
            return nullptr;
    }
    auto* bundle = new Bundle(folder, contents, ReadInfo(contents / "Info.plist"));
    bundle->ChooseLocalizations();
    return bundle;
}

Bundle::Bundle(fs::path path, fs::path contents, Dictionary const* info)
    : mPath(std::move(path))
    , mContents(std::move(contents))
    , mInfo(info)
{
}

Bundle::~Bundle() { CFRelease(mInfo); }

// The language comes from LANG ("de_CH.UTF-8" tries de_CH, then de), with English last.
void Bundle::ChooseLocalizations()
{
    std::vector<std::string> candidates;
    char const* lang = std::getenv("LANG");
    std::string locale = lang ? lang : "";
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (!locale.empty() && locale != "C" && locale != "POSIX") {
        candidates.push_back(locale);
        candidates.push_back(locale.substr(0, locale.find('_')));
    }
    candidates.insert(candidates.end(), { "English", "en" });
    for (std::string const& candidate : candidates) {
        std::string const folder = candidate + ".lproj";
        std::error_code ec;
        if (fs::is_directory(ResourcesPath() / folder, ec)
            && std::find(mLocalizations.begin(), mLocalizations.end(), folder) == mLocalizations.end())
            mLocalizations.push_back(folder);
    }
}

fs::path Bundle::ExecutablePath() const
{
    auto const* name = static_cast<CFStringRef>(CFDictionaryGetValue(mInfo, kCFBundleExecutableKey));
    if (!name || CFGetTypeID(name) != kTWTypeIDString || name->Text().empty())
        return {};
    fs::path const path = mContents / "MacOS" / name->UTF8();
    return IsFile(path) ? path : fs::path();
}

fs::path Bundle::FindResource(std::string const& file, std::string const& subDir) const
{
    std::error_code ec;
    fs::path path = ResourcesPath() / subDir / file;
    if (fs::exists(path, ec))
        return path;
    for (std::string const& localization : mLocalizations) {
        path = ResourcesPath() / localization / subDir / file;
        if (fs::exists(path, ec))
            return path;
    }
    return {};
}

std::vector<fs::path> Bundle::FindResources(std::string const& extension, std::string const& subDir) const
{
    std::vector<fs::path> found;
    std::set<fs::path> names;
    std::vector<fs::path> folders { ResourcesPath() / subDir };
    for (std::string const& localization : mLocalizations)
        folders.push_back(ResourcesPath() / localization / subDir);
    for (fs::path const& folder : folders) {
        std::vector<fs::path> here;
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            fs::path const& path = it->path();
            if ((extension.empty() || path.extension() == "." + extension) && names.insert(path.filename()).second)
                here.push_back(path);
        }
        std::sort(here.begin(), here.end());
        found.insert(found.end(), here.begin(), here.end());
    }
    return found;
}

std::optional<std::u16string> Bundle::LocalizedString(std::u16string const& key, std::string const& table) const
{
    for (std::string const& localization : mLocalizations) {
        StringsTable const* strings = Table(localization, table);
        if (std::u16string const* text = strings ? strings->Find(key) : nullptr)
            return *text;
    }
    return std::nullopt;
}

StringsTable const* Bundle::Table(std::string const& localization, std::string const& table) const
{
    std::lock_guard const lock(mTablesLock);
    auto [entry, added] = mTables.try_emplace(localization + "/" + table);
    if (added) {
        fs::path const path = ResourcesPath() / localization / (table + ".strings");
        if (std::optional<std::string> const bytes = ReadFileContents(path)) {
            std::string error;
            if (std::optional<StringsTable> parsed = StringsTable::Parse(*bytes, &error))
                entry->second = std::make_unique<StringsTable const>(std::move(*parsed));
            else
                std::fprintf(stderr, "Tarnwick: %s is not used: %s\n", path.c_str(), error.c_str());
        }
    }
    // Entries are never replaced once made, so the table outlives the lock.
    return entry->second.get();
}

} // namespace tw::cf
