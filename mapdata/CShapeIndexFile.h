#pragma once

// The record index of a shapefile (.shx): where each shape's record lies in the
// .shp file. Memory-mapped while open. Owned by its CShapeFile, whose lock
// guards every call.

#include "foundation/CFileMap.h"

class CShapeIndexFile {
public:
    static constexpr UInt32 kHeaderSize = 100; // [bytes]
    static constexpr UInt32 kEntrySize = 8; // [bytes]

    // kMapFormatErr when the file is no shape index; eofErr when it is cut short.
    OSStatus Open(CFile const& file);
    void Close();

    UInt32 GetRecordCount() const { return mRecordCount; }
    // The record's content (after its 8-byte header) in bytes of the .shp file; false past the end.
    bool GetRecord(UInt32 record, UInt64& offset, UInt64& length) const;

private:
    OSStatus Fail(OSStatus status); // closes

    CFileMap mMap;
    UInt8 const* mBytes = nullptr; // borrowed from mMap
    UInt32 mRecordCount = 0;
};
