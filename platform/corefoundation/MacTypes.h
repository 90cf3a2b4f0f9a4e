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

inline constexpr OSStatus noErr = 0;
inline constexpr OSStatus fnfErr = -43;
inline constexpr OSStatus dupFNErr = -48;
inline constexpr OSStatus paramErr = -50;
inline constexpr OSStatus eofErr = -39;
inline constexpr OSStatus ioErr = -36;
inline constexpr OSStatus bdNamErr = -37; // a name the file system does not take (too long)
inline constexpr OSStatus dskFulErr = -34;
inline constexpr OSStatus permErr = -54;
inline constexpr OSStatus wrPermErr = -61;
inline constexpr OSStatus memFullErr = -108;
inline constexpr OSStatus userCanceledErr = -128;
inline constexpr OSStatus nilHandleErr = -109;
inline constexpr OSStatus notEnoughMemoryErr = -108;
inline constexpr OSStatus coreFoundationUnknownErr = -4960;
inline constexpr OSStatus errAEEventNotHandled = -1708;
inline constexpr OSStatus errAEDescNotFound = -1701;
inline constexpr OSStatus errAECoercionFail = -1700;
inline constexpr OSStatus errAEWrongDataType = -1703;
inline constexpr OSStatus errAENotAEDesc = -1704;
inline constexpr OSStatus errAEBadListItem = -1705;
inline constexpr OSStatus eventNotHandledErr = -9874;
inline constexpr OSStatus eventParameterNotFoundErr = -9870;
inline constexpr OSStatus eventInternalErr = -9868;
inline constexpr OSStatus eventLoopTimedOutErr = -9875;
inline constexpr OSStatus eventLoopQuitErr = -9876;
inline constexpr OSStatus eventClassInvalidErr = -9860;
inline constexpr OSStatus eventClassIncorrectErr = -9864;
inline constexpr OSStatus eventHandlerAlreadyInstalledErr = -9866;
inline constexpr OSStatus errUnknownControl = -30584;
inline constexpr OSStatus errInvalidWindowRef = -5600;
inline constexpr OSStatus errInvalidWindowPtr = -5600;
inline constexpr OSStatus errDataBrowserItemNotFound = -4971;
inline constexpr OSStatus kNavInvalidCustomControlMessageErr = -5700;
inline constexpr OSStatus badComponentSelector = -2114; // also used for map packs of the wrong format
inline constexpr OSStatus kLSApplicationNotFoundErr = -10814;

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
