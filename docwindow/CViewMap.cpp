#include "docwindow/CViewMap.h"

#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "devices/CDeviceManager.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CMacWindow.h"
#include "framework/CWindowUtilities.h"
#include "mapdata/CMapManager.h"
#include "model/CParserURL.h"
#include "render/CGraphicsUtilities.h"
#include "render/CLayerTile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>
#include <string_view>

namespace {

constexpr EventTypeSpec kMapViewEvents[] = {
    { kEventClassControl, kEventControlBoundsChanged },
    { kEventClassMouse, kEventMouseWheelMoved },
    { 0, 0 },
};

constexpr char const* kPrefShowGrid = "ShowGrid";
constexpr char const* kPrefResizeOnZoom = "ResizeOnZoom";
// Used when the bundle's link format does not take a latitude, a longitude and a level.
constexpr char const* kViewLinkFallback = "tarnwick://view?lat=%lf&lon=%lf&zoom=%ld";

CMapManager* sMapManager = nullptr; // borrowed: the application's
CDeviceManager* sDeviceManager = nullptr; // borrowed: the application's

CMapManager* GetViewMapManager()
{
    if (sMapManager)
        return sMapManager;
    static CMapManager withoutPacks; // projection and names only: draws empty tiles
    return &withoutPacks;
}

// A printf format whose conversions are, in order, two doubles and one long (with %% as a
// percent sign): anything else would read arguments of the wrong type.
bool IsViewLinkFormat(std::string_view format)
{
    auto const isDouble = [](std::string_view c) {
        if (c.size() == 2 && c[0] == 'l')
            c.remove_prefix(1); // %lf is %f in printf
        return c.size() == 1 && std::string_view("fFeEgG").find(c[0]) != std::string_view::npos;
    };
    auto const conversions = CTextUtilities::GetFormatConversions(format);
    if (conversions.size() != 3)
        return false;
    for (std::size_t i = 0; i < 3; ++i)
        if (conversions[i].numbered)
            return false;
    return isDouble(conversions[0].letters) && isDouble(conversions[1].letters)
        && (conversions[2].letters == "ld" || conversions[2].letters == "li");
}

} // namespace

CViewMap::CViewMap(HIObjectRef view)
    : CCanvasView(view)
    , mMapManager(GetViewMapManager())
    , mGeometry(*mMapManager)
    , mRenderer(this)
{
    InitialiseSelf();
}

CViewMap::~CViewMap()
{
    // The renderer's workers must be gone before the tiles they draw into.
    DestroyTiles();
}

// The fields and the projection are set by now. 1. The window follows zooms as the
// preference says. 2. Bounds and wheel events. 3. Receivers coming and going. 4. Preference
// changes.
void CViewMap::InitialiseSelf()
{
    ApplyResizeOnZoom();
    AddEvents(kMapViewEvents);
    mDeviceManager = sDeviceManager;
    if (mDeviceManager) {
        mDeviceManager->AddListener(this);
        DevicesChanged();
    }
    CApplication* app = CApplication::GetApp();
    if (CBKeyValueStore* prefs = app ? app->GetPreferences().GetBinding() : nullptr) {
        prefs->ObserveKeyPathValue(kPrefShowGrid, this);
        prefs->ObserveKeyPathValue(kPrefResizeOnZoom, this);
    }
}

OSStatus CViewMap::Register()
{
    return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("com.tarnwick.hiview.map"), Create);
}

OSStatus CViewMap::Create(HIObjectRef object, CHIObject** outObject)
{
    *outObject = nullptr;
    auto* view = new (std::nothrow) CViewMap(object);
    if (!view)
        return memFullErr;
    if (view->GetHandlerType() == kHandlerNone)
        view->InstallHandler(static_cast<ControlRef>(reinterpret_cast<HIViewRef>(object)));
    *outObject = view;
    return noErr;
}

CViewMap* CViewMap::Find(CMacWindow* window, UInt32 signature, SInt32 id)
{
    return window ? dynamic_cast<CViewMap*>(window->FindView(signature, id)) : nullptr;
}

void CViewMap::SetMapManager(CMapManager* manager) { sMapManager = manager; }

void CViewMap::SetDeviceManager(CDeviceManager* manager) { sDeviceManager = manager; }

CDeviceManager* CViewMap::GetDeviceManager() { return sDeviceManager; }

void CViewMap::AttachDocument(IMapDocument* document, CMsgBroadcaster* broadcaster)
{
    if (mDocumentBroadcaster && mDocumentBroadcaster != broadcaster)
        mDocumentBroadcaster->RemoveListener(this);
    bool const changed = document != mDocument;
    mDocument = document;
    mDocumentBroadcaster = broadcaster;
    if (broadcaster && !broadcaster->HasListener(this))
        broadcaster->AddListener(this);
    mOverlay = document ? document->GetOverlayView() : nullptr;
    // The twins are those of the document's objects.
    if (changed)
        ObjectsReset();
}

void CViewMap::ApplyResizeOnZoom()
{
    if (CApplication::GetPrefBoolean(kPrefResizeOnZoom, false))
        SetBehaviour(kBehaviourResizeWindow, 0);
    else
        SetBehaviour(0, kBehaviourResizeWindow);
}

bool CViewMap::IsGridShown() const { return CApplication::GetPrefBoolean(kPrefShowGrid, false); }

bool CViewMap::CouldZoomMap(ZoomType type) const
{
    switch (type) {
    case kZoomIn:
    case kZoomRect:
        return mZoomLevel < kZoomMaximum;
    case kZoomOut:
        return mZoomLevel != kZoomMinimum;
    case kZoomFactor:
    case kZoomFit:
        return true;
    default:
        return false;
    }
}

// 1. In, out and to a level need no anchor. 2. A rectangle: the deepest level at which it
// still fits the visible content, anchored on its centre. 3. Fit: out until the whole image
// fits the screen, never in. 4. Apply.
void CViewMap::SetMapZoom(ZoomType type, CGRect* rect, unsigned long level)
{
    long z = long(mZoomLevel);
    CGPoint anchor {};
    CGPoint const* anchorPoint = nullptr;
    switch (type) {
    case kZoomIn:
        ++z;
        break;
    case kZoomOut:
        --z;
        break;
    case kZoomFactor:
        z = long(std::min<unsigned long>(level, kZoomMaximum));
        break;
    case kZoomRect: {
        if (!rect)
            return;
        CGRect const r = CGRectStandardize(*rect);
        anchor = CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r));
        anchorPoint = &anchor;
        CGSize const visible = GetVisibleContent().size;
        double w = r.size.width, h = r.size.height;
        if (w <= visible.width && h <= visible.height) {
            while (z < long(kZoomMaximum)) {
                w *= 2, h *= 2;
                if (!(visible.width >= w && visible.height >= h))
                    break;
                ++z;
            }
        } else {
            while (z > long(kZoomMinimum) && !(visible.width > w && visible.height > h))
                w /= 2, h /= 2, --z;
        }
        break;
    }
    case kZoomFit: {
        CGSize const whole = GetZoomContentSize(1.0f);
        CGSize const available = CWindowUtilities::GetAvailableWindowBounds(GetWindowRef()).size;
        double w = whole.width, h = whole.height;
        while (z > long(kZoomMinimum) && !(available.width > w && available.height > h))
            w /= 2, h /= 2, --z;
        break;
    }
    default:
        return;
    }
    AdjustZoom(type, z, anchorPoint);
}

// 1. The anchor's coordinate. 2. Clamp. 3. A new level rebuilds the grid (the first zoom
// makes it, whatever its level). 4. Redraw, and the window follows. 5. The anchor to the
// middle. 6. Tell.
void CViewMap::AdjustZoom(ZoomType type, long level, CGPoint const* anchor)
{
    CCoordinate centre;
    CGSize const image = GetImageSize();
    if (image.width != 0 && image.height != 0) {
        CGRect const visible = GetVisibleContent();
        centre = Unproject(anchor ? *anchor : CGPointMake(CGRectGetMidX(visible), CGRectGetMidY(visible)));
    }
    unsigned long const z = std::clamp<long>(level, kZoomMinimum, kZoomMaximum);
    bool const newLevel = z != mZoomLevel;
    if (newLevel || mTiles.GetColumnCount() == 0) {
        DestroyTiles();
        mZoomLevel = z;
        CreateTiles();
    }
    // The twins project again at the new level.
    if (newLevel)
        ObjectsModified();
    SetNeedsDisplay(true, nullptr);
    AdjustWindowForZoom(type);
    SetMapCentre(centre);
    BroadcastMessage(kMsgZoomChanged, nullptr);
}

CGPoint CViewMap::Project(CCoordinate const& coordinate) const { return mGeometry.Project(coordinate, mZoomLevel); }

CGRect CViewMap::Project(CCoordinateRect const& rect) const { return mGeometry.Project(rect, mZoomLevel); }

CCoordinate CViewMap::Unproject(CGPoint const& point) const { return mGeometry.Unproject(point, mZoomLevel); }

CCoordinateRect CViewMap::Unproject(CGRect const& rect) const { return mGeometry.Unproject(rect, mZoomLevel); }

CCoordinate CViewMap::GetMapCentre()
{
    CGRect const visible = GetVisibleContent();
    return Unproject(CGPointMake(CGRectGetMidX(visible), CGRectGetMidY(visible)));
}

void CViewMap::SetMapCentre(CCoordinate const& coordinate)
{
    CGPoint const point = Project(coordinate);
    CGSize const visible = GetVisibleContent().size;
    SetImageOrigin(CGPointMake(point.x - visible.width / 2, point.y - visible.height / 2), true);
}

// Whole pixels, so that tiles land on the device grid and never show seams.
void CViewMap::SetImageOrigin(CGPoint const& origin, bool notifyScroller)
{
    if (!std::isfinite(origin.x) || !std::isfinite(origin.y))
        return;
    CCanvasView::SetImageOrigin(CGPointMake(std::floor(origin.x), std::floor(origin.y)), notifyScroller);
    BroadcastMessage(kMsgOriginChanged, nullptr);
}

CGSize CViewMap::GetMapViewSize() const { return const_cast<CViewMap*>(this)->GetVisibleContent().size; }

CLayerTile* CViewMap::GetTile(unsigned long column, unsigned long row, bool create)
{
    if (column >= mTiles.GetColumnCount() || row >= mTiles.GetRowCount())
        return nullptr;
    if (CLayerTile* tile = mTiles.GetValue(UInt32(column), UInt32(row)); tile || !create)
        return tile;
    auto* tile = new (std::nothrow) CLayerTile(this, CMapGeometry::GetTileRect(UInt32(column), UInt32(row)));
    if (tile)
        mTiles.SetValue(UInt32(column), UInt32(row), tile);
    return tile;
}

// Row by row from the top. Nothing before the first zoom has made the grid.
std::vector<CLayerTile*> CViewMap::GetTilesInRect(CGRect const& rect, bool create)
{
    std::vector<CLayerTile*> tiles;
    if (mTiles.GetColumnCount() == 0)
        return tiles;
    CMapGeometry::TileRange const range = CMapGeometry::GetTileRange(rect, mZoomLevel);
    if (range.empty)
        return tiles;
    tiles.reserve(std::size_t(range.right - range.left + 1) * (range.bottom - range.top + 1));
    for (UInt32 row = range.top; row <= range.bottom; ++row)
        for (UInt32 column = range.left; column <= range.right; ++column)
            if (CLayerTile* tile = GetTile(column, row, create))
                tiles.push_back(tile);
    return tiles;
}

void CViewMap::CreateTiles()
{
    UInt32 const count = UInt32(CMapGeometry::GetImageSide(mZoomLevel) / CMapGeometry::kTileSide);
    mTiles.SetSize(count, count);
    SetImageSize(CGSizeMake(count * CMapGeometry::kTileSide, count * CMapGeometry::kTileSide));
    SetNeedsDisplay(true, nullptr);
}

void CViewMap::DestroyTiles()
{
    mRenderer.StopRendering();
    for (CLayerTile* tile : mTiles.GetValues())
        delete tile;
    mTiles.RemoveAll();
}

CString CViewMap::GetMapURL()
{
    CString format = CTextUtilities::GetBundleString("URLTarnwickView");
    if (!IsViewLinkFormat(format.GetStdString()))
        format = kViewLinkFallback;
    CCoordinate const centre = GetMapCentre();
    CString link;
    link.Format(format.GetUTF8(), centre.GetLatitude(), centre.GetLongitude(), long(mZoomLevel));
    return link;
}

// Values that are not finite never reach the view transform; the position is clamped to
// the world (the link reader already refuses what lies beyond it).
void CViewMap::SetMapURL(CString const& text)
{
    CCoordinate coordinate;
    unsigned long level = 0;
    if (CParserURL::ParseViewLink(text, coordinate, level) != noErr)
        return;
    double const latitude = coordinate.GetLatitude(), longitude = coordinate.GetLongitude();
    if (!std::isfinite(latitude) || !std::isfinite(longitude))
        return;
    SetMapZoom(kZoomFactor, nullptr, level);
    SetMapCentre(CCoordinate(std::clamp(latitude, -90.0, 90.0), std::clamp(longitude, -180.0, 180.0), 0));
}

bool CViewMap::AddFootprint(CGRect const& rect, bool reserve) { return mFootprints.Add(rect, reserve); }

void CViewMap::ClearFootprints() { mFootprints.Clear(); }

CCanvasMapObject* CViewMap::FindCanvasObject(CMapObject* object) const
{
    auto const found = mCanvasObjects.find(object);
    return found == mCanvasObjects.end() ? nullptr : found->second;
}
