#pragma once

// Reads GPX 1.0 and 1.1 files, streaming: waypoints become CMapWaypoints;
// routes become CMapRoutes over new waypoints made from their route points
// (each listed before its route); tracks become CMapTracks holding the points
// of all their segments. Elements are matched by namespace URI (either GPX
// version, or none), whatever their prefix; extensions and elements of other
// namespaces are skipped with everything inside them, so shaping points of
// route extensions never become route points. Points need a latitude within
// ±90° and a longitude within ±180°; optional values that cannot be read
// (an elevation, a time) are left out.

#include "model/CGPXReader.h"
#include "model/CParserFile.h"

#include <string_view>

class CParserGPX : public CParserFile {
public:
    static constexpr std::string_view kNamespace10 = "http://www.topografix.com/GPX/1/0";
    static constexpr std::string_view kNamespace11 = "http://www.topografix.com/GPX/1/1";
    static constexpr std::size_t kMaxObjects = 1000000; // waypoints (with route points), routes, tracks
    static constexpr std::size_t kMaxTrackPoints = 5000000; // in all tracks of a file
    static constexpr std::size_t kMaxRoutePoints = 100000; // in one route
    // The object limit in force: kMaxObjects unless a test set another (0 restores it).
    static std::size_t GetMaxObjects();
    static void SetMaxObjectsForTesting(std::size_t limit);
    // The track-point limit in force: kMaxTrackPoints unless a test set another (0 restores it).
    static std::size_t GetMaxTrackPoints();
    static void SetMaxTrackPointsForTesting(std::size_t limit);

    static bool IsRootElement(std::string_view uri, std::string_view localName);
    // Seconds since 2001-01-01 00:00 UTC of an ISO 8601 time ("2021-06-01T08:00:00Z",
    // fractions and zone offsets allowed); false for anything else.
    // Seconds since the reference date; a time exactly at it reads as kReferenceMomentTime.
    static bool ParseTime(std::string_view text, double& seconds);
    static constexpr double kReferenceMomentTime = 1e-6; // [s]

    static constexpr UInt64 kPiecesFileSize = 4 * 1024 * 1024; // [bytes] from which pieces are tried
    static constexpr UInt64 kMinPieceSize = 1024 * 1024; // [bytes]

    bool CanParse(CFile const& file) const override;
    OSStatus ParseFile(CFile const& file, std::vector<CMapObject*>& objects) override;

    // The file's records read in pieces of at least minPieceSize bytes, joined in order;
    // kImportPieceErr when the file cannot be read that way (it is then read in one pass).
    // userCanceledErr when the monitor said stop.
    static OSStatus ReadInPieces(CFile const& file, UInt64 minPieceSize, UInt32 maxPieces,
        std::vector<CGPXReader::Record>& records, CReadMonitor* monitor = nullptr);
};
