#pragma once

// The map of a document window: a canvas whose scrollable image is the whole
// world in Mercator at one of 18 zoom levels, drawn in 256-pixel tiles by its
// own renderer, with the canvas twins of the document's map objects above the
// tiles. It converts between coordinates and image points, picks levels for
// zoom requests, keeps the labels of tiles and objects apart, follows live
// devices and turns tool keys and the Command-wheel into commands. Made by the
// HIObject registry; owned by its window's view tree. Main thread only.

#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "docwindow/IMapDocument.h"
#include "foundation/CCoordinateRect.h"
#include "foundation/CMsgBroadcaster.h"
#include "foundation/CMsgListener.h"
#include "foundation/CTimerTask.h"
#include "mapdata/MapDataTypes.h"
#include "model/IMapLinkView.h"
#include "render/CLayerRenderer.h"
#include "render/CMapFootprints.h"
#include "render/CMapGeometry.h"
#include "render/CSparseArray.h"
#include "render/IMapView.h"
#include "widgets/CCanvasView.h"

#include <cstddef>
#include <map>
#include <vector>

class CCanvasMapObject;
class CDeviceManager;
class CMacWindow;
class CWindowDocument;

// One device marker: where the device is and where it heads.
struct DeviceState {
    CCoordinate position;
    float heading = 0; // [deg] clockwise from north
};

class CViewMap : public CCanvasView,
                 public CMsgBroadcaster,
                 public CMsgListener,
                 public CTimerTask,
                 public CBKeyValueObserver,
                 public IMapView,
                 public IMapLinkView {
public:
    static constexpr char const* kClassID = "com.tarnwick.hiview.map";
    static constexpr UInt32 kZoomMinimum = CMapGeometry::kZoomMinimum;
    static constexpr UInt32 kZoomMaximum = CMapGeometry::kZoomMaximum;
    static constexpr UInt32 kZoomCount = CMapGeometry::kZoomCount;

    // Messages the view broadcasts; only "mmou" has a parameter (CCoordinate const*).
    static constexpr UInt32 kMsgZoomChanged = 'mzoo';
    static constexpr UInt32 kMsgOriginChanged = 'momd';
    static constexpr UInt32 kMsgSizeChanged = 'msmd';
    static constexpr UInt32 kMsgMouseMoved = 'mmou';
    // Messages of the document and the device manager the view follows.
    static constexpr UInt32 kMsgObjectAdded = 'doad'; // CMapObject*
    static constexpr UInt32 kMsgObjectModified = 'domo'; // CMapObject*
    static constexpr UInt32 kMsgObjectRemoved = 'dorm'; // CMapObject*
    static constexpr UInt32 kMsgObjectsModified = 'doma';
    static constexpr UInt32 kMsgObjectsReset = 'dors';
    static constexpr UInt32 kMsgSelectionChanged = 'dsec'; // the document
    static constexpr UInt32 kMsgDeviceAdded = 'dvad'; // CDevice*
    static constexpr UInt32 kMsgDeviceRemoved = 'dvrm'; // CDevice*

    // Grid spacing by zoom level; 0: no grid.
    static constexpr double kGraticuleSteps[kZoomCount]
        = { 0, 60, 60, 30, 30, 15, 10, 10, 5, 1, 1, 1, 1, 1, 1, 1, 1, 1 }; // [deg]

    explicit CViewMap(HIObjectRef view);
    ~CViewMap() override;

    static OSStatus Register();
    static OSStatus Create(HIObjectRef object, CHIObject** outObject);
    // The map view with that control id in the window, or null when there is none or it is
    // another kind of view.
    static CViewMap* Find(CMacWindow* window, UInt32 signature, SInt32 id);
    // The application's map manager, which every map view made afterwards draws from
    // (borrowed). Until one is set, views use a manager of their own without map packs.
    static void SetMapManager(CMapManager* manager);
    // The receivers whose markers views made afterwards show (borrowed); null: none.
    static void SetDeviceManager(CDeviceManager* manager);
    static CDeviceManager* GetDeviceManager();
    static constexpr double kDeviceInterval = 1.0; // [s] between marker updates

    // The document window that holds the view, or null. It implements IMapDocument and is
    // the broadcaster of the document's messages.
    template <typename Document = CWindowDocument> Document* GetDocument() const
    {
        return static_cast<Document*>(mDocument);
    }
    template <typename Document> void SetDocument(Document* document) { AttachDocument(document, document); }
    void SetDocument(std::nullptr_t) { AttachDocument(nullptr, nullptr); }
    CViewOverlay* GetOverlay() const { return mOverlay; }

    // Zoom levels.
    unsigned long GetMapZoom() const override { return mZoomLevel; }
    bool CouldZoomMap(ZoomType type) const;
    // Picks the level for the request (rect: the image rectangle of type 2; level: the level
    // of type 3) and applies it.
    void SetMapZoom(ZoomType type, CGRect* rect, unsigned long level);
    // Applies the level, keeping the anchor's coordinate (or the centre's) in the middle.
    void AdjustZoom(ZoomType type, long level, CGPoint const* anchor);

    // Coordinates and image points at the current level.
    MapProjection GetProjection() const { return kMapProjectionMercator; }
    CMapGeometry const& GetGeometry() const { return mGeometry; }
    CGPoint Project(CCoordinate const& coordinate) const;
    CGRect Project(CCoordinateRect const& rect) const;
    CCoordinate Unproject(CGPoint const& point) const;
    CCoordinateRect Unproject(CGRect const& rect) const;
    CCoordinate GetMapCentre();
    void SetMapCentre(CCoordinate const& coordinate);
    void SetImageOrigin(CGPoint const& origin, bool notifyScroller) override;

    // The tile grid.
    CLayerTile* GetTile(unsigned long column, unsigned long row, bool create);
    std::vector<CLayerTile*> GetTilesInRect(CGRect const& rect, bool create) override;
    void CreateTiles();
    void DestroyTiles();
    std::size_t GetTileCount() const { return mTiles.GetCount(); }

    // The view link of the current centre and level, and the way back to it.
    CString GetMapURL();
    // Text that is not a view link changes nothing.
    void SetMapURL(CString const& text);

    // Labels: false for an empty rectangle or one meeting a reserved one; otherwise true,
    // reserving the rectangle when asked.
    bool AddFootprint(CGRect const& rect, bool reserve) override;
    std::vector<CGRect> const& GetFootprints() const { return mFootprints.GetRects(); }

    // The canvas twin of a map object, or null.
    CCanvasMapObject* FindCanvasObject(CMapObject* object) const;
    // The twins follow the document's objects.
    void ObjectAdded(CMapObject* object);
    void ObjectModified(CMapObject* object);
    void ObjectRemoved(CMapObject* object);
    void ObjectsModified();
    void ObjectsReset();
    void SelectionChanged();
    // Return opens the first selected object's editor; Delete removes the selected objects
    // from the document.
    void OpenSelection() override;
    void RemoveSelection() override;

    // Devices: the markers to draw, and the area they covered when last drawn.
    std::vector<DeviceState> const& GetDeviceStates() const { return mDevices; }
    CGRect GetDeviceDirtyRect() const { return mDeviceDirty; }
    // Takes the receivers' positions: markers where they are, their old and new areas
    // redrawn, and the map centred on the track's receiver or on those kept in view.
    void UpdateDevices();

    // IMapView
    CLayerRenderer* GetRenderer() override { return &mRenderer; }
    CMapManager* GetMapManager() const override { return mMapManager; }
    void InvalidateRect(CGRect const& rect) override { SetNeedsDisplay(true, &rect); }
    bool IsPrinting() const override { return CCanvasView::IsPrinting(); }
    CGRect GetVisibleImageRect() override { return GetVisibleContent(); }
    // IMapLinkView
    CGSize GetMapViewSize() const override;

    // Wheel zoom, in progress while Command is down.
    bool IsWheelZooming() const { return mWheelZoom; }
    unsigned long GetWheelZoomLevel() const { return mWheelLevel; }
    bool IsTemporaryHand() const { return mTemporaryHand; }

    OSStatus DoEventMouseWheelMoved(CCarbonEvent& event) override;
    OSStatus DoEventRawKeyDown(CCarbonEvent& event) override;
    OSStatus DoEventRawKeyUp(CCarbonEvent& event) override;
    OSStatus DoEventRawKeyModifiersChanged(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaWithin(CCarbonEvent& event) override;
    OSStatus DoEventControlBoundsChanged(CCarbonEvent& event) override;

    void DoMessage(UInt32 message, void* parameter) override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

protected:
    void DrawUnderlay(CGContextRef context) override;
    void DrawObjects(CGContextRef context) override;
    void DrawOverlay(CGContextRef context) override;
    bool GetBackground(ColourRGBA& background, ColourRGBA& frame, ColourRGBA& fill) override;
    void DoTimer() override;

private:
    void InitialiseSelf();
    void AttachDocument(IMapDocument* document, CMsgBroadcaster* broadcaster);
    void ApplyResizeOnZoom();
    bool IsGridShown() const;

    void UpdateFootprints();
    void ClearFootprints();
    void RemoveTwins();
    void DrawTiles(CGContextRef context);
    void DrawLatitude(CGContextRef context);
    void DrawLongitude(CGContextRef context);
    void DrawGraticule(CGContextRef context, bool parallels);
    void DrawDevices(CGContextRef context);
    void DrawCrop(CGContextRef context);
    void DevicesChanged();

    OSStatus SendToolCommand(UInt32 command);
    void EndWheelZoom(bool apply);

    IMapDocument* mDocument = nullptr; // weak: the document outlives its view or says it died
    CMsgBroadcaster* mDocumentBroadcaster = nullptr; // weak: the document itself
    CViewOverlay* mOverlay = nullptr; // weak: the document's overlay view
    CMapManager* mMapManager; // borrowed: the application's
    CDeviceManager* mDeviceManager = nullptr; // borrowed: the application's, which outlives its views
    bool mWheelZoom = false;
    bool mTemporaryHand = false;
    TWTool mSavedTool = kToolHand;
    unsigned long mZoomLevel = kZoomMinimum;
    unsigned long mWheelLevel = kZoomMinimum; // the level the wheel zoom has reached
    CMapGeometry mGeometry;
    CSparseArray<CLayerTile*> mTiles; // owns the tiles
    std::map<CMapObject*, CCanvasMapObject*> mCanvasObjects; // the canvas owns the twins
    CMapFootprints mFootprints; // [image px] reserved by the current pass
    std::vector<DeviceState> mDevices;
    CGRect mDeviceDirty = CGRectZero; // [image px] the markers as last drawn
    CLayerRenderer mRenderer; // last: its workers start with it and end before the rest goes
};
