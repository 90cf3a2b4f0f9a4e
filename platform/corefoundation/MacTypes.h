#pragma once

// Scalar types, status codes and the four-character-code helpers shared by the
// whole platform layer and every subsystem.

#include <cstddef>
#include <cstdint>

using UInt8 = std::uint8_t;
using SInt8 = std::int8_t;
using UInt16 = std::uint16_t;
using SInt16 = std::int16_t;
using UInt32 = std::uint32_t;
using SInt32 = std::int32_t;
using UInt64 = std::uint64_t;
using SInt64 = std::int64_t;
using Float32 = float;
using Float64 = double;

using Boolean = unsigned char;
using OSStatus = SInt32;
using OSErr = SInt16;
using OSType = UInt32;
using FourCharCode = UInt32;
using ResType = UInt32;
using UniChar = char16_t;
using UniCharCount = std::size_t;
using ByteCount = std::size_t;
using ItemCount = std::size_t;
using Ptr = char*;
using Handle = char**;
using Size = long;
using ConstStringPtr = unsigned char const*;
using StringPtr = unsigned char*;
using Str255 = unsigned char[256];
using Str63 = unsigned char[64];
using Str31 = unsigned char[32];

enum : OSStatus {
    noErr = 0,
    fnfErr = -43,
    dupFNErr = -48,
    paramErr = -50,
    eofErr = -39,
    ioErr = -36,
    permErr = -54,
    wrPermErr = -61,
    memFullErr = -108,
    userCanceledErr = -128,
    nilHandleErr = -109,
    notEnoughMemoryErr = -108,
    coreFoundationUnknownErr = -4960,
    errAEEventNotHandled = -1708,
    errAEDescNotFound = -1701,
    errAECoercionFail = -1700,
    errAEWrongDataType = -1703,
    errAENotAEDesc = -1704,
    errAEBadListItem = -1705,
    eventNotHandledErr = -9874,
    eventParameterNotFoundErr = -9870,
    eventInternalErr = -9868,
    eventLoopTimedOutErr = -9875,
    eventLoopQuitErr = -9876,
    eventClassInvalidErr = -9860,
    eventClassIncorrectErr = -9864,
    eventHandlerAlreadyInstalledErr = -9866,
    errUnknownControl = -30584,
    errInvalidWindowRef = -5600,
    errInvalidWindowPtr = -5600,
    errDataBrowserItemNotFound = -4971,
    kNavInvalidCustomControlMessageErr = -5700,
    badComponentSelector = -2114, // also used for map packs of the wrong format
    kLSApplicationNotFoundErr = -10814,
};

// Four-character codes are written as 'abcd' literals; GCC gives them the
// big-endian value that the stored and wire formats use.
constexpr UInt32 TWFourCharCode(char a, char b, char c, char d)
{
    return (UInt32(UInt8(a)) << 24) | (UInt32(UInt8(b)) << 16) | (UInt32(UInt8(c)) << 8) | UInt32(UInt8(d));
}

// QuickDraw's integer point and rectangle, still used for window bounds.
struct Point {
    SInt16 v = 0;
    SInt16 h = 0;
};

struct Rect {
    SInt16 top = 0;
    SInt16 left = 0;
    SInt16 bottom = 0;
    SInt16 right = 0;
};

struct RGBColor {
    UInt16 red = 0;
    UInt16 green = 0;
    UInt16 blue = 0;
};
