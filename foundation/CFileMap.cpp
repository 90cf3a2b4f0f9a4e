#include "foundation/CFileMap.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

CFileMap::~CFileMap() { Close(); }

OSStatus CFileMap::Open(CFile const& file, UInt32 usage)
{
    Close();
    if (!file.IsSpecified())
        return paramErr;
    bool write = (usage & kMapWrite) != 0;
    int fd = open(file.GetPath().c_str(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0)
        return tw::services::StatusFromErrno(errno);
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return fnfErr;
    }
    mFD = fd;
    mUsage = write ? (kMapRead | kMapWrite) : kMapRead;
    mFileSize = UInt64(info.st_size);
    return noErr;
}

void* CFileMap::Map(UInt64 offset, UInt64 length, UInt32 usage)
{
    Unmap();
    if (mFD < 0 || (usage & ~mUsage) != 0 || offset >= mFileSize)
        return nullptr;
    if (length == 0)
        length = mFileSize - offset;
    if (length > mFileSize - offset)
        return nullptr;
    // mmap wants a page-aligned offset: map from the page start and answer the byte asked for.
    UInt64 page = UInt64(sysconf(_SC_PAGESIZE));
    UInt64 start = offset - offset % page;
    std::size_t mapLength = std::size_t(length + (offset - start));
    int protection = PROT_READ | ((usage & kMapWrite) ? PROT_WRITE : 0);
    void* base = mmap(nullptr, mapLength, protection, MAP_SHARED, mFD, off_t(start));
    if (base == MAP_FAILED)
        return nullptr;
    mBase = base;
    mBaseLength = mapLength;
    mLength = length;
    return static_cast<char*>(base) + (offset - start);
}

void CFileMap::Unmap()
{
    if (mBase)
        munmap(mBase, mBaseLength);
    mBase = nullptr;
    mBaseLength = 0;
    mLength = 0;
}

void CFileMap::Close()
{
    Unmap();
    if (mFD >= 0)
        close(mFD);
    mFD = -1;
    mUsage = 0;
    mFileSize = 0;
}
