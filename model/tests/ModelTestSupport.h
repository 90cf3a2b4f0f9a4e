#pragma once

// Helpers of the map object tests: owning lists of parsed objects, files
// written for a test, and counts of what an import produced.

#include "model/CMapObject.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "model/CParserFile.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tw::test {

// Map objects as a parser hands them over; deleted routes first, as a document would
// find them listening to their waypoints.
class ObjectList {
public:
    ObjectList() = default;
    ObjectList(ObjectList const&) = delete;
    ObjectList& operator=(ObjectList const&) = delete;
    ~ObjectList() { Clear(); }

    std::vector<CMapObject*>& Get() { return mObjects; }
    std::size_t Size() const { return mObjects.size(); }
    CMapObject* operator[](std::size_t index) const { return mObjects[index]; }
    void Clear()
    {
        while (!mObjects.empty()) {
            delete mObjects.back();
            mObjects.pop_back();
        }
    }
    template <typename T> std::vector<T*> OfType() const
    {
        std::vector<T*> result;
        for (CMapObject* object : mObjects)
            if (auto* typed = dynamic_cast<T*>(object))
                result.push_back(typed);
        return result;
    }

private:
    std::vector<CMapObject*> mObjects;
};

// What an import holds, counted as GPS tools count it: waypoints not in a route, routes,
// route points, tracks and track points.
struct ImportCounts {
    std::size_t waypoints = 0;
    std::size_t routes = 0;
    std::size_t routePoints = 0;
    std::size_t tracks = 0;
    std::size_t trackPoints = 0;

    bool operator==(ImportCounts const&) const = default;
};

inline ImportCounts CountObjects(ObjectList const& objects)
{
    ImportCounts counts;
    for (CMapRoute* route : objects.OfType<CMapRoute>()) {
        ++counts.routes;
        counts.routePoints += route->GetSegments().size();
    }
    for (CMapTrack* track : objects.OfType<CMapTrack>()) {
        ++counts.tracks;
        counts.trackPoints += track->GetSamples().size();
    }
    counts.waypoints = objects.OfType<CMapWaypoint>().size() - counts.routePoints;
    return counts;
}

inline std::ostream& operator<<(std::ostream& out, ImportCounts const& counts)
{
    return out << "{waypoints " << counts.waypoints << ", routes " << counts.routes << ", route points "
               << counts.routePoints << ", tracks " << counts.tracks << ", track points " << counts.trackPoints << "}";
}

inline CFile FileOf(std::filesystem::path const& path) { return CFile(CString(path.c_str())); }

// Parses with the parser CreateParser picks; the status, or -206 without a parser.
inline OSStatus Import(std::filesystem::path const& path, ObjectList& objects, CParserFile** used = nullptr)
{
    std::unique_ptr<CParserFile> parser(CParserFile::CreateParser(FileOf(path)));
    if (!parser)
        return kImportNotRecognisedErr;
    return parser->ParseFile(FileOf(path), objects.Get());
}

// A GPX 1.1 document around the given content.
inline std::string GPX11(std::string const& content)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
        + content + "</gpx>\n";
}

inline std::filesystem::path ModelData(std::string const& name)
{
    return std::filesystem::path(TW_TEST_DATA_DIR) / name;
}

} // namespace tw::test
