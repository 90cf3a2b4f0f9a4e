#pragma once

// Little-endian reading and writing of Garmin packets and records. The reader
// never runs past its end: a read beyond it fails and every later read fails
// too, so a decoder checks once at the end (IsGood).

#include "foundation/CString.h"

#include <cstddef>
#include <vector>

class CGarminReader {
public:
    CGarminReader(UInt8 const* data, std::size_t size);

    bool IsGood() const { return mGood; }
    std::size_t GetRemaining() const { return mGood ? mSize - mOffset : 0; }

    UInt8 ReadUInt8();
    UInt16 ReadUInt16();
    SInt16 ReadSInt16() { return SInt16(ReadUInt16()); }
    UInt32 ReadUInt32();
    SInt32 ReadSInt32() { return SInt32(ReadUInt32()); }
    float ReadFloat32();
    double ReadFloat64();
    void Skip(std::size_t count);
    // A zero-terminated text of at most maxBytes, read as ISO Latin-1 (every byte is a character).
    // Without its terminator the reader fails.
    CString ReadText(std::size_t maxBytes);
    // A text in a field of that many bytes, padded with spaces or zeros.
    CString ReadFixedText(std::size_t bytes);

private:
    UInt8 const* Take(std::size_t count);

    UInt8 const* mData; // borrowed
    std::size_t mSize;
    std::size_t mOffset = 0;
    bool mGood = true;
};

class CGarminWriter {
public:
    std::vector<UInt8> const& GetBytes() const { return mBytes; }
    std::vector<UInt8>&& TakeBytes() { return std::move(mBytes); }

    void WriteUInt8(UInt8 value) { mBytes.push_back(value); }
    void WriteUInt16(UInt16 value);
    void WriteUInt32(UInt32 value);
    void WriteSInt32(SInt32 value) { WriteUInt32(UInt32(value)); }
    void WriteFloat32(float value);
    void WriteFloat64(double value);
    void WriteBytes(UInt8 const* bytes, std::size_t count);
    void WriteFill(UInt8 value, std::size_t count);
    // ISO Latin-1 ('?' for characters it lacks), cut to maxBytes - 1, then the terminator.
    void WriteText(CString const& text, std::size_t maxBytes);

private:
    std::vector<UInt8> mBytes;
};
