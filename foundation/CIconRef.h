#pragma once

// Owns one reference to an icon made from an icon file (a PNG image).

#include "foundation/CFile.h"

class CIconRef {
public:
    CIconRef() = default;
    // The flag and the two codes (creator and type) name the icon's kind on systems with an
    // icon registry; here the file alone makes the icon.
    CIconRef(CFile const& file, bool isIconFile, OSType creator, OSType type);
    CIconRef(CIconRef const& other);
    CIconRef& operator=(CIconRef const& other);
    ~CIconRef();

    bool IsValid() const { return mIcon != nullptr; }
    IconRef GetIconRef() const { return mIcon; } // borrowed

private:
    IconRef mIcon = nullptr; // owns one reference
};
