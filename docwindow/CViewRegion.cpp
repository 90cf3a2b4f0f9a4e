#include "docwindow/CViewRegion.h"

#include "foundation/CTextUtilities.h"
#include "mapdata/CRegionLayer.h"
#include "mapdata/CShapeFile.h"
#include "mapdata/LayerFeature.h"
#include "widgets/CControl_Templates.h"

#include <algorithm>
#include <limits>

namespace {

// Even-odd over every ring, so that holes and islands count as they should.
bool RegionShapeContains(SGShape const& shape, double x, double y)
{
    bool inside = false;
    for (UInt32 part = 0; part < shape.GetPartCount(); ++part) {
        UInt32 const end = shape.GetPartEnd(part);
        for (UInt32 i = shape.parts[part], j = end - 1; i < end; j = i++) {
            SGPoint const& a = shape.points[i];
            SGPoint const& b = shape.points[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
    }
    return inside;
}

// The squared distance from the point to the shape's nearest vertex inside the box; infinite
// when none is inside.
double RegionShapeDistance(SGShape const& shape, SGBounds const& box, double x, double y)
{
    double nearest = std::numeric_limits<double>::infinity();
    for (SGPoint const& p : shape.points)
        if (p.x >= box.xmin && p.x <= box.xmax && p.y >= box.ymin && p.y <= box.ymax)
            nearest = std::min(nearest, (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y));
    return nearest;
}

// Whether the point may lie in a shape of these bounds: a whisker of slack over the bounds,
// as the crossing test's rounding may reach a hair past them.
bool RegionBoundsMayContain(SGBounds const& bounds, double x, double y)
{
    constexpr double kSlack = 1e-9; // [deg]
    return x >= bounds.xmin - kSlack && x <= bounds.xmax + kSlack && y >= bounds.ymin - kSlack
        && y <= bounds.ymax + kSlack;
}

// The least RegionShapeDistance a shape of these bounds can have: to the part of its bounds
// inside the box; infinite when none is. Never more than the distance itself, even rounded.
double RegionBoundsDistance(SGBounds const& bounds, SGBounds const& box, double x, double y)
{
    double const xmin = std::max(bounds.xmin, box.xmin), xmax = std::min(bounds.xmax, box.xmax);
    double const ymin = std::max(bounds.ymin, box.ymin), ymax = std::min(bounds.ymax, box.ymax);
    if (!(xmin <= xmax && ymin <= ymax))
        return std::numeric_limits<double>::infinity();
    double const dx = x < xmin ? xmin - x : x > xmax ? x - xmax : 0;
    double const dy = y < ymin ? ymin - y : y > ymax ? y - ymax : 0;
    return dx * dx + dy * dy;
}

} // namespace

CViewRegion::CViewRegion(HIObjectRef object)
    : CBreadCrumbView(object)
{
    SetCrumbs(CStringList { CTextUtilities::GetBundleString("ViewRegionWorld") });
}

OSStatus CViewRegion::Register()
{
    return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("com.tarnwick.hiview.region"), Create);
}

OSStatus CViewRegion::Create(HIObjectRef object, CHIObject** outObject) { return Make<CViewRegion>(object, outObject); }

// A map view that went before us has let go of its listeners; its address is then never used.
CViewMap* CViewRegion::GetMapView() const
{
    return mMapView && IsListeningTo(mMapView) ? mMapView : nullptr;
}

void CViewRegion::Attach(CViewMap* mapView, void* owner, ShowRegionCall showRegion)
{
    if (CViewMap* old = GetMapView())
        old->RemoveListener(this);
    mDocument = owner;
    mShowRegion = showRegion;
    mMapView = mapView;
    if (mMapView)
        mMapView->AddListener(this);
    SyncOrigin();
}

bool CViewRegion::LayerFilter(CRegionLayer const* layer, void*) { return IsAdminCategory(layer->GetCategory()); }

// World first; then, per administrative level from the coarsest, the first named area whose
// name differs from the crumb before it: the one holding the view's middle, or else (the middle
// is over water) the one whose outline comes nearest to the middle inside the view. Bounds alone would name a country whose bounds span the
// globe (one with islands on both sides of the date line) everywhere. Cut to what the zoom
// level allows.
void CViewRegion::SyncOrigin()
{
    CStringList titles { CTextUtilities::GetBundleString("ViewRegionWorld") };
    std::vector<SGBounds> bounds { kBoundsWorld };
    CViewMap* map = GetMapView();
    if (map && map->GetImageSize().width > 0 && map->GetMapManager()) {
        CCoordinateRect area = map->Unproject(map->GetVisibleContent());
        area.Inset(-kRegionMargin, -kRegionMargin);
        SGBounds const box = area.GetSGBounds();
        std::vector<CRegionLayer*> layers = map->GetMapManager()->GetRegionLayers(area, &LayerFilter, this);
        std::stable_sort(layers.begin(), layers.end(),
            [](CRegionLayer const* a, CRegionLayer const* b) { return a->GetCategory() < b->GetCategory(); });
        CCoordinate const middle = area.GetCentre();
        for (CRegionLayer* layer : layers) {
            UInt32 reaching = 0;
            CString reachingName;
            double reachingDistance = std::numeric_limits<double>::infinity();
            bool found = false;
            for (UInt32 const id : layer->GetShapes(box)) {
                // Most shapes in a wide view can neither hold the middle nor come nearer than
                // one already seen: passed over on their bounds, without reading them.
                SGBounds shapeBounds;
                if (layer->GetShapeFile().GetShapeBounds(id, shapeBounds)
                    && !RegionBoundsMayContain(shapeBounds, middle.GetLongitude(), middle.GetLatitude())
                    && !(RegionBoundsDistance(shapeBounds, box, middle.GetLongitude(), middle.GetLatitude())
                        < reachingDistance))
                    continue;
                CString const name = layer->GetAttributeString(id, 0, true);
                SGShape shape;
                if (name.IsEmpty() || name == titles[titles.GetCount() - 1]
                    || layer->GetShapeFile().GetShape(id, shape) != noErr || shape.type != kSGShapePolygon)
                    continue;
                if (RegionShapeContains(shape, middle.GetLongitude(), middle.GetLatitude())) {
                    titles.Append(name);
                    bounds.push_back(shape.bounds);
                    found = true;
                    break;
                }
                double const distance = RegionShapeDistance(shape, box, middle.GetLongitude(), middle.GetLatitude());
                if (distance < reachingDistance) {
                    reaching = id;
                    reachingName = name;
                    reachingDistance = distance;
                }
            }
            if (!found && !reachingName.IsEmpty()) {
                titles.Append(reachingName);
                bounds.push_back(layer->GetShapeFile().GetShapeBounds(reaching));
            }
        }
        UInt32 const level = UInt32(std::min<unsigned long>(map->GetMapZoom(), CViewMap::kZoomMaximum));
        std::size_t const most = kRegionCount[level];
        if (bounds.size() > most) {
            bounds.resize(most);
            titles.resize(most);
        }
    }
    mCrumbBounds = std::move(bounds);
    UpdateCrumbs(titles);
}

void CViewRegion::UpdateCrumbs(CStringList const& titles)
{
    CStringList const current = GetCrumbs();
    bool same = current.GetCount() == titles.GetCount();
    for (std::size_t i = 0; same && i < titles.GetCount(); ++i)
        same = current[i] == titles[i];
    if (!same)
        SetCrumbs(titles);
}

void CViewRegion::CrumbSelected()
{
    long const index = GetCurrentValue();
    if (!mShowRegion || index < 0 || std::size_t(index) >= mCrumbBounds.size())
        return;
    mShowRegion(mDocument, CCoordinateRect(mCrumbBounds[std::size_t(index)]));
}

void CViewRegion::DoMessage(UInt32 message, void*)
{
    if (message == CViewMap::kMsgOriginChanged)
        SyncOrigin();
}
