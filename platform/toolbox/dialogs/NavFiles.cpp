#include "toolbox/dialogs/NavFiles.h"

#include "corefoundation/CFArray.h"
#include "corefoundation/CFBundle.h"
#include "corefoundation/CFString.h"
#include "corefoundation/CFURL.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace tw::toolbox::dialogs {

namespace fs = std::filesystem;

namespace {

    bool LessIgnoringCase(std::string const& a, std::string const& b)
    {
        auto const lower = [](unsigned char c) { return std::tolower(c); };
        bool const less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
            [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
        bool const greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
            [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
        return less || (!greater && a < b);
    }

    std::string Lower(std::string text)
    {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    }

    // The extensions of the document types the main bundle declares, read once.
    std::set<std::string> const& OwnExtensions()
    {
        static std::set<std::string> const extensions = [] {
            std::set<std::string> found;
            CFBundleRef bundle = CFBundleGetMainBundle();
            auto const* types = bundle
                ? static_cast<CFArrayRef>(CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleDocumentTypes")))
                : nullptr;
            if (!types || CFGetTypeID(types) != CFArrayGetTypeID())
                return found;
            for (CFIndex i = 0; i < CFArrayGetCount(types); ++i) {
                auto const* type = static_cast<CFDictionaryRef>(CFArrayGetValueAtIndex(types, i));
                if (!type || CFGetTypeID(type) != CFDictionaryGetTypeID())
                    continue;
                auto const* list = static_cast<CFArrayRef>(CFDictionaryGetValue(type, CFSTR("CFBundleTypeExtensions")));
                if (!list || CFGetTypeID(list) != CFArrayGetTypeID())
                    continue;
                for (CFIndex j = 0; j < CFArrayGetCount(list); ++j) {
                    auto const* extension = static_cast<CFStringRef>(CFArrayGetValueAtIndex(list, j));
                    if (extension && CFGetTypeID(extension) == CFStringGetTypeID())
                        found.insert(Lower(tw::cf::ToUTF8(extension)));
                }
            }
            return found;
        }();
        return extensions;
    }

} // namespace

std::string HomeFolder()
{
    char const* home = std::getenv("HOME");
    std::error_code error;
    if (home && fs::is_directory(home, error))
        return home;
    return fs::current_path(error).string();
}

std::string FolderOf(std::string const& path)
{
    std::error_code error;
    if (path.empty())
        return {};
    if (fs::is_directory(path, error))
        return fs::path(path).lexically_normal().string();
    std::string const parent = ParentOf(path);
    return fs::is_directory(parent, error) ? parent : std::string {};
}

std::string ParentOf(std::string const& path)
{
    fs::path p = fs::path(path).lexically_normal();
    if (p.has_relative_path() && !p.has_filename())
        p = p.parent_path();
    return p.has_parent_path() ? p.parent_path().string() : p.string();
}

std::string NameOf(std::string const& path) { return fs::path(path).filename().string(); }

std::string Join(std::string const& folder, std::string const& name) { return (fs::path(folder) / name).string(); }

std::vector<FileEntry> ListFolder(std::string const& folder, bool invisible)
{
    std::vector<FileEntry> entries;
    std::error_code error;
    for (auto it = fs::directory_iterator(folder, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!invisible && !name.empty() && name[0] == '.')
            continue;
        std::error_code typeError;
        bool const folder = it->is_directory(typeError);
        FileIcon const icon = folder ? FileIcon::Folder : IsOwnDocument(name) ? FileIcon::Document : FileIcon::File;
        entries.push_back({ std::move(name), it->path().string(), folder, true, icon });
    }
    std::sort(entries.begin(), entries.end(),
        [](FileEntry const& a, FileEntry const& b) { return LessIgnoringCase(a.name, b.name); });
    return entries;
}

bool IsOwnDocument(std::string const& name)
{
    std::size_t const dot = name.rfind('.');
    return dot != std::string::npos && dot > 0 && OwnExtensions().count(Lower(name.substr(dot + 1))) != 0;
}

std::string ResolvePath(std::string const& typed, std::string const& folder)
{
    std::size_t const first = typed.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    std::string text = typed.substr(first, typed.find_last_not_of(' ') - first + 1);
    if (text == "~" || text.rfind("~/", 0) == 0)
        text = HomeFolder() + text.substr(1);
    fs::path path = text[0] == '/' ? fs::path(text) : fs::path(folder) / text;
    path = path.lexically_normal();
    std::string result = path.string();
    if (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}

std::string WithoutExtension(std::string const& name)
{
    std::size_t const dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size())
        return name;
    std::string const extension = name.substr(dot + 1);
    bool const plain = std::isalpha(static_cast<unsigned char>(extension[0]))
        && std::all_of(extension.begin(), extension.end(), [](unsigned char c) { return std::isalnum(c); });
    return plain ? name.substr(0, dot) : name;
}

OSStatus MakeFileDesc(std::string const& path, AEDesc* outDesc)
{
    std::error_code error;
    bool const folder = fs::is_directory(path, error);
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<UInt8 const*>(path.data()), static_cast<CFIndex>(path.size()), folder);
    if (!url)
        return paramErr;
    std::string const text = tw::cf::ToUTF8(CFURLGetString(url));
    CFRelease(url);
    return AECreateDesc(typeFileURL, text.data(), static_cast<Size>(text.size()), outDesc);
}

std::string PathFromDesc(AEDesc const* desc)
{
    if (!desc)
        return {};
    Size const size = AEGetDescDataSize(desc);
    if (size <= 0 || size > 65536)
        return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (AEGetDescData(desc, bytes.data(), size) != noErr)
        return {};
    if (desc->descriptorType != typeFileURL)
        return !bytes.empty() && bytes[0] == '/' ? bytes : std::string {};
    CFStringRef string = tw::cf::CreateString(bytes);
    CFURLRef url = string ? CFURLCreateWithString(nullptr, string, nullptr) : nullptr;
    if (string)
        CFRelease(string);
    if (!url)
        return {};
    char buffer[4096] = {};
    bool const ok = CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(buffer), sizeof buffer);
    CFRelease(url);
    return ok ? std::string(buffer) : std::string {};
}

} // namespace tw::toolbox::dialogs
