#include "foundation/CFile.h"

#include "foundation/StCFRef.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool StatPath(std::string const& path, struct stat& info) { return !path.empty() && stat(path.c_str(), &info) == 0; }

// A plain name: no separator, not "." or "..".
bool IsPlainName(std::string const& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::string PathFromURL(CFURLRef url, CFURLPathStyle style)
{
    StCFRef<CFStringRef> text(CFURLCopyFileSystemPath(url, style));
    return text.IsValid() ? tw::cf::ToUTF8(text) : std::string();
}

} // namespace

CFile::CFile(CString const& path, UInt32 pathStyle)
{
    if (path.IsEmpty())
        return;
    if (pathStyle == kCFURLHFSPathStyle) {
        StCFRef<CFURLRef> url(CFURLCreateWithFileSystemPath(nullptr, path.GetCFString(), kCFURLHFSPathStyle, false));
        if (url.IsValid())
            SetPath(PathFromURL(url, kCFURLPOSIXPathStyle));
        return;
    }
    SetPath(path.GetUTF8());
}

CFile::CFile(FSRef const& ref) { SetPath(std::string(ref.path, strnlen(ref.path, kTWMaxPathLength))); }

CFile::CFile(FSSpec const& spec) { SetPath(std::string(spec.path, strnlen(spec.path, kTWMaxPathLength))); }

CFile::CFile(CFURLRef url)
{
    if (url)
        SetPath(PathFromURL(url, kCFURLPOSIXPathStyle));
}

void CFile::SetPath(std::string const& path)
{
    mPath.clear();
    if (path.empty() || path.find('\0') != std::string::npos)
        return;
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(path), ec);
    if (ec)
        return;
    std::string normal = absolute.lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    if (normal.size() < kTWMaxPathLength)
        mPath = normal;
}

bool CFile::Exists() const
{
    struct stat info;
    return StatPath(mPath, info);
}

bool CFile::FileExists() const
{
    struct stat info;
    return StatPath(mPath, info) && S_ISREG(info.st_mode);
}

bool CFile::DirectoryExists() const
{
    struct stat info;
    return StatPath(mPath, info) && S_ISDIR(info.st_mode);
}

bool CFile::IsSameFile(CFile const& other) const
{
    struct stat a;
    struct stat b;
    return StatPath(mPath, a) && StatPath(other.mPath, b) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

CFile CFile::GetChild(CString const& name) const
{
    CFile child;
    if (IsSpecified() && name.IsNotEmpty())
        child.SetPath(mPath + "/" + name.GetUTF8());
    return child;
}

CFile CFile::GetParent() const
{
    CFile parent;
    if (IsSpecified() && mPath != "/")
        parent.SetPath(fs::path(mPath).parent_path().string());
    return parent;
}

CString CFile::GetFileName() const { return CString(fs::path(mPath).filename().c_str()); }

CString CFile::GetDisplayName() const
{
    CString name = GetFileName();
    CString extension = GetExtension();
    if (extension.IsEmpty() || !tw::services::IsExtensionHidden(mPath))
        return name;
    return name.Left(name.GetLength() - extension.GetLength() - 1);
}

CString CFile::GetExtension() const
{
    std::string name = fs::path(mPath).filename().string();
    std::size_t dot = name.rfind('.');
    // A leading dot marks a hidden file, not an extension.
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size())
        return CString();
    return CString(name.c_str() + dot + 1);
}

CString CFile::GetFullPath() const { return CString(mPath.c_str()); }

CFURLRef CFile::CopyURL() const
{
    if (!IsSpecified())
        return nullptr;
    return CFURLCreateWithFileSystemPath(nullptr, GetFullPath().GetCFString(), kCFURLPOSIXPathStyle, DirectoryExists());
}

OSType CFile::GetFileType() const
{
    OSType type = 0;
    tw::services::GetTypeAndCreator(mPath, &type, nullptr);
    return type;
}

OSType CFile::GetFileCreator() const
{
    OSType creator = 0;
    tw::services::GetTypeAndCreator(mPath, nullptr, &creator);
    return creator;
}

SInt64 CFile::GetForkSize(UInt32 fork) const
{
    struct stat info;
    if (!StatPath(mPath, info))
        return -1;
    return fork == kForkData && S_ISREG(info.st_mode) ? SInt64(info.st_size) : 0;
}

OSStatus CFile::GetFSRef(FSRef& ref) const
{
    if (!IsSpecified())
        return paramErr;
    return FSPathMakeRef(reinterpret_cast<UInt8 const*>(mPath.c_str()), &ref, nullptr);
}

OSStatus CFile::GetFSSpec(FSSpec& spec) const
{
    if (!Exists())
        return IsSpecified() ? fnfErr : paramErr;
    return tw::services::CopyPath(mPath, spec.path) ? noErr : paramErr;
}

AliasHandle CFile::CreateAlias(CFile const* relativeTo) const
{
    FSRef target;
    if (GetFSRef(target) != noErr)
        return nullptr;
    FSRef from;
    bool relative = relativeTo && relativeTo->IsSpecified() && tw::services::CopyPath(relativeTo->mPath, from.path);
    AliasHandle alias = nullptr;
    return FSNewAlias(relative ? &from : nullptr, &target, &alias) == noErr ? alias : nullptr;
}

OSStatus CFile::SetFileCreatorAndType(OSType creator, OSType type)
{
    if (!IsSpecified())
        return paramErr;
    return tw::services::SetTypeAndCreator(mPath, type, creator);
}

OSStatus CFile::SetExtensionVisible(bool visible)
{
    if (!IsSpecified())
        return paramErr;
    return tw::services::SetExtensionHidden(mPath, !visible);
}

OSStatus CFile::Rename(CString const& newName, bool replaceExisting)
{
    std::string name = newName.GetUTF8();
    if (!IsSpecified() || !IsPlainName(name))
        return paramErr;
    if (!Exists())
        return fnfErr;
    std::string target = fs::path(mPath).parent_path().string() + "/" + name;
    if (target == mPath)
        return noErr;
    int result = replaceExisting ? std::rename(mPath.c_str(), target.c_str())
                                 : renameat2(AT_FDCWD, mPath.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (result != 0 && !replaceExisting && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without no-replace renames: check, then rename.
        if (access(target.c_str(), F_OK) == 0)
            return dupFNErr;
        result = std::rename(mPath.c_str(), target.c_str());
    }
    if (result != 0)
        return tw::services::StatusFromErrno(errno);
    SetPath(target);
    return noErr;
}
