#include "mapdata/CShapeFile.h"

#include "foundation/StMutexLock.h"
#include "mapdata/MapDataTypes.h"
#include "mapdata/ShapeBytes.h"

#include <cmath>

using namespace ShapeBytes;

namespace {
constexpr SInt32 kFileCode = 9994;
constexpr UInt64 kBoxSize = 32; // [bytes] four doubles
constexpr UInt64 kPointSize = 16; // [bytes]

// Non-finite or inverted boxes would poison the spatial index: such shapes count as damaged.
bool ReadBox(UInt8 const* bytes, SGBounds& bounds)
{
    bounds = { ReadLEDouble(bytes), ReadLEDouble(bytes + 8), ReadLEDouble(bytes + 16), ReadLEDouble(bytes + 24) };
    return std::isfinite(bounds.xmin) && std::isfinite(bounds.ymin) && std::isfinite(bounds.xmax)
        && std::isfinite(bounds.ymax) && bounds.xmin <= bounds.xmax && bounds.ymin <= bounds.ymax;
}

OSStatus ParseHeader(UInt8 const* header, SGShapeType& type, SGBounds& bounds)
{
    if (ReadBE32(header) != kFileCode)
        return kMapFormatErr;
    SInt32 base = GetBaseShapeType(ReadLE32(header + 32));
    if (base < 0)
        return kMapFormatErr;
    type = SGShapeType(base);
    if (!ReadBox(header + 36, bounds))
        bounds = {};
    return noErr;
}
} // namespace

OSStatus CShapeFile::ReadHeader(CFile const& shpFile, SGShapeType& type, SGBounds& bounds)
{
    CFileMap map;
    TW_RETURN_IF_ERROR(map.Open(shpFile));
    if (map.GetFileSize() < kHeaderSize)
        return eofErr;
    auto const* header = static_cast<UInt8 const*>(map.Map(0, kHeaderSize));
    if (header == nullptr)
        return ioErr;
    return ParseHeader(header, type, bounds);
}

OSStatus CShapeFile::Open(CFile const& shpFile, CFile const& shxFile)
{
    StMutexLock lock(mLock);
    Close();
    TW_RETURN_IF_ERROR(mMap.Open(shpFile));
    mSize = mMap.GetFileSize();
    if (mSize < kHeaderSize)
        return Fail(eofErr);
    mBytes = static_cast<UInt8 const*>(mMap.Map(0, 0));
    if (mBytes == nullptr)
        return Fail(ioErr);
    if (OSStatus status = ParseHeader(mBytes, mType, mBounds); status != noErr)
        return Fail(status);
    if (OSStatus status = mIndex.Open(shxFile); status != noErr)
        return Fail(status);
    return noErr;
}

OSStatus CShapeFile::Fail(OSStatus status)
{
    Close();
    return status;
}

void CShapeFile::Close()
{
    StMutexLock lock(mLock);
    mIndex.Close();
    mMap.Close();
    mBytes = nullptr;
    mSize = 0;
    mType = kSGShapeNull;
    mBounds = {};
}

bool CShapeFile::IsOpen() const
{
    StMutexLock lock(mLock);
    return mBytes != nullptr;
}

UInt32 CShapeFile::GetShapeCount() const
{
    StMutexLock lock(mLock);
    return mIndex.GetRecordCount();
}

OSStatus CShapeFile::GetRecord(UInt32 shape, UInt8 const*& content, UInt64& length) const
{
    UInt64 offset = 0;
    if (mBytes == nullptr || !mIndex.GetRecord(shape, offset, length))
        return eofErr;
    if (offset < kHeaderSize + 8 || offset > mSize || length > mSize - offset || length < 4)
        return eofErr;
    // The record's own header may claim less than the index does; the smaller one holds.
    SInt32 ownWords = ReadBE32(mBytes + offset - 4);
    if (ownWords >= 0)
        length = std::min(length, UInt64(ownWords) * 2);
    if (length < 4)
        return eofErr;
    content = mBytes + offset;
    return noErr;
}

SGBounds CShapeFile::GetShapeBounds(UInt32 shape) const
{
    SGBounds bounds;
    return GetShapeBounds(shape, bounds) ? bounds : SGBounds();
}

bool CShapeFile::GetShapeBounds(UInt32 shape, SGBounds& bounds) const
{
    StMutexLock lock(mLock);
    UInt8 const* content = nullptr;
    UInt64 length = 0;
    if (GetRecord(shape, content, length) != noErr || GetBaseShapeType(ReadLE32(content)) != mType)
        return false;
    if (mType == kSGShapePoint) {
        if (length < 4 + kPointSize)
            return false;
        double x = ReadLEDouble(content + 4), y = ReadLEDouble(content + 12);
        bounds = { x, y, x, y };
        return std::isfinite(x) && std::isfinite(y);
    }
    return length >= 4 + kBoxSize && ReadBox(content + 4, bounds);
}

OSStatus CShapeFile::GetShape(UInt32 shape, SGShape& result) const
{
    StMutexLock lock(mLock);
    result = SGShape();
    UInt8 const* content = nullptr;
    UInt64 length = 0;
    TW_RETURN_IF_ERROR(GetRecord(shape, content, length));
    SInt32 type = GetBaseShapeType(ReadLE32(content));
    if (type == kSGShapeNull)
        return noErr;
    if (type != mType)
        return kMapFormatErr;
    OSStatus status = ReadPoints(content, length, result);
    if (status != noErr)
        result = SGShape();
    return status;
}

OSStatus CShapeFile::ReadPoints(UInt8 const* content, UInt64 length, SGShape& result) const
{
    if (mType == kSGShapePoint) {
        if (length < 4 + kPointSize)
            return eofErr;
        SGPoint point { ReadLEDouble(content + 4), ReadLEDouble(content + 12) };
        if (!std::isfinite(point.x) || !std::isfinite(point.y))
            return kMapFormatErr;
        result.bounds = { point.x, point.y, point.x, point.y };
        result.parts = { 0 };
        result.points = { point };
        result.type = kSGShapePoint;
        return noErr;
    }
    // 1. Box and counts; multipoints have no part list.
    bool hasParts = mType != kSGShapeMultiPoint;
    UInt64 countsEnd = 4 + kBoxSize + (hasParts ? 8 : 4);
    if (length < countsEnd)
        return eofErr;
    if (!ReadBox(content + 4, result.bounds))
        return kMapFormatErr;
    SInt32 partCount = hasParts ? ReadLE32(content + 36) : 1;
    SInt32 pointCount = ReadLE32(content + (hasParts ? 40 : 36));
    if (partCount < 0 || pointCount < 0)
        return kMapFormatErr;
    // 2. The counts must fit the record before anything is allocated.
    UInt64 partsSize = hasParts ? UInt64(partCount) * 4 : 0;
    if (partsSize + UInt64(pointCount) * kPointSize > length - countsEnd)
        return eofErr;
    // 3. Parts start at 0 and ascend within the points.
    result.parts.resize(pointCount == 0 ? 0 : partCount);
    for (UInt32 i = 0; i < result.parts.size(); ++i) {
        SInt32 start = hasParts ? ReadLE32(content + countsEnd + i * 4) : 0;
        if (start < 0 || start >= pointCount || (i == 0 && start != 0)
            || (i > 0 && UInt32(start) < result.parts[i - 1]))
            return kMapFormatErr;
        result.parts[i] = UInt32(start);
    }
    UInt8 const* points = content + countsEnd + partsSize;
    result.points.resize(pointCount);
    for (SInt32 i = 0; i < pointCount; ++i)
        result.points[i] = { ReadLEDouble(points + i * kPointSize), ReadLEDouble(points + i * kPointSize + 8) };
    result.type = mType;
    return noErr;
}
