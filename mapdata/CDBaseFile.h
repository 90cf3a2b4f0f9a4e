#pragma once

// A layer's dBase III attribute table (.dbf), memory-mapped while open: one record
// per shape, fields of fixed width. Texts are decoded in the layer's encoding,
// else the code page of its .cpg file, else the table's language driver byte.
// Owned by its CRegionLayer; any thread; its own lock guards the file.

#include "foundation/CFileMap.h"
#include "foundation/CMutex.h"

#include <optional>
#include <vector>

class CDBaseFile {
public:
    struct Field {
        char name[12] = {}; // zero-terminated
        char type = 'C'; // C text, N and F numbers, L logical, D date (YYYYMMDD)
        UInt32 offset = 0; // [bytes] in the record, after the deletion flag
        UInt32 width = 0; // [bytes]
    };

    CDBaseFile() = default;
    CDBaseFile(CDBaseFile const&) = delete;
    CDBaseFile& operator=(CDBaseFile const&) = delete;

    // encoding: kCFStringEncodingInvalidId to take it from the .cpg file or the table.
    // kMapFormatErr when the header or field list is inconsistent, eofErr when cut short.
    OSStatus Open(CFile const& file, CFStringEncoding encoding);
    void Close();

    UInt32 GetRecordCount() const; // records wholly present in the file
    UInt32 GetFieldCount() const;
    std::optional<Field> GetField(UInt32 field) const;
    SInt32 FindField(char const* name) const; // -1 when absent; case ignored
    CFStringEncoding GetEncoding() const { return mEncoding; }

    // Empty for a missing record or field; trailing spaces removed when trim is set.
    CString GetString(UInt32 record, UInt32 field, bool trim) const;
    // Empty for a missing record or field, or text that is not a number.
    std::optional<double> GetNumber(UInt32 record, UInt32 field) const;
    bool IsDeleted(UInt32 record) const;

    // The encoding a .cpg file names; kCFStringEncodingInvalidId when unknown.
    static CFStringEncoding GetCodePageEncoding(std::string_view codePage);

private:
    OSStatus Fail(OSStatus status); // closes
    OSStatus ReadFields(UInt32 headerLength);
    CFStringEncoding FindEncoding(CFile const& file, CFStringEncoding requested) const;
    UInt8 const* GetCell(UInt32 record, UInt32 field) const; // null when absent

    mutable CMutex mLock;
    CFileMap mMap;
    UInt8 const* mBytes = nullptr; // borrowed from mMap
    UInt32 mRecordCount = 0;
    UInt32 mHeaderLength = 0; // [bytes]
    UInt32 mRecordLength = 0; // [bytes]
    std::vector<Field> mFields;
    CFStringEncoding mEncoding = kCFStringEncodingISOLatin1;
};
