#pragma once

// Reads the numbers of shapefile and dBase records from memory that may be
// unaligned. Shapefiles mix big-endian (file and record headers) and
// little-endian (contents) words.

#include "platform/Platform.h"

#include <bit>
#include <cstring>

namespace ShapeBytes {

inline UInt32 Swap32(UInt32 value)
{
    return (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

inline SInt32 ReadBE32(UInt8 const* bytes)
{
    UInt32 value;
    std::memcpy(&value, bytes, 4);
    return SInt32(std::endian::native == std::endian::little ? Swap32(value) : value);
}

inline SInt32 ReadLE32(UInt8 const* bytes)
{
    UInt32 value;
    std::memcpy(&value, bytes, 4);
    return SInt32(std::endian::native == std::endian::little ? value : Swap32(value));
}

inline UInt16 ReadLE16(UInt8 const* bytes) { return UInt16(bytes[0] | (bytes[1] << 8)); }

inline double ReadLEDouble(UInt8 const* bytes)
{
    UInt64 value;
    std::memcpy(&value, bytes, 8);
    if constexpr (std::endian::native != std::endian::little)
        value = (UInt64(Swap32(UInt32(value))) << 32) | Swap32(UInt32(value >> 32));
    return std::bit_cast<double>(value);
}

} // namespace ShapeBytes
