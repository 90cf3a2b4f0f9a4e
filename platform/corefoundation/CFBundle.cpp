#include "corefoundation/CFBundle.h"

#include "corefoundation/CFArray.h"

#include <climits>
#include <mutex>

namespace {

using tw::cf::Bundle;
namespace fs = std::filesystem;

// The main bundle, found once. A bundle replaced by SetMainBundlePath stays alive:
// callers hold it as a borrowed reference. Never freed, so always reachable.
struct MainBundle {
    std::mutex lock;
    std::string path; // empty: from /proc/self/exe
    bool resolved = false;
    Bundle* bundle = nullptr;
    std::vector<Bundle*> retired;
};

MainBundle& Main()
{
    static auto* main = new MainBundle;
    return *main;
}

// From "X.app/Contents/MacOS/<executable>" up to "X.app"; empty outside a bundle.
fs::path BundleOfExecutable()
{
    std::error_code ec;
    fs::path const executable = fs::read_symlink("/proc/self/exe", ec);
    fs::path const macOS = executable.parent_path();
    if (ec || macOS.filename() != "MacOS" || macOS.parent_path().filename() != "Contents")
        return {};
    return macOS.parent_path().parent_path();
}

std::optional<fs::path> PathOf(CFURLRef url)
{
    char path[PATH_MAX];
    if (!url || !CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof path))
        return std::nullopt;
    return fs::path(path);
}

CFURLRef URLOf(fs::path const& path, bool isDirectory)
{
    std::string const& text = path.native();
    return CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<UInt8 const*>(text.data()), CFIndex(text.size()), isDirectory);
}

std::string TextOf(CFStringRef s) { return s ? s->UTF8() : std::string(); }

} // namespace

namespace tw::cf {

void SetMainBundlePath(std::string const& bundlePath)
{
    MainBundle& main = Main();
    std::lock_guard const lock(main.lock);
    if (main.bundle)
        main.retired.push_back(main.bundle);
    main.bundle = nullptr;
    main.path = bundlePath;
    main.resolved = false;
}

} // namespace tw::cf

CFTypeID CFBundleGetTypeID() { return kTWTypeIDBundle; }

CFBundleRef CFBundleGetMainBundle()
{
    MainBundle& main = Main();
    std::lock_guard const lock(main.lock);
    if (!main.resolved) {
        main.resolved = true;
        fs::path const path = main.path.empty() ? BundleOfExecutable() : fs::path(main.path);
        main.bundle = path.empty() ? nullptr : Bundle::Create(path);
    }
    return main.bundle;
}

CFBundleRef CFBundleCreate(CFAllocatorRef alloc, CFURLRef bundleURL)
{
    std::optional<fs::path> const path = PathOf(bundleURL);
    return path ? Bundle::Create(*path) : nullptr;
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) { return bundle ? URLOf(bundle->Path(), true) : nullptr; }

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle)
{
    return bundle ? URLOf(bundle->ResourcesPath(), true) : nullptr;
}

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle)
{
    fs::path const path = bundle ? bundle->ExecutablePath() : fs::path();
    return path.empty() ? nullptr : URLOf(path, false);
}

CFURLRef CFBundleCopyResourceURL(
    CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType, CFStringRef subDirName)
{
    if (!bundle || !resourceName || resourceName->Text().empty())
        return nullptr;
    std::string file = TextOf(resourceName);
    if (resourceType && !resourceType->Text().empty())
        file += "." + TextOf(resourceType);
    fs::path const path = bundle->FindResource(file, TextOf(subDirName));
    std::error_code ec;
    return path.empty() ? nullptr : URLOf(path, fs::is_directory(path, ec));
}

CFArrayRef CFBundleCopyResourceURLsOfType(CFBundleRef bundle, CFStringRef resourceType, CFStringRef subDirName)
{
    if (!bundle)
        return nullptr;
    CFMutableArrayRef urls = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    for (fs::path const& path : bundle->FindResources(TextOf(resourceType), TextOf(subDirName))) {
        std::error_code ec;
        CFURLRef const url = URLOf(path, fs::is_directory(path, ec));
        CFArrayAppendValue(urls, url);
        CFRelease(url);
    }
    return urls;
}

CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle) { return bundle ? bundle->Info() : nullptr; }

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key)
{
    return bundle && key ? static_cast<CFTypeRef>(CFDictionaryGetValue(bundle->Info(), key)) : nullptr;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle)
{
    CFTypeRef const identifier = CFBundleGetValueForInfoDictionaryKey(bundle, kCFBundleIdentifierKey);
    return CFGetTypeID(identifier) == kTWTypeIDString ? static_cast<CFStringRef>(identifier) : nullptr;
}

CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value, CFStringRef tableName)
{
    if (!key)
        return value ? CFStringCreateCopy(nullptr, value) : nullptr;
    if (bundle) {
        std::string const table = tableName && !tableName->Text().empty() ? TextOf(tableName) : "Localizable";
        if (std::optional<std::u16string> text = bundle->LocalizedString(key->Text(), table))
            return new tw::cf::String(std::move(*text));
    }
    return CFStringCreateCopy(nullptr, value && !value->Text().empty() ? value : key);
}
