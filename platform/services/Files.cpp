#include "services/Files.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Stored on disk: never rename.
constexpr char kTypeAttribute[] = "user.com.tarnwick.type";
constexpr char kCreatorAttribute[] = "user.com.tarnwick.creator";
constexpr char kHiddenExtensionAttribute[] = "user.com.tarnwick.extension-hidden";

struct ExtensionEntry {
    char const* extension;
    OSType type;
    OSType creator;
};

// Files written by other programs carry no attributes: their extension stands in.
constexpr std::array<ExtensionEntry, 5> kExtensionTable { {
    { "twk", 'TWck', 'TWik' },
    { "txt", 'TEXT', 0 },
    { "kml", 'TEXT', 0 },
    { "png", 'PNGf', 0 },
    { "pdf", 'PDF ', 0 },
} };

std::string HomeFolder()
{
    if (char const* home = std::getenv("HOME"); home && home[0] == '/')
        return home;
    if (passwd const* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

// An XDG variable counts only when it holds an absolute path.
std::string EnvironmentFolder(char const* name, std::string const& fallback)
{
    char const* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : fallback;
}

bool IsUserDomain(SInt16 domain)
{
    return domain == kUserDomain || domain == kOnAppropriateDisk || domain == kOnSystemDisk;
}

bool ReadCode(std::string const& path, char const* attribute, OSType* code)
{
    unsigned char bytes[4];
    ssize_t n = getxattr(path.c_str(), attribute, bytes, sizeof bytes);
    if (n != 4)
        return false;
    *code = (OSType(bytes[0]) << 24) | (OSType(bytes[1]) << 16) | (OSType(bytes[2]) << 8) | OSType(bytes[3]);
    return true;
}

OSStatus WriteAttribute(std::string const& path, char const* attribute, void const* bytes, std::size_t size)
{
    if (setxattr(path.c_str(), attribute, bytes, size, 0) == 0)
        return noErr;
    if (errno == ENOTSUP)
        return noErr;
    return tw::services::StatusFromErrno(errno);
}

OSStatus WriteCode(std::string const& path, char const* attribute, OSType code)
{
    unsigned char bytes[4] = { UInt8(code >> 24), UInt8(code >> 16), UInt8(code >> 8), UInt8(code) };
    return WriteAttribute(path, attribute, bytes, sizeof bytes);
}

ExtensionEntry const* EntryForPath(std::string const& path)
{
    std::string name = fs::path(path).filename().string();
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return nullptr;
    std::string extension = name.substr(dot + 1);
    for (auto const& entry : kExtensionTable)
        if (strcasecmp(entry.extension, extension.c_str()) == 0)
            return &entry;
    return nullptr;
}

} // namespace

namespace tw::services {

OSStatus StatusFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return fnfErr;
    case EACCES:
    case EPERM:
        return permErr;
    case EROFS:
        return wrPermErr;
    case ENOSPC:
    case EDQUOT:
        return dskFulErr;
    case EEXIST:
    case ENOTEMPTY:
        return dupFNErr;
    case ENOMEM:
        return memFullErr;
    case ENAMETOOLONG:
        return bdNamErr;
    case EINVAL:
        return paramErr;
    default:
        return ioErr;
    }
}

bool CopyPath(std::string const& path, char (&buffer)[kTWMaxPathLength])
{
    if (path.size() >= kTWMaxPathLength) {
        buffer[0] = 0;
        return false;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}

std::string StandardFolderPath(SInt16 domain, OSType folderType)
{
    bool user = IsUserDomain(domain);
    switch (folderType) {
    case kApplicationSupportFolderType:
        if (user)
            return EnvironmentFolder("XDG_DATA_HOME", HomeFolder() + "/.local/share");
        if (domain == kLocalDomain)
            return "/usr/local/share";
        return domain == kSystemDomain ? "/usr/share" : "";
    case kPreferencesFolderType:
        return user ? EnvironmentFolder("XDG_CONFIG_HOME", HomeFolder() + "/.config") : "";
    case kDesktopFolderType:
        return user ? EnvironmentFolder("XDG_DESKTOP_DIR", HomeFolder() + "/Desktop") : "";
    case kTemporaryFolderType:
    case kChewableItemsFolderType:
        return EnvironmentFolder("TMPDIR", "/tmp");
    default:
        return "";
    }
}

OSStatus GetTypeAndCreator(std::string const& path, OSType* type, OSType* creator)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return StatusFromErrno(errno);
    ExtensionEntry const* entry = EntryForPath(path);
    if (type && !ReadCode(path, kTypeAttribute, type))
        *type = entry && !S_ISDIR(info.st_mode) ? entry->type : 0;
    if (creator && !ReadCode(path, kCreatorAttribute, creator))
        *creator = entry && !S_ISDIR(info.st_mode) ? entry->creator : 0;
    return noErr;
}

OSStatus SetTypeAndCreator(std::string const& path, OSType type, OSType creator)
{
    if (access(path.c_str(), F_OK) != 0)
        return StatusFromErrno(errno);
    OSStatus status = WriteCode(path, kTypeAttribute, type);
    return status != noErr ? status : WriteCode(path, kCreatorAttribute, creator);
}

bool IsExtensionHidden(std::string const& path)
{
    char flag = 0;
    return getxattr(path.c_str(), kHiddenExtensionAttribute, &flag, 1) == 1 && flag == '1';
}

OSStatus SetExtensionHidden(std::string const& path, bool hidden)
{
    if (access(path.c_str(), F_OK) != 0)
        return StatusFromErrno(errno);
    if (!hidden) {
        if (removexattr(path.c_str(), kHiddenExtensionAttribute) == 0 || errno == ENODATA || errno == ENOTSUP)
            return noErr;
        return StatusFromErrno(errno);
    }
    char const flag = '1';
    return WriteAttribute(path, kHiddenExtensionAttribute, &flag, 1);
}

} // namespace tw::services

OSStatus FSPathMakeRef(UInt8 const* path, FSRef* ref, Boolean* isDirectory)
{
    if (!path || !ref || path[0] != '/')
        return paramErr;
    std::string text(reinterpret_cast<char const*>(path));
    struct stat info;
    if (stat(text.c_str(), &info) != 0)
        return tw::services::StatusFromErrno(errno);
    if (!tw::services::CopyPath(text, ref->path))
        return paramErr;
    if (isDirectory)
        *isDirectory = S_ISDIR(info.st_mode);
    return noErr;
}

OSStatus FSRefMakePath(FSRef const* ref, UInt8* path, UInt32 maxPathSize)
{
    if (!ref || !path || maxPathSize == 0)
        return paramErr;
    std::size_t length = strnlen(ref->path, kTWMaxPathLength);
    if (length == kTWMaxPathLength || length + 1 > maxPathSize)
        return paramErr;
    std::memcpy(path, ref->path, length + 1);
    return noErr;
}

OSErr FSFindFolder(FSVolumeRefNum vRefNum, OSType folderType, Boolean createFolder, FSRef* foundRef)
{
    if (!foundRef)
        return paramErr;
    std::string path = tw::services::StandardFolderPath(vRefNum, folderType);
    if (path.empty())
        return fnfErr;
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
        if (!createFolder)
            return fnfErr;
        fs::create_directories(path, ec);
        if (ec)
            return tw::services::StatusFromErrno(ec.value());
    }
    return tw::services::CopyPath(path, foundRef->path) ? noErr : paramErr;
}

OSStatus LSSetExtensionHiddenForRef(FSRef const* inRef, Boolean inHide)
{
    if (!inRef)
        return paramErr;
    return tw::services::SetExtensionHidden(inRef->path, inHide);
}
