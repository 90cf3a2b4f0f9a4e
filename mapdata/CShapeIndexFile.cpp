#include "mapdata/CShapeIndexFile.h"

#include "mapdata/MapDataTypes.h"
#include "mapdata/ShapeBytes.h"

namespace {
constexpr SInt32 kFileCode = 9994;
}

OSStatus CShapeIndexFile::Open(CFile const& file)
{
    Close();
    TW_RETURN_IF_ERROR(mMap.Open(file));
    UInt64 size = mMap.GetFileSize();
    if (size < kHeaderSize)
        return Fail(eofErr);
    mBytes = static_cast<UInt8 const*>(mMap.Map(0, 0));
    if (mBytes == nullptr)
        return Fail(ioErr);
    if (ShapeBytes::ReadBE32(mBytes) != kFileCode)
        return Fail(kMapFormatErr);

    // The header's length may claim more than is there: only whole entries present count.
    UInt64 declared = UInt64(UInt32(ShapeBytes::ReadBE32(mBytes + 24))) * 2;
    UInt64 usable = std::min(declared, size);
    if (usable < kHeaderSize)
        return Fail(eofErr);
    mRecordCount = UInt32(std::min<UInt64>((usable - kHeaderSize) / kEntrySize, UINT32_MAX));
    return noErr;
}

OSStatus CShapeIndexFile::Fail(OSStatus status)
{
    Close();
    return status;
}

void CShapeIndexFile::Close()
{
    mMap.Close();
    mBytes = nullptr;
    mRecordCount = 0;
}

bool CShapeIndexFile::GetRecord(UInt32 record, UInt64& offset, UInt64& length) const
{
    if (record >= mRecordCount)
        return false;
    UInt8 const* entry = mBytes + kHeaderSize + UInt64(record) * kEntrySize;
    SInt32 words = ShapeBytes::ReadBE32(entry);
    SInt32 contentWords = ShapeBytes::ReadBE32(entry + 4);
    if (words < 0 || contentWords < 0)
        return false;
    offset = UInt64(words) * 2 + 8;
    length = UInt64(contentWords) * 2;
    return true;
}
