#include "corefoundation/FileContents.h"

#include "corefoundation/CFNumber.h"
#include "corefoundation/CFPropertyList.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::cf {

std::optional<std::string> ReadFileContents(std::filesystem::path const& path)
{
    int const fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info { };
    std::optional<std::string> contents;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        contents.emplace();
        char buffer[65536];
        for (;;) {
            ssize_t const n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                contents.reset();
            if (n <= 0)
                break;
            contents->append(buffer, std::size_t(n));
        }
    }
    ::close(fd);
    return contents;
}

CFPropertyListRef CreatePropertyListFromFile(std::filesystem::path const& path, CFStringRef* error)
{
    std::optional<std::string> const bytes = ReadFileContents(path);
    if (!bytes)
        return nullptr;
    CFDataRef const data = CFDataCreate(nullptr, reinterpret_cast<UInt8 const*>(bytes->data()), CFIndex(bytes->size()));
    CFPropertyListRef const plist = CFPropertyListCreateFromXMLData(nullptr, data, kCFPropertyListImmutable, error);
    CFRelease(data);
    return plist;
}

} // namespace tw::cf
