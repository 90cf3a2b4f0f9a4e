#include "services/AppleHelp.h"

#include "corefoundation/CFBundle.h"
#include "corefoundation/CFURL.h"
#include "services/InternetConfig.h"

#include <cctype>
#include <filesystem>
#include <string>

namespace {

std::string InfoString(CFBundleRef bundle, char const* key)
{
    CFStringRef const name = tw::cf::CreateString(key);
    CFTypeRef const value = CFBundleGetValueForInfoDictionaryKey(bundle, name);
    CFRelease(name);
    if (!value || CFGetTypeID(value) != CFStringGetTypeID())
        return {};
    return tw::cf::ToUTF8(static_cast<CFStringRef>(value));
}

// A file address with every byte outside the unreserved set and "/" percent-encoded.
std::string FileAddress(std::string const& path)
{
    static char const hex[] = "0123456789ABCDEF";
    std::string address = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~')
            address += char(c);
        else
            address += { '%', hex[c >> 4], hex[c & 15] };
    }
    return address;
}

} // namespace

OSStatus AHGotoPage(CFStringRef bookName, CFStringRef path, CFStringRef anchor)
{
    if (!bookName)
        return paramErr;
    CFBundleRef const bundle = CFBundleGetMainBundle();
    if (!bundle)
        return fnfErr;
    std::string const book = InfoString(bundle, "CFBundleHelpBookName");
    std::string const folder = InfoString(bundle, "CFBundleHelpBookFolder");
    if (book.empty() || folder.empty() || book != tw::cf::ToUTF8(bookName))
        return fnfErr;
    CFURLRef const resources = CFBundleCopyResourcesDirectoryURL(bundle);
    char buffer[4096] = {};
    bool const found
        = resources && CFURLGetFileSystemRepresentation(resources, true, reinterpret_cast<UInt8*>(buffer), sizeof buffer);
    if (resources)
        CFRelease(resources);
    if (!found)
        return fnfErr;
    std::string const page = path && CFStringGetLength(path) > 0 ? tw::cf::ToUTF8(path) : kAHStartPage;
    // A page of the book only: no way out of its folder.
    if (page.find("..") != std::string::npos || page.front() == '/')
        return paramErr;
    std::filesystem::path const file = std::filesystem::path(buffer) / folder / page;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return fnfErr;
    std::string address = FileAddress(file.string());
    if (anchor && CFStringGetLength(anchor) > 0)
        address += "#" + tw::cf::ToUTF8(anchor);
    return tw::services::OpenWithDesktop(address) ? noErr : fnfErr;
}
