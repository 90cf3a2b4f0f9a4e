#include "model/CParserLoc.h"

#include "model/CImportTextUtilities.h"
#include "model/CMapWaypoint.h"
#include "model/CSymbolNameUtilities.h"

#include <atomic>
#include <memory>

namespace {

enum class Field : UInt8 { None, Name, Type, Link };

class CLocReader : public CXMLStreamReader {
public:
    std::vector<std::unique_ptr<CMapWaypoint>> mWaypoints;

protected:
    void StartElement(std::string_view uri, std::string_view localName, char const** attributes) override;
    void EndElement(std::string_view uri, std::string_view localName) override;

private:
    void EndWaypoint();

    UInt32 mWaypointDepth = 0; // of the open "waypoint" element; 0 outside one
    Field mField = Field::None;
    bool mHasCoordinate = false;
    double mLatitude = 0;
    double mLongitude = 0;
    std::string mID;
    std::string mName;
    std::string mType;
    std::string mLink;
};

void CLocReader::StartElement(std::string_view uri, std::string_view localName, char const** attributes)
{
    UInt32 depth = GetDepth();
    if (depth == 1) {
        if (!CParserLoc::IsRootElement(uri, localName))
            Fail(kImportNotRecognisedErr);
        return;
    }
    if (depth == 2) {
        if (localName != "waypoint")
            return;
        mWaypointDepth = depth;
        mHasCoordinate = false;
        mID.clear();
        mName.clear();
        mType.clear();
        mLink.clear();
        return;
    }
    if (mWaypointDepth == 0 || depth != mWaypointDepth + 1)
        return;
    if (localName == "coord") {
        if (!CImportTextUtilities::ReadCoordinate(attributes, "lat", "lon", mLatitude, mLongitude)) {
            Fail(kImportValueErr);
            return;
        }
        mHasCoordinate = true;
    } else if (localName == "name") {
        if (char const* id = FindAttribute(attributes, "id"))
            mID = CImportTextUtilities::Trim(id);
        mField = Field::Name;
        BeginText();
    } else if (localName == "type") {
        mField = Field::Type;
        BeginText();
    } else if (localName == "link") {
        mField = Field::Link;
        BeginText();
    }
}

void CLocReader::EndElement(std::string_view, std::string_view localName)
{
    UInt32 depth = GetDepth();
    if (mWaypointDepth != 0 && depth == mWaypointDepth) {
        EndWaypoint();
        mWaypointDepth = 0;
        return;
    }
    if (mWaypointDepth == 0 || depth != mWaypointDepth + 1 || mField == Field::None)
        return;
    std::string_view text = CImportTextUtilities::Trim(GetText());
    switch (std::exchange(mField, Field::None)) {
    case Field::Name:
        mName = text;
        break;
    case Field::Type:
        mType = text;
        break;
    case Field::Link:
        mLink = text;
        break;
    case Field::None:
        break;
    }
}

void CLocReader::EndWaypoint()
{
    if (!mHasCoordinate) {
        Fail(kImportValueErr);
        return;
    }
    if (mWaypoints.size() >= CParserLoc::GetMaxWaypoints()) {
        Fail(kImportObjectCountErr);
        return;
    }
    auto waypoint = std::make_unique<CMapWaypoint>();
    waypoint->SetPosition(CCoordinate(mLatitude, mLongitude));
    waypoint->SetName(CImportTextUtilities::MakeString(mID.empty() ? mName : mID));
    if (!mID.empty())
        waypoint->SetDescription(CImportTextUtilities::MakeString(mName));
    waypoint->SetURL(CImportTextUtilities::MakeString(mLink));
    if (!mType.empty())
        waypoint->SetSymbol(CSymbolNameUtilities::GetSymbol(mType));
    mWaypoints.push_back(std::move(waypoint));
}

} // namespace

namespace {
std::atomic<std::size_t> sMaxWaypoints { CParserLoc::kMaxWaypoints };
}

std::size_t CParserLoc::GetMaxWaypoints() { return sMaxWaypoints.load(std::memory_order_relaxed); }

void CParserLoc::SetMaxWaypointsForTesting(std::size_t limit)
{
    sMaxWaypoints.store(limit != 0 ? limit : kMaxWaypoints, std::memory_order_relaxed);
}

bool CParserLoc::IsRootElement(std::string_view, std::string_view localName) { return localName == "loc"; }

bool CParserLoc::CanParse(CFile const& file) const
{
    std::string uri, root;
    return CXMLStreamReader::ReadRootElement(file, uri, root) == noErr && IsRootElement(uri, root);
}

OSStatus CParserLoc::ParseFile(CFile const& file, std::vector<CMapObject*>& objects)
{
    CLocReader reader;
    reader.SetMonitor(mMonitor);
    OSStatus status = reader.ReadFile(file);
    NoteError(reader);
    // Bytes that never made an element are no LOC file, whatever its name.
    if ((status == noErr || status == kImportMalformedErr) && !reader.HasRoot())
        return kImportNotRecognisedErr;
    if (status != noErr)
        return status;
    objects.reserve(objects.size() + reader.mWaypoints.size());
    for (auto& waypoint : reader.mWaypoints)
        objects.push_back(waypoint.release());
    return noErr;
}
