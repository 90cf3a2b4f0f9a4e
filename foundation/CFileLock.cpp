#include "foundation/CFileLock.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

bool CFileLock::Acquire(CFile const& file)
{
    if (IsHeld() && file.GetPath() == mFile.GetPath())
        return true;
    Release();
    if (!file.IsSpecified())
        return false;
    std::filesystem::path const target(file.GetPath());
    std::filesystem::path const lock = target.parent_path() / ("." + target.filename().string() + ".lock");
    int const fd = open(lock.c_str(), O_CREAT | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    mDescriptor = fd;
    mFile = file;
    return true;
}

// The lock file stays: removing it could part a second copy that opened it meanwhile from
// the one that locks it next.
void CFileLock::Release()
{
    if (mDescriptor >= 0)
        close(mDescriptor);
    mDescriptor = -1;
    mFile = CFile();
}
