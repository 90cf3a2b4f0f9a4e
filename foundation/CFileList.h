#pragma once

// An ordered list of files, such as the files of a drag, a dialog's reply or
// the items of a folder.

#include "foundation/CFile.h"

#include <vector>

class CFileList : public std::vector<CFile> {
public:
    using std::vector<CFile>::vector;

    void PushFront(CFile const& file) { insert(begin(), file); }
    void PushBack(CFile const& file) { push_back(file); }
    void Remove(CFile const& file); // every entry equal to it
    bool Contains(CFile const& file) const;
    SInt32 Find(CFile const& file) const; // index, -1 when absent
    CFile const& GetAt(std::size_t index) const; // unspecified when out of range
    UInt32 GetCount() const { return UInt32(size()); }
    bool IsEmpty() const { return empty(); }

    // Appends the visible items of a folder (names not starting with "."), sorted by name,
    // keeping only those with the extension when one is given (case ignored).
    OSStatus AddFolderItems(CFile const& folder, CString const& extension = CString());
};
