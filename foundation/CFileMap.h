#pragma once

// Maps a file, or part of it, into memory. One mapping at a time; it lasts
// until the next Map, Close or the object's end.

#include "foundation/CFile.h"

class CFileMap {
public:
    enum : UInt32 {
        kMapRead = 1,
        kMapWrite = 2, // changes go to the file
    };

    CFileMap() = default;
    CFileMap(CFileMap const&) = delete;
    CFileMap& operator=(CFileMap const&) = delete;
    ~CFileMap();

    OSStatus Open(CFile const& file, UInt32 usage = kMapRead);
    // Length 0 maps to the end of the file. Null when the range lies outside the file or is
    // empty, when the usage asks for more than Open did, or when the system refuses.
    void* Map(UInt64 offset, UInt64 length, UInt32 usage = kMapRead);
    void Unmap();
    void Close();

    bool IsOpen() const { return mFD >= 0; }
    UInt64 GetFileSize() const { return mFileSize; } // [bytes] at Open
    UInt64 GetMappedSize() const { return mLength; } // [bytes]

private:
    int mFD = -1; // owns
    UInt32 mUsage = 0;
    UInt64 mFileSize = 0;
    void* mBase = nullptr; // owns: the page-aligned mapping
    std::size_t mBaseLength = 0;
    UInt64 mLength = 0;
};
