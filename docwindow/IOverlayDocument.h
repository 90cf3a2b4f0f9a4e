#pragma once

// What the map overlay asks of the document window it lies in: the map it
// measures, whether a sheet is open, and importing what is dropped on it.
// The document window implements it; tests stand in for it. Main thread only.

class CFile;
class CString;
class CViewMap;

class IOverlayDocument {
public:
    virtual ~IOverlayDocument() = default;

    virtual CViewMap* GetMapView() const = 0;
    virtual bool HasSheet() const = 0;
    // Whether a file can be read by one of the import parsers.
    virtual bool CanImport(CFile const& file) const = 0;
    // Whether a text reads as a place on the map.
    virtual bool CanImport(CString const& text) const = 0;
    // Imports the file's objects and tells the user how it went.
    virtual void ImportData(CFile const& file) = 0;
    // Offers the place the text names.
    virtual void ImportData(CString const& text) = 0;
};
