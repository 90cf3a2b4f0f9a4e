#pragma once

// An ordered list of texts.

#include "foundation/CString.h"

#include <vector>

class CStringList : public std::vector<CString> {
public:
    using std::vector<CString>::vector;

    // An empty text when the index is out of range.
    CString const& GetAt(std::size_t index) const;
    void Append(CString const& text) { push_back(text); }
    bool IsEmpty() const { return empty(); }
    UInt32 GetCount() const { return UInt32(size()); }
};
