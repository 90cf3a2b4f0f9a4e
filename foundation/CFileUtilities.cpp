#include "foundation/CFileUtilities.h"

#include "foundation/StCFRef.h"
#include "foundation/Status.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

OSStatus Errno() { return tw::services::StatusFromErrno(errno); }

// The replacement takes over the old file's mode and `user.` attributes (type, creator,
// hidden extension), which would otherwise vanish with every atomic save.
void CopyAttributes(std::string const& from, int toFD)
{
    struct stat info;
    if (stat(from.c_str(), &info) != 0) {
        // A new file gets the mode of any new file (0666 less the umask), not the
        // private 0600 of the temporary it was written as.
        mode_t const mask = umask(0);
        umask(mask);
        fchmod(toFD, 0666 & ~mask);
        return;
    }
    fchmod(toFD, info.st_mode & 07777);
    char names[4096];
    ssize_t length = listxattr(from.c_str(), names, sizeof names);
    for (ssize_t i = 0; i < length; i += ssize_t(std::strlen(names + i)) + 1) {
        char const* name = names + i;
        if (std::strncmp(name, "user.", 5) != 0)
            continue;
        char value[256];
        ssize_t n = getxattr(from.c_str(), name, value, sizeof value);
        if (n >= 0)
            fsetxattr(toFD, name, value, std::size_t(n), 0);
    }
}

// A save writes beside its file under a short hidden name, kSaveTag + six characters (short,
// so that a file whose name is as long as the file system allows can still be saved), and
// holds a lock on it until the rename. A save killed on the way leaves a file the file dialogs
// do not show, which the next save in that folder removes: its lock is gone with the process,
// while a save still running keeps its own. Earlier saves put the file's name before the tag.
constexpr char kSaveTag[] = ".tarnwick-save-";
constexpr std::size_t kSaveTagLength = sizeof kSaveTag - 1;
constexpr std::size_t kUniqueLength = 6; // what mkstemp puts in place of "XXXXXX"

bool IsSaveFileName(std::string const& name)
{
    if (name.size() < kSaveTagLength + kUniqueLength || name[0] != '.')
        return false;
    std::size_t const tag = name.size() - kUniqueLength - kSaveTagLength;
    if (name.compare(tag, kSaveTagLength, kSaveTag) != 0)
        return false;
    for (std::size_t i = name.size() - kUniqueLength; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

void RemoveSaveLeftovers(fs::path const& folder)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        fs::path const& file = it->path();
        if (!IsSaveFileName(file.filename().string()))
            continue;
        int const fd = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info;
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlink(file.c_str());
        close(fd);
    }
}

// The locked, hidden file a save writes; its path in pattern. -1 with errno on failure.
int CreateSaveFile(fs::path const& target, std::string& pattern)
{
    // Another program's clean-up may take the file between its making and its locking: then
    // the path no longer names what was locked, and a fresh one is made.
    for (int attempt = 0; attempt < 3; ++attempt) {
        pattern = (target.parent_path() / (std::string(kSaveTag) + "XXXXXX")).string();
        int const fd = mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
        struct stat held, named;
        if (flock(fd, LOCK_EX) == 0 && fstat(fd, &held) == 0 && stat(pattern.c_str(), &named) == 0
            && held.st_ino == named.st_ino && held.st_dev == named.st_dev)
            return fd;
        close(fd);
    }
    errno = EAGAIN;
    return -1;
}

OSStatus WriteAll(int fd, UInt8 const* data, std::size_t length)
{
    while (length > 0) {
        ssize_t n = write(fd, data, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Errno();
        data += n;
        length -= std::size_t(n);
    }
    return noErr;
}

// A regular file only: anything else (a named pipe would block for ever) is fnfErr.
// A regular file opened for reading, with its size; folders, pipes and devices are refused
// without waiting on them.
OSStatus OpenRegularFile(CFile const& file, int& fd, off_t& size)
{
    OSStatus status = noErr;
    fd = CFileUtilities::OpenForReading(file, status);
    if (fd < 0)
        return status;
    struct stat info;
    if (fstat(fd, &info) != 0) {
        status = Errno();
        close(fd);
        fd = -1;
        return status;
    }
    size = info.st_size;
    return noErr;
}

} // namespace

CFile CFileUtilities::GetBundleResource(CString const& name, CString const& type, CString const& folder)
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle || name.IsEmpty())
        return CFile();
    StCFRef<CFURLRef> url(CFBundleCopyResourceURL(bundle, name.GetCFString(),
        type.IsEmpty() ? nullptr : type.GetCFString(), folder.IsEmpty() ? nullptr : folder.GetCFString()));
    CFile file(url.Get());
    return file.Exists() ? file : CFile();
}

CFile CFileUtilities::GetApplicationFile()
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle)
        return CFile();
    StCFRef<CFURLRef> url(CFBundleCopyBundleURL(bundle));
    return CFile(url.Get());
}

CFile CFileUtilities::GetFileInAppFolder(CString const& name)
{
    return GetApplicationFile().GetParent().GetChild(name);
}

CFile CFileUtilities::FindFolder(short domain, OSType folderType, bool create, CString const& subfolder)
{
    FSRef ref;
    if (FSFindFolder(domain, folderType, create, &ref) != noErr)
        return CFile();
    CFile folder(ref);
    if (subfolder.IsEmpty())
        return folder;
    CFile child = folder.GetChild(subfolder);
    if (!child.DirectoryExists()) {
        std::error_code ec;
        if (!create || !fs::create_directories(child.GetPath(), ec))
            return CFile();
    }
    return child;
}

OSStatus CFileUtilities::ResolveAlias(CFile& file)
{
    FSRef ref;
    if (!file.IsSpecified() || !tw::services::CopyPath(file.GetPath(), ref.path))
        return paramErr;
    Boolean isFolder = false;
    Boolean wasAliased = false;
    TW_RETURN_IF_ERROR(FSResolveAliasFile(&ref, true, &isFolder, &wasAliased));
    if (wasAliased)
        file = CFile(ref);
    return noErr;
}

CFile CFileUtilities::ResolveAliasHandle(AliasHandle alias)
{
    FSRef ref;
    Boolean changed = false;
    return FSResolveAlias(nullptr, alias, &ref, &changed) == noErr ? CFile(ref) : CFile();
}

void CFileUtilities::SetPathExtension(CString& name, CString const& extension, UInt32 pathStyle)
{
    std::string text = name.GetUTF8();
    char separator = pathStyle == kCFURLHFSPathStyle ? ':' : '/';
    std::size_t lastStart = text.find_last_of(separator);
    lastStart = lastStart == std::string::npos ? 0 : lastStart + 1;
    std::size_t dot = text.rfind('.');
    // A dot that starts the name (or lies in a folder's name) is no extension.
    if (dot != std::string::npos && dot > lastStart)
        text.erase(dot);
    if (extension.IsNotEmpty())
        text += std::string(".") + extension.GetUTF8();
    name = CString(text.c_str());
}

CString CFileUtilities::GetBundleInfoPListKeyValue(CFBundleRef bundle, CString const& key)
{
    if (!bundle)
        bundle = CFBundleGetMainBundle();
    CFTypeRef value = bundle ? CFBundleGetValueForInfoDictionaryKey(bundle, key.GetCFString()) : nullptr;
    if (!value)
        return CString();
    if (CFGetTypeID(value) == CFStringGetTypeID())
        return CString(static_cast<CFStringRef>(value), false);
    if (CFGetTypeID(value) == CFNumberGetTypeID())
        return CString(CFCopyDescription(value), true);
    return CString();
}

bool CFileUtilities::CreateTemporaryFile(CFile& file, OSType creator, OSType type, bool folder)
{
    CFile temporary = FindFolder(kUserDomain, kTemporaryFolderType, true, CString());
    if (!temporary.IsSpecified())
        return false;
    std::string pattern = temporary.GetPath() + "/Tarnwick-XXXXXX";
    if (folder) {
        if (!mkdtemp(pattern.data()))
            return false;
    } else {
        int fd = mkstemp(pattern.data());
        if (fd < 0)
            return false;
        close(fd);
    }
    file = CFile(CString(pattern.c_str()));
    // "????" asks for no type: the extension given later then decides it.
    if (!folder && ((creator != 0 && creator != kUnknownType) || (type != 0 && type != kUnknownType)))
        file.SetFileCreatorAndType(creator, type);
    return file.Exists();
}

OSStatus CFileUtilities::WriteText(CFile& file, CString const& text, CFStringEncoding encoding)
{
    CFStringRef string = text.GetCFString();
    CFIndex length = CFStringGetLength(string);
    CFIndex used = 0;
    CFIndex converted = CFStringGetBytes(string, CFRangeMake(0, length), encoding, 0, false, nullptr, 0, &used);
    if (converted != length)
        return paramErr;
    std::vector<UInt8> bytes(std::size_t(used) + 1);
    CFStringGetBytes(string, CFRangeMake(0, length), encoding, 0, false, bytes.data(), used, &used);
    return WriteData(file, bytes.data(), std::size_t(used));
}

OSStatus CFileUtilities::WriteData(CFile const& file, void const* data, std::size_t length)
{
    if (!data && length > 0)
        return paramErr;
    return WriteData(file, [data, length](DataSink const& write) { return write(data, length); });
}

OSStatus CFileUtilities::WriteData(CFile const& file, std::function<OSStatus(DataSink const& write)> const& produce)
{
    if (!file.IsSpecified())
        return paramErr;
    // Saving through a symbolic link replaces the file it names, never the link.
    std::error_code ec;
    std::string path = file.GetPath();
    if (fs::is_symlink(path, ec)) {
        fs::path target = fs::weakly_canonical(path, ec);
        if (ec)
            return fnfErr;
        path = target.string();
    }
    fs::path const target(path);
    RemoveSaveLeftovers(target.parent_path());
    std::string pattern;
    int fd = CreateSaveFile(target, pattern);
    if (fd < 0)
        return Errno();
    CopyAttributes(path, fd);
    OSStatus status = produce(
        [fd](void const* data, std::size_t length) { return WriteAll(fd, static_cast<UInt8 const*>(data), length); });
    // On disk before the rename, so that a crash leaves the old file or the new one. The
    // lock is held until the file has its name, so no other save takes it for a leftover.
    if (status == noErr && fsync(fd) != 0)
        status = Errno();
    if (status == noErr && std::rename(pattern.c_str(), path.c_str()) != 0)
        status = Errno();
    if (status != noErr)
        unlink(pattern.c_str());
    close(fd);
    return status;
}

int CFileUtilities::OpenForReading(CFile const& file, OSStatus& status)
{
    if (!file.IsSpecified()) {
        status = paramErr;
        return -1;
    }
    // Not blocking: opening a named pipe would otherwise wait for a writer for ever.
    int const fd = open(file.GetPath().c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        status = Errno();
        return -1;
    }
    struct stat info;
    status = fstat(fd, &info) != 0 ? Errno() : (S_ISREG(info.st_mode) ? noErr : kNotAFileErr);
    if (status != noErr) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    status = noErr;
    return fd;
}

OSStatus CFileUtilities::ReadData(CFile const& file, std::string& text)
{
    int fd = -1;
    off_t size = 0;
    OSStatus status = OpenRegularFile(file, fd, size);
    if (status != noErr)
        return status;
    std::string bytes;
    std::size_t used = 0;
    try {
        // Read where it is to stay; a file that grows meanwhile is read to its end.
        bytes.resize(std::size_t(size) + 1);
        while (status == noErr) {
            if (used == bytes.size())
                bytes.resize(bytes.size() * 2);
            ssize_t n = read(fd, bytes.data() + used, bytes.size() - used);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                status = Errno();
            else if (n == 0)
                break;
            else
                used += std::size_t(n);
        }
    } catch (std::bad_alloc const&) {
        status = memFullErr;
    } catch (std::length_error const&) {
        status = memFullErr;
    }
    close(fd);
    if (status == noErr) {
        bytes.resize(used);
        text = std::move(bytes);
    }
    return status;
}

OSStatus CFileUtilities::ReadData(CFile const& file, CMemBuffer& buffer, UInt32 maxSize)
{
    int fd = -1;
    off_t size = 0;
    OSStatus status = OpenRegularFile(file, fd, size);
    if (status != noErr)
        return status;
    if (UInt64(size) > maxSize)
        status = memFullErr;
    CMemBuffer bytes(0, buffer.GetAlignment());
    UInt8 chunk[65536];
    while (status == noErr) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            status = Errno();
        else if (n == 0)
            break;
        else if (bytes.GetBufferSize() + UInt64(n) > maxSize || !bytes.AppendData(chunk, UInt32(n)))
            status = memFullErr; // the file grew while we read it
    }
    close(fd);
    if (status == noErr)
        buffer = std::move(bytes);
    return status;
}

OSStatus CFileUtilities::SetNumMaxOpenFiles(unsigned long count)
{
    rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return Errno();
    rlim_t wanted = rlim_t(count);
    if (limit.rlim_max != RLIM_INFINITY && wanted > limit.rlim_max)
        wanted = limit.rlim_max;
    limit.rlim_cur = wanted;
    return setrlimit(RLIMIT_NOFILE, &limit) == 0 ? noErr : Errno();
}
