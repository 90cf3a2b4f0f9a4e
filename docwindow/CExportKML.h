#pragma once

// The view and the map objects of a document as a KML 2.2 document for a
// globe viewer: a look-at of the view's centre from a height that halves with
// each zoom level, then a folder of placemarks for each kind of object
// (waypoints as points, routes and tracks as lines). Temporary objects are
// left out. The files written for the viewer are removed when the program
// ends. Main thread.

#include "foundation/CCoordinate.h"
#include "foundation/CFile.h"
#include "foundation/CString.h"

#include <vector>

class CMapObject;

class CExportKML {
public:
    static constexpr unsigned long kRangeAtLevel0 = 49000000; // [m]
    static constexpr char const* kFileExtension = "kml";
    // Used when the bundle's format does not take a latitude, a longitude, a range and the
    // objects' folders, in that order.
    static char const* const kDocumentFallback;

    // 49,000,000 m at level 0, half as much at each level below.
    static unsigned long GetRange(unsigned long level);
    // The whole document, from a printf format whose arguments are the latitude and longitude
    // (doubles), the range (unsigned long) and the folders (a UTF-8 string).
    static CString MakeDocument(
        CString const& format, CCoordinate const& centre, unsigned long level, std::vector<CMapObject*> const& objects);
    static CString MakeFolders(std::vector<CMapObject*> const& objects);
    // Whether the format's conversions take those four arguments (in order or numbered).
    static bool IsDocumentFormat(CString const& format);

    // Writes the document into a new temporary ".kml" file, removed at exit; false when it
    // cannot be written (nothing is left behind).
    static bool WriteTemporaryFile(CString const& text, CFile& file);
    // Removes the files written so far (also done at exit).
    static void RemoveTemporaryFiles();
};
