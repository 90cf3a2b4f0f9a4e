#pragma once

// A property array over a mutable CFArray that this object owns. Copies are
// deep enough that changing one never changes another.

#include "foundation/CString.h"

class CFDictionary;

class CFArray {
public:
    CFArray();
    explicit CFArray(CFArrayRef array); // a mutable copy; empty for null or another type
    CFArray(CFArray const& other);
    CFArray(CFArray&& other) noexcept;
    CFArray& operator=(CFArray const& other);
    CFArray& operator=(CFArray&& other) noexcept;
    ~CFArray();

    CFArrayRef GetCFArray() const { return mArray; } // borrowed
    UInt32 GetCount() const;

    // Empty values when the index is out of range or the value has another type.
    CFDictionary GetValueDictionary(UInt32 index) const;
    CString GetValueString(UInt32 index) const;

    void AppendValueDictionary(CFDictionary const& dictionary); // copied
    void AppendValueString(CString const& text);
    void Clear();

private:
    CFMutableArrayRef mArray; // owns
};
