#pragma once

#include "foundation/CFile.h"

// A lock that one process at a time holds on a file, through a hidden lock file beside it
// (".name.lock"). The system drops it when the process ends, however it ends, so a crash
// leaves nothing to clear by hand. Main thread only.
class CFileLock {
public:
    CFileLock() = default;
    CFileLock(CFileLock const&) = delete;
    CFileLock& operator=(CFileLock const&) = delete;
    ~CFileLock() { Release(); }

    // True when this process now holds the lock on the file (or held it already); false
    // when another process holds it or the lock file cannot be made.
    bool Acquire(CFile const& file);
    void Release();
    bool IsHeld() const { return mDescriptor >= 0; }
    CFile const& GetFile() const { return mFile; }

private:
    int mDescriptor = -1;
    CFile mFile;
};
