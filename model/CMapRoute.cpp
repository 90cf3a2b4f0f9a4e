#include "model/CMapRoute.h"

#include "foundation/CFArray.h"
#include "foundation/StMutexLock.h"
#include "foundation/Status.h"
#include "model/CMapCodingUtilities.h"
#include "model/CMapWaypoint.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr UInt32 kMaxLegs = 100000;
constexpr std::size_t kMaxPathPoints = 1000000;

std::string EncodePath(std::vector<CCoordinate> const& path)
{
    std::string text;
    text.reserve(path.size() * 24);
    for (CCoordinate const& point : path) {
        CMapCodingUtilities::AppendNumber(text, point.GetLatitude());
        text += ' ';
        CMapCodingUtilities::AppendNumber(text, point.GetLongitude());
        if (point.GetAltitude() != 0) {
            text += ' ';
            CMapCodingUtilities::AppendNumber(text, point.GetAltitude());
        }
        text += '\n';
    }
    return text;
}

// Lines of two or three numbers; false for anything else.
bool DecodePath(std::string_view text, std::vector<CCoordinate>& path)
{
    char const* cursor = text.data();
    char const* end = cursor + text.size();
    double values[3];
    int count = 0;
    auto endLine = [&]() {
        if (count == 0)
            return true;
        if (count < 2 || !CMapCodingUtilities::IsValidLatitude(values[0])
            || !CMapCodingUtilities::IsValidLongitude(values[1]) || path.size() >= kMaxPathPoints)
            return false;
        path.emplace_back(values[0], values[1], count == 3 ? values[2] : 0);
        count = 0;
        return true;
    };
    while (cursor < end) {
        char c = *cursor;
        if (c == ' ' || c == '\t' || c == '\r') {
            ++cursor;
        } else if (c == '\n') {
            ++cursor;
            if (!endLine())
                return false;
        } else {
            if (count == 3)
                return false;
            auto [next, error] = std::from_chars(cursor, end, values[count]);
            if (error != std::errc() || !std::isfinite(values[count]))
                return false;
            cursor = next;
            ++count;
        }
    }
    return endLine();
}

// One element of "Waypoints": a leg dictionary, or a bare ID as text.
OSStatus DecodeLeg(CFArray const& legs, UInt32 index, UInt32& id, RouteSegment& segment)
{
    CFDictionary leg = legs.GetValueDictionary(index);
    if (leg.GetCount() == 0) {
        CString text = legs.GetValueString(index);
        id = text.GetUInt32Value();
        return id != 0 ? noErr : paramErr;
    }
    if (!leg.HasKey(CMapRoute::kKeyLegID))
        return paramErr;
    id = leg.GetValueUInt32(CMapRoute::kKeyLegID);
    if (leg.GetValueUInt32(CMapRoute::kKeyLegStatus) != kRouteStatusRouted)
        return noErr; // only routed legs keep their path
    std::vector<CCoordinate> path;
    if (!DecodePath(leg.GetValueString(CMapRoute::kKeyLegPath).GetUTF8(), path) || path.size() < 2)
        return paramErr;
    double length = leg.GetValueFloat64(CMapRoute::kKeyLegLength);
    if (!(length >= 0))
        return paramErr;
    segment.path = std::move(path);
    for (CCoordinate const& point : segment.path)
        segment.bounds.Union(point);
    segment.length = length;
    segment.status = kRouteStatusRouted;
    return noErr;
}

} // namespace

void CMapRoute::AddWaypoint(SInt32 index, CMapWaypoint* waypoint, bool route)
{
    if (!waypoint)
        return;
    bool dropped = StopRouting();
    {
        StMutexLock lock(mLock);
        std::size_t at = index < 0 || std::size_t(index) > mSegments.size() ? mSegments.size() : std::size_t(index);
        mSegments.insert(mSegments.begin() + std::ptrdiff_t(at), RouteSegment(waypoint));
        if (at > 0)
            mSegments[at - 1].Reset();
    }
    Listen(waypoint);
    if (route || dropped)
        ScheduleRouting();
    BroadcastModified();
}

void CMapRoute::EraseWaypoint(CMapWaypoint* waypoint)
{
    if (!waypoint)
        return;
    StopRouting();
    bool found = false;
    {
        StMutexLock lock(mLock);
        for (std::size_t i = mSegments.size(); i-- > 0;) {
            if (mSegments[i].waypoint != waypoint)
                continue;
            mSegments.erase(mSegments.begin() + std::ptrdiff_t(i));
            if (i > 0)
                mSegments[i - 1].Reset();
            found = true;
        }
    }
    waypoint->RemoveListener(this);
    ScheduleRouting();
    if (found)
        BroadcastModified();
}

void CMapRoute::RemoveWaypoint(SInt32 index)
{
    CMapWaypoint* waypoint = nullptr;
    {
        StMutexLock lock(mLock);
        std::size_t count = mSegments.size();
        if (count == 0 || (index >= 0 && std::size_t(index) >= count))
            return;
    }
    StopRouting();
    {
        StMutexLock lock(mLock);
        std::size_t at = index < 0 ? mSegments.size() - 1 : std::size_t(index);
        waypoint = mSegments[at].waypoint;
        mSegments.erase(mSegments.begin() + std::ptrdiff_t(at));
        if (at > 0)
            mSegments[at - 1].Reset();
    }
    ForgetIfUnused(waypoint);
    ScheduleRouting();
    BroadcastModified();
}

bool CMapRoute::IsEmpty() const
{
    StMutexLock lock(mLock);
    return mSegments.empty() && mUnresolved.empty();
}

CCoordinateRect CMapRoute::GetBounds() const
{
    StMutexLock lock(mLock);
    CCoordinateRect bounds;
    for (RouteSegment const& segment : mSegments) {
        if (segment.waypoint)
            bounds.Union(segment.waypoint->GetPosition());
        bounds.Union(segment.bounds);
    }
    return bounds;
}

std::vector<RouteSegment> CMapRoute::GetSegments() const
{
    StMutexLock lock(mLock);
    return mSegments;
}

void CMapRoute::SetSegments(std::vector<RouteSegment> const& segments)
{
    StopRouting();
    std::vector<RouteSegment> old;
    {
        StMutexLock lock(mLock);
        old.swap(mSegments);
        for (RouteSegment const& given : segments) {
            if (!given.waypoint)
                continue;
            mSegments.push_back(RouteSegment(given.waypoint));
        }
        // A leg between the same two waypoints as before keeps the path it was routed
        // along (a moved waypoint has already reset its legs); what is given is not trusted.
        for (std::size_t i = 0; i + 1 < mSegments.size(); ++i)
            for (std::size_t j = 0; j + 1 < old.size(); ++j)
                if (old[j].waypoint == mSegments[i].waypoint && old[j + 1].waypoint == mSegments[i + 1].waypoint
                    && old[j].status != kRouteStatusUnrouted) {
                    mSegments[i] = old[j];
                    mSegments[i].serial = 0;
                    break;
                }
    }
    mUnresolved.clear();
    for (RouteSegment const& segment : mSegments)
        Listen(segment.waypoint);
    for (RouteSegment const& segment : old)
        ForgetIfUnused(segment.waypoint);
    ScheduleRouting();
    BroadcastModified();
}

std::vector<RouteSegment>& CMapRoute::LockSegments()
{
    mLock.Lock();
    return mSegments;
}

void CMapRoute::UnlockSegments() { mLock.Unlock(); }

void CMapRoute::ResolveWaypoints(std::map<UInt32, CMapObject*> const& objects)
{
    for (auto& [id, segment] : mUnresolved) {
        auto found = objects.find(id);
        auto* waypoint = found == objects.end() ? nullptr : dynamic_cast<CMapWaypoint*>(found->second);
        StMutexLock lock(mLock);
        if (!waypoint) {
            // The leg before now leads elsewhere: its stored path no longer fits.
            if (!mSegments.empty())
                mSegments.back().Reset();
            continue;
        }
        segment.waypoint = waypoint;
        mSegments.push_back(std::move(segment));
        Listen(waypoint);
    }
    mUnresolved.clear();
    {
        StMutexLock lock(mLock);
        if (!mSegments.empty())
            mSegments.back().Reset(); // the last leg leads nowhere
    }
    ScheduleRouting();
}

OSStatus CMapRoute::EncodeProperties(CFDictionary& properties) const
{
    TW_RETURN_IF_ERROR(CMapObject::EncodeProperties(properties));
    CFArray legs;
    auto write = [&legs](UInt32 id, RouteSegment const& segment) {
        CFDictionary leg;
        leg.SetValueUInt32(kKeyLegID, id);
        if (segment.status == kRouteStatusRouted && segment.path.size() >= 2) {
            leg.SetValueUInt32(kKeyLegStatus, segment.status);
            leg.SetValueFloat64(kKeyLegLength, segment.length);
            std::string path = EncodePath(segment.path);
            leg.SetValueString(kKeyLegPath, CString(path.data(), path.size(), kCFStringEncodingUTF8));
        }
        legs.AppendValueDictionary(leg);
    };
    StMutexLock lock(mLock);
    for (RouteSegment const& segment : mSegments)
        write(segment.waypoint->GetID(), segment);
    for (auto const& [id, segment] : mUnresolved)
        write(id, segment);
    properties.SetValueArray(kKeyWaypoints, legs);
    return noErr;
}

OSStatus CMapRoute::DecodeProperties(CFDictionary const& properties)
{
    TW_RETURN_IF_ERROR(CMapObject::DecodeProperties(properties));
    CFArray legs = properties.GetValueArray(kKeyWaypoints);
    if (legs.GetCount() > kMaxLegs)
        return paramErr;
    std::vector<std::pair<UInt32, RouteSegment>> unresolved;
    for (UInt32 i = 0; i < legs.GetCount(); ++i) {
        UInt32 id = 0;
        RouteSegment segment;
        TW_RETURN_IF_ERROR(DecodeLeg(legs, i, id, segment));
        unresolved.emplace_back(id, std::move(segment));
    }
    mUnresolved = std::move(unresolved);
    return noErr;
}

void CMapRoute::DoMessage(UInt32 message, void* parameter)
{
    auto* waypoint = static_cast<CMapWaypoint*>(parameter);
    if (message == kMsgWaypointMoved)
        MovedWaypoint(waypoint);
    else if (message == kMsgWaypointRemoved)
        EraseWaypoint(waypoint);
}

void CMapRoute::MovedWaypoint(CMapWaypoint const* waypoint)
{
    StopRouting();
    bool found = false;
    {
        StMutexLock lock(mLock);
        for (std::size_t i = 0; i < mSegments.size(); ++i) {
            if (mSegments[i].waypoint != waypoint)
                continue;
            mSegments[i].Reset();
            if (i > 0)
                mSegments[i - 1].Reset();
            found = true;
        }
    }
    ScheduleRouting();
    if (found)
        BroadcastNeedsDisplay();
}

void CMapRoute::Listen(CMapWaypoint* waypoint)
{
    if (!waypoint->HasListener(this))
        waypoint->AddListener(this);
}

void CMapRoute::ForgetIfUnused(CMapWaypoint* waypoint)
{
    if (!waypoint)
        return;
    StMutexLock lock(mLock);
    if (std::find(mSegments.begin(), mSegments.end(), waypoint) == mSegments.end())
        waypoint->RemoveListener(this);
}
