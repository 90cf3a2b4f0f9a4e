#include "docwindow/CCanvasTrack.h"

#include "model/CMapTrack.h"

namespace {

constexpr ColourRGBA kColourTrack { 0.9f, 0, 0.9f, 0.8f };

} // namespace

CCanvasTrack::CCanvasTrack()
    : CCanvasPolyline({ .width = kTrackWidth,
        .selectionWidth = kTrackSelectionWidth,
        .boundsFudge = kTrackBoundsFudge,
        .dash = kTrackDash,
        .colour = kColourTrack,
        .selectedColour = kColourSelectionFill,
        .selectionBorder = kColourSelectionFrame,
        .roundCaps = false,
        .minimumPoints = 1 })
{
}

void CCanvasTrack::ObjectModified()
{
    auto const* track = static_cast<CMapTrack const*>(GetObject());
    mSamples = track ? &track->GetSamples() : nullptr;
    PolylineModified(track ? track->GetBounds() : CCoordinateRect());
}

bool CCanvasTrack::ProjectPoints(std::vector<CGPoint>& points)
{
    if (!mSamples)
        return false;
    ProjectReduceAll(*mSamples, points);
    return true;
}
