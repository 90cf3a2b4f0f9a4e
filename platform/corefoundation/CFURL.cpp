#include "corefoundation/CFURL.h"

#include "corefoundation/StringEncoding.h"
#include "corefoundation/URLParts.h"

#include <cstring>
#include <unistd.h>

namespace tw::cf {

URL::URL(std::u16string text)
    : string(std::move(text))
    , stringObject(new String(string))
{
}

URL::~URL() { stringObject->Release(); }

bool URL::Equals(Object const& other) const { return string == static_cast<URL const&>(other).string; }

CFHashCode URL::Hash() const { return CFHashCode(std::hash<std::u16string> {}(string)); }

String* URL::CopyDescription() const { return new String(string); }

} // namespace tw::cf

namespace {

using tw::cf::URLParts;

constexpr char kRootVolumeName[] = "Macintosh HD";

using tw::cf::MakeString;
using tw::cf::MakeURL;

std::string CurrentDirectory()
{
    std::string buffer(4096, '\0');
    if (!getcwd(buffer.data(), buffer.size()))
        return "/";
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

// "Volume:folder:file" to a POSIX path; no colon, or a leading one, means relative.
std::string HFSToPOSIX(std::string const& hfs)
{
    bool const relative = hfs.empty() || hfs[0] == ':' || hfs.find(':') == std::string::npos;
    std::string posix = relative ? "" : "/";
    size_t i = relative && !hfs.empty() && hfs[0] == ':' ? 1 : 0;
    if (!relative)
        i = hfs.find(':') + 1; // the volume is the root
    bool first = true;
    while (i <= hfs.size()) {
        size_t const colon = hfs.find(':', i);
        std::string name = hfs.substr(i, colon == std::string::npos ? std::string::npos : colon - i);
        for (char& c : name)
            c = c == '/' ? ':' : c;
        if (!first)
            posix += '/';
        posix += name.empty() && colon != std::string::npos ? ".." : name; // "::" is the parent
        first = false;
        if (colon == std::string::npos)
            break;
        i = colon + 1;
    }
    if (posix.ends_with("/..") && hfs.ends_with(':'))
        posix.resize(posix.size() - 2); // a trailing colon marks a folder, not a parent
    return posix;
}

std::string POSIXToHFS(std::string const& posix)
{
    std::string hfs = kRootVolumeName;
    size_t i = 1;
    while (i < posix.size()) {
        size_t const slash = posix.find('/', i);
        std::string name = posix.substr(i, slash == std::string::npos ? std::string::npos : slash - i);
        for (char& c : name)
            c = c == ':' ? '/' : c;
        hfs += ":" + name;
        if (slash == std::string::npos)
            break;
        i = slash + 1;
    }
    return hfs;
}

CFURLRef FileURLFromPath(std::string path, bool isDirectory)
{
    if (path.empty())
        return nullptr;
    if (path[0] != '/')
        path = CurrentDirectory() + (path == "." ? "" : "/" + path);
    if (isDirectory && !path.ends_with('/'))
        path += '/';
    URLParts parts;
    parts.scheme = "file";
    parts.authority = "";
    parts.path = tw::cf::EscapeBytes(path, tw::cf::kPathKeep);
    return MakeURL(parts);
}

// The unescaped path bytes of a file link; null for other links or bad escapes.
std::optional<std::string> FilePathBytes(CFURLRef url)
{
    URLParts const parts = tw::cf::SplitURL(url);
    if (!url || (parts.scheme && *parts.scheme != "file"))
        return std::nullopt;
    auto path = tw::cf::UnescapeBytes(parts.path);
    if (path && path->size() > 1 && path->ends_with('/'))
        path->pop_back();
    return path;
}

} // namespace

CFTypeID CFURLGetTypeID() { return kTWTypeIDURL; }

CFURLRef CFURLCreateWithString(CFAllocatorRef, CFStringRef urlString, CFURLRef baseURL)
{
    std::string const text = tw::cf::ToUTF8(urlString);
    if (!urlString || !tw::cf::IsWellFormedURL(text))
        return nullptr;
    URLParts const parts = tw::cf::SplitURL(text);
    if (!baseURL || parts.scheme)
        return new tw::cf::URL(urlString->Text());
    URLParts const base = tw::cf::SplitURL(baseURL);
    // A relative base gives no link: resolving against it makes text that reads as something else.
    if (!base.scheme)
        return nullptr;
    return MakeURL(tw::cf::ResolveURL(base, parts));
}

CFURLRef CFURLCreateWithFileSystemPath(
    CFAllocatorRef, CFStringRef filePath, CFURLPathStyle pathStyle, Boolean isDirectory)
{
    std::string path = tw::cf::ToUTF8(filePath);
    if (pathStyle == kCFURLHFSPathStyle && !path.empty()) {
        isDirectory = isDirectory || path.ends_with(':');
        path = HFSToPOSIX(path);
    }
    return FileURLFromPath(path, isDirectory);
}

CFURLRef CFURLCreateFromFileSystemRepresentation(
    CFAllocatorRef, UInt8 const* buffer, CFIndex bufLen, Boolean isDirectory)
{
    if (!buffer || bufLen <= 0)
        return nullptr;
    auto const* bytes = reinterpret_cast<char const*>(buffer);
    return FileURLFromPath(std::string(bytes, strnlen(bytes, size_t(bufLen))), isDirectory);
}

CFStringRef CFURLGetString(CFURLRef url) { return url ? url->stringObject : nullptr; }

CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFURLPathStyle pathStyle)
{
    auto const path = FilePathBytes(url);
    if (!path)
        return nullptr;
    return MakeString(pathStyle == kCFURLHFSPathStyle ? POSIXToHFS(*path) : *path);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen)
{
    auto const path = FilePathBytes(url);
    if (!path || !buffer || CFIndex(path->size()) + 1 > maxBufLen || path->find('\0') != std::string::npos)
        return false;
    std::memcpy(buffer, path->c_str(), path->size() + 1);
    return true;
}
