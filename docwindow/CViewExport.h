#pragma once

// The map's view handed to programs outside: the KML of the view and objects
// opened in a globe viewer (the one named for the globe viewer, else the
// desktop's handler for KML files, else the globe viewer's web page), and the
// view as a link to a web map. Main thread.

#include "foundation/CCoordinateRect.h"
#include "foundation/CString.h"

#include <vector>

class CMapObject;

class CViewExport {
public:
    // How the view was handed over.
    enum GlobeResult : UInt32 {
        kGlobeViewer = 1, // the globe viewer took the file
        kDesktopHandler = 2, // the desktop's handler for KML files did
        kWebPage = 3, // the file could not be opened: the web page was
        kNothing = 0, // not even that
    };

    static GlobeResult OpenInGlobeViewer(CCoordinate const& centre, unsigned long level,
        std::vector<CMapObject*> const& objects);
    // The bundle's web map link ("URLGoogleMap": centre latitude and longitude, latitude and
    // longitude spans) of the rectangle; empty when the format does not take four doubles.
    static CString MakeWebMapLink(CCoordinateRect const& rect);
    static bool IsWebMapFormat(CString const& format);
};
