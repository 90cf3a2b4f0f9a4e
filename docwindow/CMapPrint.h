#pragma once

// One printed page of a document window: its map and overlay scaled into the
// page between a header band (program and document name on the left, the date
// and time on the right) and a footer band (the view's link), framed by a
// hairline. Main thread.

#include "foundation/CString.h"
#include "framework/CCarbonEvent.h"

class CViewMap;
class CViewOverlay;

class CMapPrint {
public:
    static constexpr double kBand = 26; // [pt] kept free above and below the map
    static constexpr double kTextHeight = 20;
    static constexpr double kFooterGap = 6;

    // The map's place on the page: all of it between the bands, whatever the paper's
    // orientation; empty when there is no map to scale.
    static CGRect GetMapRect(CGRect const& page, CGSize const& visible);
    // The part of the map printed: the visible part widened (or heightened) about its
    // middle to the map rectangle's proportions, so that the page is filled.
    static CGRect GetPrintedContent(CGRect const& mapRect, CGRect const& visible);
    // Draws the page into the print draw event's context (page at 0, 0, y down): paramErr
    // without a context or a map; otherwise the map's and the overlay's statuses joined.
    static OSStatus PrintPage(CCarbonEvent& pageEvent, CViewMap* map, CViewOverlay* overlay, CString const& name);
};
