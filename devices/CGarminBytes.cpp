#include "devices/CGarminBytes.h"

#include <bit>
#include <cstring>

namespace {
UInt8 const kNothing = 0; // where a reader of no bytes points
}

CGarminReader::CGarminReader(UInt8 const* data, std::size_t size)
    : mData(data ? data : &kNothing)
    , mSize(data ? size : 0)
{
}

UInt8 const* CGarminReader::Take(std::size_t count)
{
    if (!mGood || count > mSize - mOffset) {
        mGood = false;
        return nullptr;
    }
    UInt8 const* bytes = mData + mOffset;
    mOffset += count;
    return bytes;
}

UInt8 CGarminReader::ReadUInt8()
{
    UInt8 const* bytes = Take(1);
    return bytes ? bytes[0] : 0;
}

UInt16 CGarminReader::ReadUInt16()
{
    UInt8 const* bytes = Take(2);
    return bytes ? UInt16(bytes[0] | (bytes[1] << 8)) : 0;
}

UInt32 CGarminReader::ReadUInt32()
{
    UInt8 const* bytes = Take(4);
    return bytes ? UInt32(bytes[0]) | (UInt32(bytes[1]) << 8) | (UInt32(bytes[2]) << 16) | (UInt32(bytes[3]) << 24) : 0;
}

float CGarminReader::ReadFloat32() { return std::bit_cast<float>(ReadUInt32()); }

double CGarminReader::ReadFloat64()
{
    UInt64 low = ReadUInt32();
    UInt64 high = ReadUInt32();
    return std::bit_cast<double>(low | (high << 32));
}

void CGarminReader::Skip(std::size_t count) { Take(count); }

CString CGarminReader::ReadText(std::size_t maxBytes)
{
    if (!mGood)
        return CString();
    std::size_t limit = std::min(maxBytes, mSize - mOffset);
    auto const* start = mData + mOffset;
    auto const* end = limit > 0 ? static_cast<UInt8 const*>(std::memchr(start, 0, limit)) : nullptr;
    if (!end) {
        mGood = false;
        return CString();
    }
    std::size_t length = std::size_t(end - start);
    mOffset += length + 1;
    return CString(reinterpret_cast<char const*>(start), length, kCFStringEncodingISOLatin1);
}

CString CGarminReader::ReadFixedText(std::size_t bytes)
{
    UInt8 const* field = Take(bytes);
    if (!field)
        return CString();
    std::size_t length = 0;
    while (length < bytes && field[length] != 0)
        ++length;
    while (length > 0 && field[length - 1] == ' ')
        --length;
    return CString(reinterpret_cast<char const*>(field), length, kCFStringEncodingISOLatin1);
}

void CGarminWriter::WriteUInt16(UInt16 value)
{
    mBytes.push_back(UInt8(value));
    mBytes.push_back(UInt8(value >> 8));
}

void CGarminWriter::WriteUInt32(UInt32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        mBytes.push_back(UInt8(value >> shift));
}

void CGarminWriter::WriteFloat32(float value) { WriteUInt32(std::bit_cast<UInt32>(value)); }

void CGarminWriter::WriteFloat64(double value)
{
    UInt64 bits = std::bit_cast<UInt64>(value);
    WriteUInt32(UInt32(bits));
    WriteUInt32(UInt32(bits >> 32));
}

void CGarminWriter::WriteBytes(UInt8 const* bytes, std::size_t count)
{
    mBytes.insert(mBytes.end(), bytes, bytes + count);
}

void CGarminWriter::WriteFill(UInt8 value, std::size_t count) { mBytes.insert(mBytes.end(), count, value); }

void CGarminWriter::WriteText(CString const& text, std::size_t maxBytes)
{
    std::string latin1 = text.GetNarrow(kCFStringEncodingISOLatin1);
    // A zero inside the text would end it early on the receiver.
    std::size_t length = std::min(latin1.find('\0'), maxBytes > 0 ? maxBytes - 1 : 0);
    length = std::min(length, latin1.size());
    mBytes.insert(mBytes.end(), latin1.begin(), latin1.begin() + std::ptrdiff_t(length));
    mBytes.push_back(0);
}
