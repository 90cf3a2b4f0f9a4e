#pragma once

// Reads a location from a map link: the program's own view link, or a link or
// placemark copied from the MultiMap, StreetMap, Google Maps, Google Earth, Yahoo or
// Windows Live map sites. Each site's zoom measure becomes one of the map's 18 levels
// (the world is 256·2^z pixels wide at level z); CParserURL.cpp gives the formulas.
// Main thread (the own link's format is a bundle string).

#include "foundation/CCoordinate.h"

class IMapLinkView;

class CParserURL {
public:
    // Longer text is never a location link [UTF-16 units].
    static constexpr UInt32 kMaxLinkLength = 64 * 1024;
    // Without a map view: the level of a link that carries no zoom, and the view size a
    // span is fitted into [px].
    static constexpr unsigned long kDefaultZoom = 12;
    static constexpr double kDefaultViewWidth = 1024;
    static constexpr double kDefaultViewHeight = 768;

    // The forms are tried in turn, each recognised first by its site's host name. noErr
    // with the link's coordinate and a level from 0 to 17; -206, changing nothing, for
    // text that is empty, too long or of no known form, or whose values are not finite
    // or out of range. The view, when given, supplies the size that a link's span is
    // fitted into and the level a link without a zoom keeps.
    static OSStatus ParseURL(CString const& text, IMapLinkView* view, CCoordinate& coordinate, unsigned long& zoom);
    // The program's own view link alone, read as ParseURL reads it; -206 for anything else.
    static OSStatus ParseViewLink(CString const& text, CCoordinate& coordinate, unsigned long& zoom);
};
