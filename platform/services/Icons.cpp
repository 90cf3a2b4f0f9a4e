#include "services/Icons.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace {

// The signature and the IHDR chunk: enough to know the file is a PNG and its size.
constexpr unsigned char kPNGSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
constexpr std::size_t kHeaderBytes = 8 + 8 + 8; // signature, chunk length and type, width and height
constexpr UInt32 kMaxIconSide = 4096; // [px]

UInt32 ReadBigEndian(unsigned char const* p)
{
    return (UInt32(p[0]) << 24) | (UInt32(p[1]) << 16) | (UInt32(p[2]) << 8) | UInt32(p[3]);
}

} // namespace

namespace tw::services {

Icon::Icon(std::string path, UInt32 width, UInt32 height)
    : mPath(std::move(path))
    , mWidth(width)
    , mHeight(height)
{
}

void Icon::Retain() { mRefs.fetch_add(1, std::memory_order_relaxed); }

void Icon::Release()
{
    if (mRefs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete this;
}

} // namespace tw::services

OSErr RegisterIconRefFromFSRef(OSType, OSType, FSRef const* iconFile, IconRef* theIconRef)
{
    if (!iconFile || !theIconRef)
        return paramErr;
    *theIconRef = nullptr;
    std::ifstream in(iconFile->path, std::ios::binary);
    if (!in)
        return access(iconFile->path, F_OK) == 0 ? permErr : fnfErr;
    unsigned char header[kHeaderBytes];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header))
        return noIconDataAvailableErr;
    if (std::memcmp(header, kPNGSignature, 8) != 0 || std::memcmp(header + 12, "IHDR", 4) != 0)
        return noIconDataAvailableErr;
    UInt32 width = ReadBigEndian(header + 16);
    UInt32 height = ReadBigEndian(header + 20);
    if (width == 0 || height == 0 || width > kMaxIconSide || height > kMaxIconSide)
        return noIconDataAvailableErr;
    *theIconRef = new tw::services::Icon(iconFile->path, width, height);
    return noErr;
}

OSErr AcquireIconRef(IconRef theIconRef)
{
    if (!theIconRef)
        return invalidIconRefErr;
    theIconRef->Retain();
    return noErr;
}

OSErr ReleaseIconRef(IconRef theIconRef)
{
    if (!theIconRef)
        return invalidIconRefErr;
    theIconRef->Release();
    return noErr;
}
