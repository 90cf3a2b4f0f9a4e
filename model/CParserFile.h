#pragma once

// Base of the import parsers. CreateParser looks at what a file holds (its
// root element) before its name, so a GPX file called ".xml" or a LOC file
// called ".gpx" is read by the right parser; a file whose content says
// nothing is chosen by its extension, so its parser can say what is wrong.
// ParseFile hands new objects to the caller only when the whole file was
// read: on any error the list is left as it was. Status codes are those of
// CXMLStreamReader.h, plus fnfErr and ioErr when the file cannot be read.

#include "foundation/CFile.h"
#include "model/CXMLStreamReader.h"

#include <vector>

class CMapObject;

class CParserFile {
public:
    CParserFile() = default;
    CParserFile(CParserFile const&) = delete;
    CParserFile& operator=(CParserFile const&) = delete;
    virtual ~CParserFile() = default;

    // A new parser for the file (the caller owns it), or null when no parser reads it.
    static CParserFile* CreateParser(CFile const& file);

    // Whether the file's content is this parser's format.
    virtual bool CanParse(CFile const& file) const = 0;
    // Appends the file's objects (the caller owns them) and answers noErr, or changes
    // nothing and answers the status of the first problem.
    virtual OSStatus ParseFile(CFile const& file, std::vector<CMapObject*>& objects) = 0;

    // Told of what ParseFile reads, and asked whether to go on (borrowed; null: none).
    void SetMonitor(CReadMonitor* monitor) { mMonitor = monitor; }

    // Where the last ParseFile stopped on an error: 1-based line and column, 0 without one.
    UInt32 GetErrorLine() const { return mErrorLine; }
    UInt32 GetErrorColumn() const { return mErrorColumn; }

protected:
    void NoteError(CXMLStreamReader const& reader)
    {
        mErrorLine = reader.GetErrorLine();
        mErrorColumn = reader.GetErrorColumn();
    }

    CReadMonitor* mMonitor = nullptr; // borrowed

private:
    UInt32 mErrorLine = 0;
    UInt32 mErrorColumn = 0;
};
