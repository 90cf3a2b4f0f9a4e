#pragma once

// Reads LOC files (a "loc" root of "waypoint" elements, as geocaching sites
// write them), streaming: each waypoint becomes a CMapWaypoint named by its
// "name" element's id (its text when there is no id), described by that text,
// at its "coord" element's lat and lon, with the symbol its "type" names and
// the "link" as its URL. Stray control characters in the texts are read as
// spaces. A waypoint without a usable coordinate fails the file.

#include "model/CParserFile.h"

#include <string_view>

class CParserLoc : public CParserFile {
public:
    static constexpr std::size_t kMaxWaypoints = 1000000;
    // The waypoint limit in force: kMaxWaypoints unless a test set another (0 restores it).
    static std::size_t GetMaxWaypoints();
    static void SetMaxWaypointsForTesting(std::size_t limit);

    static bool IsRootElement(std::string_view uri, std::string_view localName);

    bool CanParse(CFile const& file) const override;
    OSStatus ParseFile(CFile const& file, std::vector<CMapObject*>& objects) override;
};
