// Reading the parts of a link and deriving new links from its path.

#include "corefoundation/CFURL.h"
#include "corefoundation/URLParts.h"

#include <charconv>

namespace {

using tw::cf::URLParts;

using tw::cf::MakeString;
using tw::cf::MakeURL;

CFStringRef MakeUnescapedString(std::string_view escaped)
{
    auto const text = tw::cf::UnescapeBytes(escaped);
    return MakeString(text ? *text : escaped);
}

// Start of the last component of an escaped path, and its end (before a trailing '/').
std::pair<size_t, size_t> LastComponent(std::string const& path)
{
    size_t end = path.size();
    if (end > 1 && path[end - 1] == '/')
        --end;
    size_t const slash = end == 0 ? std::string::npos : path.rfind('/', end - 1);
    size_t const start = slash == std::string::npos ? 0 : slash + 1;
    return { start, end };
}

// Position of the dot that starts the last component's extension, or npos.
size_t ExtensionDot(std::string const& path)
{
    auto const [start, end] = LastComponent(path);
    size_t const dot = end > start ? path.rfind('.', end - 1) : std::string::npos;
    if (dot == std::string::npos || dot <= start || dot + 1 >= end)
        return std::string::npos;
    return dot;
}

} // namespace

CFStringRef CFURLCopyScheme(CFURLRef url)
{
    URLParts const parts = tw::cf::SplitURL(url);
    return parts.scheme ? MakeString(*parts.scheme) : nullptr;
}

CFStringRef CFURLCopyHostName(CFURLRef url)
{
    URLParts const parts = tw::cf::SplitURL(url);
    std::string const host = parts.Host();
    return host.empty() ? nullptr : MakeUnescapedString(host);
}

SInt32 CFURLGetPortNumber(CFURLRef url)
{
    auto const port = tw::cf::SplitURL(url).Port();
    SInt32 value = -1;
    if (!port || port->empty())
        return -1;
    auto const result = std::from_chars(port->data(), port->data() + port->size(), value);
    return result.ec == std::errc() ? value : -1;
}

CFStringRef CFURLCopyPath(CFURLRef url) { return url ? MakeUnescapedString(tw::cf::SplitURL(url).path) : nullptr; }

CFStringRef CFURLCopyQueryString(CFURLRef url, CFStringRef charactersToLeaveEscaped)
{
    URLParts const parts = tw::cf::SplitURL(url);
    if (!parts.query)
        return nullptr;
    if (!charactersToLeaveEscaped)
        return MakeString(*parts.query);
    auto const text = tw::cf::UnescapeBytes(*parts.query, tw::cf::ToUTF8(charactersToLeaveEscaped));
    return text ? MakeString(*text) : nullptr;
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef url)
{
    if (!url)
        return nullptr;
    std::string const path = tw::cf::SplitURL(url).path;
    auto const [start, end] = LastComponent(path);
    return MakeUnescapedString(std::string_view(path).substr(start, end - start));
}

CFStringRef CFURLCopyPathExtension(CFURLRef url)
{
    std::string const path = tw::cf::SplitURL(url).path;
    size_t const dot = ExtensionDot(path);
    if (dot == std::string::npos)
        return nullptr;
    size_t const end = LastComponent(path).second;
    return MakeUnescapedString(std::string_view(path).substr(dot + 1, end - dot - 1));
}

Boolean CFURLHasDirectoryPath(CFURLRef url) { return tw::cf::SplitURL(url).path.ends_with('/'); }

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef url, CFStringRef component, Boolean isDirectory)
{
    if (!url || !component)
        return nullptr;
    URLParts parts = tw::cf::SplitURL(url);
    if (!parts.path.ends_with('/') && (!parts.path.empty() || parts.authority))
        parts.path += '/';
    parts.path += tw::cf::EscapeBytes(tw::cf::ToUTF8(component), tw::cf::kPathKeep);
    if (isDirectory && !parts.path.ends_with('/'))
        parts.path += '/';
    return MakeURL(parts);
}

CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef, CFURLRef url)
{
    if (!url)
        return nullptr;
    URLParts parts = tw::cf::SplitURL(url);
    if (parts.path != "/") {
        size_t const start = LastComponent(parts.path).first;
        parts.path = start == 0 ? "./" : parts.path.substr(0, start);
    }
    return MakeURL(parts);
}

CFURLRef CFURLCreateCopyAppendingPathExtension(CFAllocatorRef, CFURLRef url, CFStringRef extension)
{
    if (!url || !extension)
        return nullptr;
    URLParts parts = tw::cf::SplitURL(url);
    size_t const end = LastComponent(parts.path).second;
    parts.path.insert(end, "." + tw::cf::EscapeBytes(tw::cf::ToUTF8(extension), tw::cf::kPathKeep));
    return MakeURL(parts);
}

CFURLRef CFURLCreateCopyDeletingPathExtension(CFAllocatorRef, CFURLRef url)
{
    if (!url)
        return nullptr;
    URLParts parts = tw::cf::SplitURL(url);
    size_t const dot = ExtensionDot(parts.path);
    if (dot != std::string::npos)
        parts.path.erase(dot, LastComponent(parts.path).second - dot);
    return MakeURL(parts);
}
