#include "mapdata/CDBaseFile.h"

#include "foundation/CFileUtilities.h"
#include "foundation/StMutexLock.h"
#include "mapdata/MapDataTypes.h"
#include "mapdata/ShapeBytes.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <strings.h>

namespace {
constexpr UInt32 kTableHeaderSize = 32; // [bytes] before the field descriptors
constexpr UInt32 kDescriptorSize = 32; // [bytes]
constexpr UInt8 kFieldListEnd = 0x0D;
constexpr UInt32 kMaxCodePageFile = 64; // [bytes]

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == 0))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == 0))
        text.remove_suffix(1);
    return text;
}
} // namespace

OSStatus CDBaseFile::Open(CFile const& file, CFStringEncoding encoding)
{
    StMutexLock lock(mLock);
    Close();
    TW_RETURN_IF_ERROR(mMap.Open(file));
    UInt64 size = mMap.GetFileSize();
    if (size < kTableHeaderSize + 1)
        return Fail(eofErr);
    mBytes = static_cast<UInt8 const*>(mMap.Map(0, 0));
    if (mBytes == nullptr)
        return Fail(ioErr);
    UInt32 declaredRecords = UInt32(ShapeBytes::ReadLE32(mBytes + 4));
    mHeaderLength = ShapeBytes::ReadLE16(mBytes + 8);
    mRecordLength = ShapeBytes::ReadLE16(mBytes + 10);
    if (mHeaderLength < kTableHeaderSize + 1 || mHeaderLength > size || mRecordLength < 1)
        return Fail(kMapFormatErr);
    TW_RETURN_IF_ERROR(ReadFields(mHeaderLength));
    // A table cut short keeps the records that are wholly there.
    UInt64 present = (size - mHeaderLength) / mRecordLength;
    mRecordCount = UInt32(std::min<UInt64>(declaredRecords, present));
    mEncoding = FindEncoding(file, encoding);
    return noErr;
}

OSStatus CDBaseFile::ReadFields(UInt32 headerLength)
{
    UInt32 used = 1; // the deletion flag
    for (UInt32 at = kTableHeaderSize; at < headerLength && mBytes[at] != kFieldListEnd; at += kDescriptorSize) {
        if (at + kDescriptorSize > headerLength)
            return Fail(kMapFormatErr);
        Field field;
        std::memcpy(field.name, mBytes + at, 11);
        field.type = char(mBytes[at + 11]);
        field.width = mBytes[at + 16];
        // Text fields may be wider than 255: the decimals byte then holds the high byte.
        if (field.type == 'C')
            field.width += UInt32(mBytes[at + 17]) << 8;
        field.offset = used;
        used += field.width;
        if (used > mRecordLength)
            return Fail(kMapFormatErr);
        mFields.push_back(field);
    }
    return noErr;
}

CFStringEncoding CDBaseFile::FindEncoding(CFile const& file, CFStringEncoding requested) const
{
    if (requested != kCFStringEncodingInvalidId)
        return requested;
    CString name = file.GetFileName();
    CString extension = file.GetExtension();
    CFile codePage = file.GetParent().GetChild(name.Left(name.GetLength() - extension.GetLength()) + "cpg");
    CMemBuffer buffer(0, 0);
    if (codePage.FileExists() && CFileUtilities::ReadData(codePage, buffer, kMaxCodePageFile) == noErr) {
        std::string_view text(static_cast<char const*>(buffer.GetBufferData(0)), buffer.GetBufferSize());
        if (CFStringEncoding found = GetCodePageEncoding(text); found != kCFStringEncodingInvalidId)
            return found;
    }
    switch (mBytes[29]) { // the language driver
    case 0x03:
        return kCFStringEncodingWindowsLatin1;
    default:
        return kCFStringEncodingISOLatin1;
    }
}

CFStringEncoding CDBaseFile::GetCodePageEncoding(std::string_view codePage)
{
    std::string_view text = TrimSpaces(codePage);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text = TrimSpaces(text.substr(0, text.size() - 1));
    auto is = [&](char const* name) {
        return text.size() == std::strlen(name) && strncasecmp(text.data(), name, text.size()) == 0;
    };
    if (is("UTF-8") || is("UTF8") || is("65001"))
        return kCFStringEncodingUTF8;
    if (is("1252") || is("CP1252") || is("windows-1252") || is("ANSI 1252"))
        return kCFStringEncodingWindowsLatin1;
    if (is("88591") || is("ISO-8859-1") || is("ISO8859-1") || is("latin1"))
        return kCFStringEncodingISOLatin1;
    if (is("10000") || is("macintosh") || is("MacRoman"))
        return kCFStringEncodingMacRoman;
    return kCFStringEncodingInvalidId;
}

OSStatus CDBaseFile::Fail(OSStatus status)
{
    Close();
    return status;
}

void CDBaseFile::Close()
{
    StMutexLock lock(mLock);
    mMap.Close();
    mBytes = nullptr;
    mRecordCount = mHeaderLength = mRecordLength = 0;
    mFields.clear();
}

UInt32 CDBaseFile::GetRecordCount() const
{
    StMutexLock lock(mLock);
    return mRecordCount;
}

UInt32 CDBaseFile::GetFieldCount() const
{
    StMutexLock lock(mLock);
    return UInt32(mFields.size());
}

std::optional<CDBaseFile::Field> CDBaseFile::GetField(UInt32 field) const
{
    StMutexLock lock(mLock);
    return field < mFields.size() ? std::optional(mFields[field]) : std::nullopt;
}

SInt32 CDBaseFile::FindField(char const* name) const
{
    StMutexLock lock(mLock);
    for (std::size_t i = 0; i < mFields.size(); ++i)
        if (strcasecmp(mFields[i].name, name) == 0)
            return SInt32(i);
    return -1;
}

UInt8 const* CDBaseFile::GetCell(UInt32 record, UInt32 field) const
{
    if (mBytes == nullptr || record >= mRecordCount || field >= mFields.size())
        return nullptr;
    return mBytes + mHeaderLength + UInt64(record) * mRecordLength + mFields[field].offset;
}

bool CDBaseFile::IsDeleted(UInt32 record) const
{
    StMutexLock lock(mLock);
    if (mBytes == nullptr || record >= mRecordCount)
        return false;
    return mBytes[mHeaderLength + UInt64(record) * mRecordLength] == '*';
}

CString CDBaseFile::GetString(UInt32 record, UInt32 field, bool trim) const
{
    StMutexLock lock(mLock);
    UInt8 const* cell = GetCell(record, field);
    if (cell == nullptr)
        return CString();
    std::size_t width = mFields[field].width;
    // Some writers end short texts with a zero byte instead of spaces.
    width = std::find(cell, cell + width, 0) - cell;
    if (trim)
        while (width > 0 && cell[width - 1] == ' ')
            --width;
    return CString(reinterpret_cast<char const*>(cell), width, mEncoding);
}

std::optional<double> CDBaseFile::GetNumber(UInt32 record, UInt32 field) const
{
    StMutexLock lock(mLock);
    UInt8 const* cell = GetCell(record, field);
    if (cell == nullptr)
        return std::nullopt;
    std::string_view text = TrimSpaces({ reinterpret_cast<char const*>(cell), mFields[field].width });
    if (mFields[field].type == 'L') {
        if (text == "T" || text == "t" || text == "Y" || text == "y")
            return 1.0;
        if (text == "F" || text == "f" || text == "N" || text == "n")
            return 0.0;
        return std::nullopt;
    }
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}
