#pragma once

// The region bar of a document window: bread crumbs naming the administrative
// areas under the middle of the map, from "World" down to the finest level the
// zoom level allows, rebuilt as the map scrolls. Choosing a crumb shows that
// area through the document, which records it in its history. Made by the
// HIObject registry; owned by its window's view tree. Main thread only.

#include "docwindow/CViewMap.h"
#include "foundation/CCoordinateRect.h"
#include "foundation/CMsgListener.h"
#include "foundation/SGBounds.h"
#include "mapdata/CMapManager.h"
#include "widgets/CBreadCrumbView.h"

#include <vector>

class CViewRegion : public CBreadCrumbView, public CMsgListener {
public:
    static constexpr char const* kClassID = "com.tarnwick.hiview.region";
    static constexpr SGBounds kBoundsWorld { -180, -90, 180, 90 };
    // The most crumbs shown at each zoom level, "World" included.
    static constexpr UInt32 kRegionCount[CViewMap::kZoomCount]
        = { 1, 1, 1, 1, 1, 1, 2, 3, 3, 3, 4, 5, 6, 6, 7, 8, 9, 1000 };
    static constexpr double kRegionMargin = 0.05; // [deg] added around the visible area

    explicit CViewRegion(HIObjectRef object);

    static OSStatus Register();
    static OSStatus Create(HIObjectRef object, CHIObject** outObject);
    static CViewRegion* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CViewRegion>(window, signature, id);
    }
    static CViewRegion* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CViewRegion>(controller, signature, id);
    }

    // The document whose map the bar follows, or none with null. The document gives its map
    // view (GetMapView) and shows a chosen area with ShowRegion(rect, record); the bar listens
    // to the map view itself, so the document need not attach it.
    template <typename Document> void SetDocument(Document* document)
    {
        if (!document) {
            Attach(nullptr, nullptr, nullptr);
            return;
        }
        Attach(document->GetMapView(), document, [](void* owner, CCoordinateRect const& region) {
            static_cast<Document*>(owner)->ShowRegion(region, true);
        });
    }
    void SetDocument(std::nullptr_t) { Attach(nullptr, nullptr, nullptr); }

    // The map view followed; null when none is attached or it has gone.
    CViewMap* GetMapView() const;
    std::vector<SGBounds> const& GetCrumbBounds() const { return mCrumbBounds; }

    // Rebuilds the crumbs for the area the map shows now.
    void SyncOrigin();
    // New titles go to the bar only when they differ from those it shows.
    void UpdateCrumbs(CStringList const& titles);
    void CrumbSelected() override;
    // The administrative layers, coarsest (countries) to finest.
    static bool LayerFilter(CRegionLayer const* layer, void* context);

    void DoMessage(UInt32 message, void* parameter) override;

private:
    using ShowRegionCall = void (*)(void* owner, CCoordinateRect const& region);
    void Attach(CViewMap* mapView, void* owner, ShowRegionCall showRegion);

    void* mDocument = nullptr; // weak: the document window, which outlives its views
    ShowRegionCall mShowRegion = nullptr;
    CViewMap* mMapView = nullptr; // weak: only used while we still listen to it
    std::vector<SGBounds> mCrumbBounds { kBoundsWorld }; // one per crumb
};
