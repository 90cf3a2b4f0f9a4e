#include "toolbox/dialogs/NavFiles.h"

#include "corefoundation/CFString.h"
#include "corefoundation/CFURL.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

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
        entries.push_back({ std::move(name), it->path().string(), it->is_directory(typeError), true });
    }
    std::sort(entries.begin(), entries.end(),
        [](FileEntry const& a, FileEntry const& b) { return LessIgnoringCase(a.name, b.name); });
    return entries;
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
