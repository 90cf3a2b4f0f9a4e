#include "corefoundation/PreferenceDomain.h"

#include "corefoundation/CFPropertyList.h"
#include "corefoundation/FileContents.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace tw::cf {

namespace fs = std::filesystem;

namespace {

    bool WriteAll(int fd, std::string const& bytes)
    {
        std::size_t written = 0;
        while (written < bytes.size()) {
            ssize_t const n = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            written += std::size_t(n);
        }
        return true;
    }

    // The folder entry itself must reach the disk too, or a crash could lose the rename.
    void SyncFolder(fs::path const& folder)
    {
        int const fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

    Dictionary* EmptyDictionary()
    {
        return CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    }

} // namespace

PreferenceDomain::PreferenceDomain(std::string applicationID)
    : mID(std::move(applicationID))
{
}

PreferenceDomain::~PreferenceDomain() { CFRelease(mValues); }

fs::path PreferenceDomain::ConfigFolder()
{
    char const* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return config;
    char const* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        passwd const* user = getpwuid(getuid());
        home = user && user->pw_dir ? user->pw_dir : "/";
    }
    return fs::path(home) / ".config";
}

void PreferenceDomain::Load()
{
    if (mValues)
        return;
    mPath = ConfigFolder() / (mID + ".plist");
    mValues = EmptyDictionary();
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(mPath, ec)))
        return;
    CFStringRef error = nullptr;
    CFPropertyListRef const plist = CreatePropertyListFromFile(mPath, &error);
    if (plist && CFGetTypeID(plist) == kTWTypeIDDictionary) {
        CFRelease(mValues);
        mValues = CFDictionaryCreateMutableCopy(nullptr, 0, static_cast<CFDictionaryRef>(plist));
    } else {
        // Treated as empty, and left as it is until a change is synchronized.
        std::fprintf(stderr, "Tarnwick: the preferences in %s are damaged and not used: %s\n", mPath.c_str(),
            error       ? ToUTF8(error).c_str()
                : plist ? "the root is not a dictionary"
                        : "the file cannot be read");
    }
    CFRelease(plist);
    CFRelease(error);
}

CFTypeRef PreferenceDomain::Value(CFStringRef key)
{
    Load();
    return key ? static_cast<CFTypeRef>(CFDictionaryGetValue(mValues, key)) : nullptr;
}

bool PreferenceDomain::SetValue(CFStringRef key, CFTypeRef value)
{
    Load();
    if (!key)
        return false;
    if (!value) {
        mChanged = mChanged || CFDictionaryContainsKey(mValues, key);
        CFDictionaryRemoveValue(mValues, key);
        return true;
    }
    // A copy, so that later changes to a mutable value do not leak in unsynchronized.
    CFPropertyListRef const copy = CFPropertyListCreateDeepCopy(nullptr, value, kCFPropertyListImmutable);
    if (!copy)
        return false;
    CFStringRef const keyCopy = CFStringCreateCopy(nullptr, key);
    CFDictionarySetValue(mValues, keyCopy, copy);
    CFRelease(keyCopy);
    CFRelease(copy);
    mChanged = true;
    return true;
}

bool PreferenceDomain::Synchronize()
{
    Load();
    if (!mChanged)
        return true;
    CFDataRef const data = CFPropertyListCreateXMLData(nullptr, mValues);
    if (!data)
        return false;
    bool const written = WriteFile(std::string(data->bytes.begin(), data->bytes.end()));
    CFRelease(data);
    mChanged = !written;
    return written;
}

bool PreferenceDomain::WriteFile(std::string const& bytes) const
{
    std::error_code ec;
    fs::create_directories(mPath.parent_path(), ec);
    std::string temporary = mPath.string() + ".tmp-XXXXXX";
    int const fd = ::mkstemp(temporary.data());
    bool const complete = fd >= 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    bool const closed = fd >= 0 && ::close(fd) == 0;
    if (!complete || !closed || std::rename(temporary.c_str(), mPath.c_str()) != 0) {
        int const problem = errno;
        if (fd >= 0)
            ::unlink(temporary.c_str());
        std::fprintf(
            stderr, "Tarnwick: the preferences %s were not saved: %s\n", mPath.c_str(), std::strerror(problem));
        return false;
    }
    SyncFolder(mPath.parent_path());
    return true;
}

CFArrayRef PreferenceDomain::CopyKeys()
{
    Load();
    std::vector<CFStringRef> keys;
    for (auto const& entry : mValues->entries)
        keys.push_back(static_cast<CFStringRef>(entry.first));
    std::sort(keys.begin(), keys.end(), [](CFStringRef a, CFStringRef b) { return a->Text() < b->Text(); });
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, CFIndex(keys.size()), &kCFTypeArrayCallBacks);
    for (CFStringRef key : keys)
        CFArrayAppendValue(array, key);
    return array;
}

} // namespace tw::cf
