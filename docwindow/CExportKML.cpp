#include "docwindow/CExportKML.h"

#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>

char const* const CExportKML::kDocumentFallback = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                                  "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n"
                                                  "<name>Tarnwick</name>\n<LookAt>\n"
                                                  "<longitude>%2$.6f</longitude>\n<latitude>%1$.6f</latitude>\n"
                                                  "<range>%3$lu</range>\n</LookAt>\n%4$s</Document>\n</kml>\n";

namespace {

void RemoveKMLFilesAtExit() { CExportKML::RemoveTemporaryFiles(); }

// Never destroyed, and made before its exit handler is registered: at exit the list is
// whole whatever order the static destructors and handlers run in.
struct KMLTemporaryList {
    std::mutex lock;
    std::vector<std::string> files;
};

KMLTemporaryList& KMLTemporaryFiles()
{
    static KMLTemporaryList* const list = [] {
        auto* made = new KMLTemporaryList();
        std::atexit(RemoveKMLFilesAtExit);
        return made;
    }();
    return *list;
}

std::string KMLEscape(CString const& text)
{
    std::string out;
    for (char c : text.GetStdString()) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters other than tab and line ends are not allowed in XML 1.0.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                out += c;
        }
    }
    return out;
}

void KMLCoordinate(std::string& out, CCoordinate const& coordinate)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.7f,%.7f,%.1f ", coordinate.GetLongitude(), coordinate.GetLatitude(),
        coordinate.GetAltitude());
    out += buffer;
}

void KMLPlacemark(std::string& out, CMapObject const& object, std::vector<CCoordinate> const& points)
{
    if (points.empty())
        return;
    out += "<Placemark><name>" + KMLEscape(object.GetName()) + "</name>";
    if (!object.GetDescription().IsEmpty())
        out += "<description>" + KMLEscape(object.GetDescription()) + "</description>";
    out += points.size() == 1 ? "<Point><coordinates>" : "<LineString><tessellate>1</tessellate><coordinates>";
    for (CCoordinate const& point : points)
        KMLCoordinate(out, point);
    out += points.size() == 1 ? "</coordinates></Point>" : "</coordinates></LineString>";
    out += "</Placemark>\n";
}

std::vector<CCoordinate> KMLPoints(CMapObject const& object)
{
    std::vector<CCoordinate> points;
    if (object.IsType(kMapObjectWaypoint)) {
        points.push_back(static_cast<CMapWaypoint const&>(object).GetPosition());
    } else if (object.IsType(kMapObjectRoute)) {
        // Routed legs follow their paths; others go straight from waypoint to waypoint.
        for (RouteSegment const& leg : static_cast<CMapRoute const&>(object).GetSegments()) {
            if (!leg.waypoint)
                continue;
            points.push_back(leg.waypoint->GetPosition());
            if (leg.path.size() > 2)
                points.insert(points.end(), leg.path.begin() + 1, leg.path.end() - 1);
        }
    } else if (object.IsType(kMapObjectTrack)) {
        for (CCoordinatePVT const& sample : static_cast<CMapTrack const&>(object).GetSamples())
            points.push_back(sample);
    }
    return points;
}

} // namespace

unsigned long CExportKML::GetRange(unsigned long level)
{
    return level >= 32 ? 0 : kRangeAtLevel0 >> level;
}

CString CExportKML::MakeFolders(std::vector<CMapObject*> const& objects)
{
    struct Kind {
        MapObjectType type;
        char const* name;
    };
    constexpr Kind kKinds[] = { { kMapObjectWaypoint, "Waypoints" }, { kMapObjectRoute, "Routes" },
        { kMapObjectTrack, "Tracks" } };
    std::string out;
    for (Kind const& kind : kKinds) {
        std::string placemarks;
        for (CMapObject const* object : objects)
            if (object->IsType(kind.type) && !(object->GetAttributes() & kMapObjectAttrTemporary))
                KMLPlacemark(placemarks, *object, KMLPoints(*object));
        if (!placemarks.empty())
            out += std::string("<Folder><name>") + kind.name + "</name>\n" + placemarks + "</Folder>\n";
    }
    return CString(out.c_str());
}

// Each argument read with its own type, numbered conversions never mixed with unnumbered ones.
bool CExportKML::IsDocumentFormat(CString const& text)
{
    bool numbered = false, unnumbered = false;
    for (CTextUtilities::FormatConversion const& conversion : CTextUtilities::GetFormatConversions(text.GetStdString())) {
        std::string const& c = conversion.letters;
        bool fits = false;
        switch (conversion.argument) {
        case 1:
        case 2:
            fits = c == "f" || c == "lf" || c == "g" || c == "e";
            break;
        case 3:
            fits = c == "lu" || c == "ld";
            break;
        case 4:
            fits = c == "s";
            break;
        default:
            break;
        }
        (conversion.numbered ? numbered : unnumbered) = true;
        if (!fits || (numbered && unnumbered))
            return false;
    }
    return true;
}

CString CExportKML::MakeDocument(
    CString const& format, CCoordinate const& centre, unsigned long level, std::vector<CMapObject*> const& objects)
{
    std::string const folders = MakeFolders(objects).GetStdString();
    std::string const used = IsDocumentFormat(format) ? format.GetStdString() : std::string(kDocumentFallback);
    int const size = std::snprintf(
        nullptr, 0, used.c_str(), centre.GetLatitude(), centre.GetLongitude(), GetRange(level), folders.c_str());
    if (size < 0)
        return CString();
    std::string out(std::size_t(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), used.c_str(), centre.GetLatitude(), centre.GetLongitude(), GetRange(level),
        folders.c_str());
    out.resize(std::size_t(size));
    return CString(out.c_str());
}

bool CExportKML::WriteTemporaryFile(CString const& text, CFile& file)
{
    CFile made;
    if (!CFileUtilities::CreateTemporaryFile(made, kUnknownType, kUnknownType, false))
        return false;
    std::string const path = made.GetPath() + "." + kFileExtension;
    if (std::rename(made.GetPath().c_str(), path.c_str()) != 0) {
        std::remove(made.GetPath().c_str());
        return false;
    }
    KMLTemporaryList& list = KMLTemporaryFiles();
    {
        std::lock_guard const guard(list.lock);
        list.files.push_back(path);
    }
    file = CFile(CString(path.c_str()));
    if (CFileUtilities::WriteText(file, text, kCFStringEncodingUTF8) != noErr) {
        std::remove(path.c_str());
        std::lock_guard const guard(list.lock);
        std::erase(list.files, path);
        return false;
    }
    return true;
}

void CExportKML::RemoveTemporaryFiles()
{
    KMLTemporaryList& list = KMLTemporaryFiles();
    std::lock_guard const guard(list.lock);
    for (std::string const& path : list.files)
        std::remove(path.c_str());
    list.files.clear();
}
