#include "devices/CDeviceTransfer.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"

#include <algorithm>
#include <memory>

namespace {

bool IsListed(CMapObject const* object, MapObjectType type)
{
    return object->IsType(type) && !(object->GetAttributes() & kMapObjectAttrTemporary);
}

UInt8 DisplayOf(GPSWaypointOptions options)
{
    switch (options) {
    case kWaypointShowSymbol:
        return CGPSWaypoint::kDisplaySymbol;
    case kWaypointShowComment:
        return CGPSWaypoint::kDisplayComment;
    default:
        return CGPSWaypoint::kDisplayName;
    }
}

GPSWaypointOptions OptionsOf(UInt8 display)
{
    switch (display) {
    case CGPSWaypoint::kDisplaySymbol:
        return kWaypointShowSymbol;
    case CGPSWaypoint::kDisplayComment:
        return kWaypointShowComment;
    default:
        return kWaypointShowName;
    }
}

} // namespace

// What a download makes: new objects the document does not hold yet, in the order they are
// to be added, and the existing objects they replace the contents of.
struct CDeviceTransfer::Received {
    std::vector<std::unique_ptr<CMapWaypoint>> waypoints;
    std::vector<std::unique_ptr<CMapRoute>> routes;
    std::vector<std::unique_ptr<CMapTrack>> tracks;
    std::vector<std::pair<CMapRoute*, std::vector<RouteSegment>>> replacedLegs; // routes of the document

    // Routes go before their waypoints, so no route hears each of its points leave.
    ~Received()
    {
        routes.clear();
        waypoints.clear();
    }
};

CGPSWaypoint CDeviceTransfer::MakeWaypoint(CMapWaypoint const& waypoint)
{
    CGPSWaypoint record;
    record.name = waypoint.GetName();
    record.comment = waypoint.GetDescription();
    record.position = waypoint.GetPosition();
    record.altitudeKnown = record.position.GetAltitude() != 0;
    record.proximity = waypoint.GetProximity();
    record.symbol = CGPSWaypoint::GetSymbolNumber(waypoint.GetSymbol());
    record.display = DisplayOf(waypoint.GetOptions());
    return record;
}

CGPSRoute CDeviceTransfer::MakeRoute(CMapRoute const& route)
{
    CGPSRoute record;
    record.name = route.GetName();
    for (RouteSegment const& segment : route.GetSegments())
        if (segment.waypoint)
            record.waypoints.push_back(MakeWaypoint(*segment.waypoint));
    return record;
}

CGPSTrack CDeviceTransfer::MakeTrack(CMapTrack const& track)
{
    CGPSTrack record;
    record.name = track.GetName();
    for (CCoordinatePVT const& sample : track.GetSamples())
        record.points.push_back({ sample, sample.GetAltitude() != 0, false });
    return record;
}

// The copies an upload sends, taken when it begins.
void CDeviceTransfer::CollectUploads()
{
    for (CMapObject const* object : mDocument->GetObjects()) {
        if ((mInfo.kinds & kTransferWaypoints) && IsListed(object, kMapObjectWaypoint))
            mWaypoints.push_back(MakeWaypoint(static_cast<CMapWaypoint const&>(*object)));
        else if ((mInfo.kinds & kTransferRoutes) && IsListed(object, kMapObjectRoute))
            mRoutes.push_back(MakeRoute(static_cast<CMapRoute const&>(*object)));
        else if ((mInfo.kinds & kTransferTracks) && IsListed(object, kMapObjectTrack))
            mTracks.push_back(MakeTrack(static_cast<CMapTrack const&>(*object)));
    }
}

// A waypoint of the document of that name (the first, ignoring case), else one this download
// made already.
CMapWaypoint* CDeviceTransfer::FindWaypoint(CString const& name, Received& received) const
{
    for (CMapObject* object : mDocument->GetObjects())
        if (IsListed(object, kMapObjectWaypoint) && object->GetName().EqualNoCase(name))
            return static_cast<CMapWaypoint*>(object);
    for (auto const& waypoint : received.waypoints)
        if (waypoint->GetName().EqualNoCase(name))
            return waypoint.get();
    return nullptr;
}

// An equal waypoint (the same name) takes the received values; otherwise a new one is made.
CMapWaypoint* CDeviceTransfer::ApplyWaypoint(CGPSWaypoint const& record, Received& received) const
{
    CMapWaypoint* waypoint = FindWaypoint(record.name, received);
    if (!waypoint) {
        received.waypoints.push_back(std::make_unique<CMapWaypoint>());
        waypoint = received.waypoints.back().get();
        waypoint->SetName(record.name);
    }
    CCoordinate position = record.position;
    if (!record.altitudeKnown)
        position.SetAltitude(0);
    waypoint->SetPosition(position);
    waypoint->SetDescription(record.comment);
    waypoint->SetProximity(record.proximity);
    waypoint->SetSymbol(CGPSWaypoint::GetSymbolCode(record.symbol));
    waypoint->SetOptions(OptionsOf(record.display));
    return waypoint;
}

void CDeviceTransfer::Apply()
{
    Received received;
    for (CGPSWaypoint const& record : mWaypoints)
        ApplyWaypoint(record, received);

    for (CGPSRoute const& record : mRoutes) {
        CMapRoute* existing = nullptr;
        for (CMapObject* object : mDocument->GetObjects())
            if (!existing && IsListed(object, kMapObjectRoute) && object->GetName().EqualNoCase(record.name))
                existing = static_cast<CMapRoute*>(object);
        std::vector<RouteSegment> legs;
        for (CGPSWaypoint const& point : record.waypoints)
            legs.emplace_back(ApplyWaypoint(point, received));
        if (existing) {
            received.replacedLegs.emplace_back(existing, std::move(legs));
            continue;
        }
        received.routes.push_back(std::make_unique<CMapRoute>());
        CMapRoute* route = received.routes.back().get();
        route->SetName(record.name);
        for (std::size_t i = 0; i < legs.size(); ++i)
            route->AddWaypoint(-1, legs[i].waypoint, i + 1 == legs.size());
    }

    for (CGPSTrack const& record : mTracks) {
        std::vector<CCoordinatePVT> samples;
        for (CGPSTrackPoint const& point : record.points)
            samples.push_back(point.sample);
        CMapTrack* existing = nullptr;
        for (CMapObject* object : mDocument->GetObjects())
            if (!existing && IsListed(object, kMapObjectTrack) && object->GetName().EqualNoCase(record.name))
                existing = static_cast<CMapTrack*>(object);
        if (existing) {
            existing->SetSamples(std::move(samples));
            continue;
        }
        received.tracks.push_back(std::make_unique<CMapTrack>());
        received.tracks.back()->SetName(record.name);
        received.tracks.back()->SetSamples(std::move(samples));
    }

    // Waypoints first, so that the routes added after them refer to the document's objects.
    // A waypoint the document refused leaves the routes that use it.
    std::vector<std::unique_ptr<CMapWaypoint>> refused;
    for (auto& waypoint : received.waypoints) {
        if (mDocument->AddObject(waypoint.get()))
            waypoint.release();
        else
            refused.push_back(std::move(waypoint));
    }
    received.waypoints.clear();
    auto isRefused = [&refused](RouteSegment const& leg) {
        return std::any_of(refused.begin(), refused.end(), [&](auto const& waypoint) { return leg == waypoint.get(); });
    };
    for (auto& [route, legs] : received.replacedLegs) {
        std::erase_if(legs, isRefused);
        route->SetSegments(legs);
    }
    for (auto& route : received.routes) {
        for (auto const& waypoint : refused)
            route->EraseWaypoint(waypoint.get());
        if (mDocument->AddObject(route.get()))
            route.release();
    }
    received.routes.clear();
    for (auto& track : received.tracks)
        if (mDocument->AddObject(track.get()))
            track.release();
}
