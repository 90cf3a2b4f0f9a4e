#pragma once

// The GPX reader behind CParserGPX: turns the XML events of a whole file, or
// of one piece of a large file, into plain records (no map objects, so it may
// run on any thread). A piece starts inside a track segment, opened by a
// prefix of start tags; the reader keeps apart the points that continue the
// track open before the piece, the records completed in the piece, and the
// track still open at its end, so the pieces can be joined in order.

#include "foundation/CCoordinatePVT.h"
#include "model/CXMLStreamReader.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

class CGPXReader : public CXMLStreamReader {
public:
    struct Texts {
        std::string name;
        std::string description;
        std::string comment;
        std::string symbol;
        std::string url;
    };
    struct Point {
        double latitude = 0;
        double longitude = 0;
        std::optional<double> elevation; // [m]
        Texts texts;
    };
    struct Route {
        Texts texts;
        std::vector<Point> points;
    };
    struct Track {
        Texts texts;
        std::vector<CCoordinatePVT> samples;
    };
    using Record = std::variant<Point, Route, Track>;

    // A piece reader: the prefix's track is the one open before the piece, and the piece is
    // closed with the suffix ClosePiece builds, when the open markup is prefixMarkup.
    void SetPiece(std::vector<std::string> const& prefixMarkup);

    std::vector<Record> mRecords; // completed, in file order
    std::size_t mObjectCount = 0; // waypoints, route points, routes, tracks
    std::size_t mTrackPoints = 0;
    // Pieces only: the points of the track open before the piece, whether it ended in the
    // piece, and a track started in the piece and still open at its end.
    std::vector<CCoordinatePVT> mHeadSamples;
    bool mHeadClosed = false;
    std::optional<Track> mTail;

protected:
    void StartElement(std::string_view uri, std::string_view localName, char const** attributes) override;
    void EndElement(std::string_view uri, std::string_view localName) override;
    bool ClosePiece(std::string& suffix) override;

private:
    enum class Node : UInt8 { Root, Waypoint, Route, RoutePoint, Track, Segment, TrackPoint, Field, Link };
    enum class Field : UInt8 { None, Elevation, Time, Name, Description, Comment, Symbol, URL, Speed, Course };

    void StartChild(std::string_view localName, char const** attributes);
    void StartPoint(Node node, char const** attributes);
    void StartField(Field field);
    void StartLink(char const** attributes);
    void StartInPoint(std::string_view localName, char const** attributes);
    void StartInContainer(std::string_view localName, char const** attributes);
    void EndField();
    void EndTrackPoint();
    void EndRoute();
    void EndTrack();
    bool Count(std::size_t objects);
    Texts& CurrentTexts();

    std::vector<Node> mStack; // the open elements that matter
    UInt32 mSkipDepth = 0; // > 0 inside a skipped element
    Field mField = Field::None;
    Point mPoint;
    std::optional<double> mTime; // [s since 2001-01-01 UTC] of the point being read
    std::optional<double> mSpeed; // [m/s]
    std::optional<double> mCourse; // [deg]
    Route mRoute;
    Track mTrack;
    // Pieces: the prefix's start tags, the markup of the open elements up to the segment,
    // and whether the open track is the one from before the piece.
    std::vector<std::string> mPrefixMarkup;
    std::vector<std::string> mOpenMarkup;
    bool mPiece = false;
    bool mContinuing = false;
    bool mClosing = false;
};
