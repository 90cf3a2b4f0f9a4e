#pragma once

// Icon Services over PNG files: an icon remembers its file and pixel size, and
// the views that draw icons decode the file. Icons are reference counted.

#include "services/Files.h"

#include <atomic>
#include <string>

namespace tw::services {

class Icon {
public:
    Icon(std::string path, UInt32 width, UInt32 height);
    Icon(Icon const&) = delete;
    Icon& operator=(Icon const&) = delete;

    std::string const& Path() const { return mPath; }
    UInt32 Width() const { return mWidth; } // [px]
    UInt32 Height() const { return mHeight; } // [px]

    void Retain();
    void Release(); // deletes the icon with its last reference

private:
    ~Icon() = default;

    std::string mPath;
    UInt32 mWidth;
    UInt32 mHeight;
    std::atomic<int> mRefs { 1 };
};

} // namespace tw::services

using IconRef = tw::services::Icon*;

inline constexpr OSStatus invalidIconRefErr = -2580;
inline constexpr OSStatus noIconDataAvailableErr = -2582;

// A new icon (one reference) from a PNG file; the creator and type are not used.
// fnfErr when the file is missing, noIconDataAvailableErr when it is no PNG image.
OSErr RegisterIconRefFromFSRef(OSType creator, OSType iconType, FSRef const* iconFile, IconRef* theIconRef);
OSErr AcquireIconRef(IconRef theIconRef);
OSErr ReleaseIconRef(IconRef theIconRef);
