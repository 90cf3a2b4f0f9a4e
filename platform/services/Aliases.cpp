#include "services/Aliases.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Stored in preferences and documents: never change the layout, add a version instead.
constexpr UInt32 kAliasMagic = 'TWal';
constexpr UInt16 kAliasVersion = 1;
constexpr std::size_t kHeaderSize = 4 + 2 + 2 + 8 + 8; // magic, version, reserved, device, inode

struct AliasData {
    UInt64 device = 0;
    UInt64 inode = 0;
    std::string path; // absolute
    std::string relative; // from the folder of the file it was made relative to, or empty
};

void PutUInt(std::string& out, UInt64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

std::optional<UInt64> GetUInt(UInt8 const* data, std::size_t size, std::size_t& offset, int bytes)
{
    if (offset + bytes > size)
        return std::nullopt;
    UInt64 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | data[offset + i];
    offset += bytes;
    return value;
}

std::optional<std::string> GetText(UInt8 const* data, std::size_t size, std::size_t& offset)
{
    auto length = GetUInt(data, size, offset, 4);
    if (!length || *length >= kTWMaxPathLength || offset + *length > size)
        return std::nullopt;
    std::string text(reinterpret_cast<char const*>(data + offset), *length);
    offset += *length;
    if (text.find('\0') != std::string::npos)
        return std::nullopt;
    return text;
}

std::string Encode(AliasData const& alias)
{
    std::string out;
    PutUInt(out, kAliasMagic, 4);
    PutUInt(out, kAliasVersion, 2);
    PutUInt(out, 0, 2);
    PutUInt(out, alias.device, 8);
    PutUInt(out, alias.inode, 8);
    PutUInt(out, alias.path.size(), 4);
    out += alias.path;
    PutUInt(out, alias.relative.size(), 4);
    out += alias.relative;
    return out;
}

// Every length is checked against the record's size: alias bytes come from preference files.
std::optional<AliasData> Decode(Handle h)
{
    auto const* data = reinterpret_cast<UInt8 const*>(*h);
    std::size_t size = std::size_t(GetHandleSize(h));
    std::size_t offset = 0;
    if (size < kHeaderSize || GetUInt(data, size, offset, 4) != kAliasMagic
        || GetUInt(data, size, offset, 2) != kAliasVersion)
        return std::nullopt;
    offset += 2;
    AliasData alias;
    alias.device = *GetUInt(data, size, offset, 8);
    alias.inode = *GetUInt(data, size, offset, 8);
    auto path = GetText(data, size, offset);
    auto relative = GetText(data, size, offset);
    if (!path || !relative || path->empty() || (*path)[0] != '/')
        return std::nullopt;
    alias.path = std::move(*path);
    alias.relative = std::move(*relative);
    return alias;
}

bool SameObject(std::string const& path, UInt64 device, UInt64 inode)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && UInt64(info.st_dev) == device && UInt64(info.st_ino) == inode;
}

// A file renamed inside its folder keeps its inode.
std::string FindByInode(AliasData const& alias)
{
    std::error_code ec;
    fs::path folder = fs::path(alias.path).parent_path();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string candidate = it->path().string();
        if (SameObject(candidate, alias.device, alias.inode))
            return candidate;
    }
    return "";
}

// The desktops' trash folders: the home one and those at the top of other file systems.
bool IsInTrash(std::string const& path)
{
    for (char const* folder : { "/Trash/files/", "/.Trash-", "/.Trash/" })
        if (path.find(folder) != std::string::npos)
            return true;
    return false;
}

std::string Resolve(AliasData const& alias, FSRef const* fromFile)
{
    if (access(alias.path.c_str(), F_OK) == 0)
        return alias.path;
    if (fromFile && !alias.relative.empty()) {
        fs::path candidate = (fs::path(fromFile->path).parent_path() / alias.relative).lexically_normal();
        if (access(candidate.c_str(), F_OK) == 0)
            return candidate.string();
    }
    return FindByInode(alias);
}

} // namespace

OSErr FSNewAlias(FSRef const* fromFile, FSRef const* target, AliasHandle* inAlias)
{
    if (!target || !inAlias)
        return paramErr;
    *inAlias = nullptr;
    struct stat info;
    if (stat(target->path, &info) != 0)
        return OSErr(tw::services::StatusFromErrno(errno));
    AliasData alias { UInt64(info.st_dev), UInt64(info.st_ino), target->path, {} };
    if (fromFile)
        alias.relative = fs::path(target->path).lexically_relative(fs::path(fromFile->path).parent_path()).string();
    std::string bytes = Encode(alias);
    Handle h = nullptr;
    if (OSErr err = PtrToHand(bytes.data(), &h, long(bytes.size())); err != noErr)
        return err;
    *inAlias = reinterpret_cast<AliasHandle>(h);
    return noErr;
}

OSErr FSResolveAlias(FSRef const* fromFile, AliasHandle alias, FSRef* target, Boolean* wasChanged)
{
    if (!alias || !target)
        return paramErr;
    auto data = Decode(reinterpret_cast<Handle>(alias));
    if (!data)
        return paramErr;
    std::string found = Resolve(*data, fromFile);
    if (found.empty())
        return fnfErr;
    if (!tw::services::CopyPath(found, target->path))
        return paramErr;
    if (wasChanged)
        *wasChanged = found != data->path;
    return noErr;
}

OSErr FSResolveAliasFile(FSRef* theRef, Boolean resolveAliasChains, Boolean* targetIsFolder, Boolean* wasAliased)
{
    if (!theRef)
        return paramErr;
    std::error_code ec;
    fs::path path(theRef->path);
    bool aliased = fs::is_symlink(path, ec);
    if (aliased) {
        fs::path next = resolveAliasChains ? fs::canonical(path, ec) : fs::read_symlink(path, ec);
        if (ec)
            return fnfErr;
        if (next.is_relative())
            next = (path.parent_path() / next).lexically_normal();
        if (!fs::exists(next, ec))
            return fnfErr;
        if (!tw::services::CopyPath(next.string(), theRef->path))
            return paramErr;
    } else if (!fs::exists(path, ec)) {
        return fnfErr;
    }
    if (wasAliased)
        *wasAliased = aliased;
    if (targetIsFolder)
        *targetIsFolder = fs::is_directory(theRef->path, ec);
    return noErr;
}

Boolean FSIsAliasFile(FSRef const* fileRef)
{
    std::error_code ec;
    return fileRef && fs::is_symlink(fileRef->path, ec);
}

namespace tw::services {

FileFollower::~FileFollower() { Follow(""); }

void FileFollower::Follow(std::string const& path)
{
    if (mDescriptor >= 0)
        close(mDescriptor);
    mDescriptor = path.empty() ? -1 : open(path.c_str(), O_PATH | O_CLOEXEC);
}

std::string FileFollower::GetPath() const
{
    if (mDescriptor < 0)
        return "";
    char link[40];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", mDescriptor);
    std::error_code ec;
    std::string path = fs::read_symlink(link, ec).string();
    struct stat info;
    if (ec || path.empty() || path[0] != '/' || fstat(mDescriptor, &info) != 0)
        return "";
    // A deleted file reads as its last path with " (deleted)" after it; only the same file
    // still at the path read counts (a name may itself end in those words). One put in the
    // trash is as good as deleted: nothing is written there.
    if (IsInTrash(path))
        return "";
    return SameObject(path, UInt64(info.st_dev), UInt64(info.st_ino)) ? path : "";
}

} // namespace tw::services
