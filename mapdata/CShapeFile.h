#pragma once

// A shapefile layer's geometry: the .shp file with its .shx record index, both
// memory-mapped while open. Every record is checked against the file before it
// is read, so a damaged file gives a status, never a read past its end.
// Owned by its CRegionLayer; any thread; its own lock guards the files.

#include "foundation/CMutex.h"
#include "mapdata/CShapeIndexFile.h"
#include "mapdata/SGShape.h"

class CShapeFile {
public:
    static constexpr UInt32 kHeaderSize = 100; // [bytes]

    CShapeFile() = default;
    CShapeFile(CShapeFile const&) = delete;
    CShapeFile& operator=(CShapeFile const&) = delete;

    // kMapFormatErr when either file is no shapefile or holds shapes we do not read.
    OSStatus Open(CFile const& shpFile, CFile const& shxFile);
    void Close();
    bool IsOpen() const;

    // Reads only the 100-byte header: the shape kind and the bounds of every shape.
    static OSStatus ReadHeader(CFile const& shpFile, SGShapeType& type, SGBounds& bounds);

    SGShapeType GetShapeType() const { return mType; }
    SGBounds GetBounds() const { return mBounds; }
    UInt32 GetShapeCount() const;

    // Zero bounds for a null, damaged or missing shape.
    SGBounds GetShapeBounds(UInt32 shape) const;
    // False for a null, damaged or missing shape.
    bool GetShapeBounds(UInt32 shape, SGBounds& bounds) const;
    // eofErr for a record past the end, kMapFormatErr for inconsistent counts; the shape
    // is then of kind kSGShapeNull. A null record reads as an empty shape.
    OSStatus GetShape(UInt32 shape, SGShape& result) const;

private:
    OSStatus Fail(OSStatus status); // closes
    // The record's content, checked to lie in the file.
    OSStatus GetRecord(UInt32 shape, UInt8 const*& content, UInt64& length) const;
    OSStatus ReadPoints(UInt8 const* content, UInt64 length, SGShape& result) const;

    mutable CMutex mLock;
    CFileMap mMap;
    UInt8 const* mBytes = nullptr; // borrowed from mMap
    UInt64 mSize = 0; // [bytes]
    CShapeIndexFile mIndex;
    SGShapeType mType = kSGShapeNull;
    SGBounds mBounds;
};
