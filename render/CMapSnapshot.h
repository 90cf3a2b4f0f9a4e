#pragma once

// A map view without a window: a rectangle of the world image at one zoom
// level, drawn into a bitmap by its own renderer and workers the way the map
// view draws (tiles, then the names over them), with the main event loop run
// until every tile is in and no name moves. For the command-line map renderer,
// picture tests and benchmarks. Main thread.

#include "render/CLayerRenderer.h"
#include "render/CMapFootprints.h"
#include "render/CMapGeometry.h"
#include "render/CSparseArray.h"
#include "render/IMapView.h"

#include <string>

class CMapSnapshot : public IMapView {
public:
    // workers 0: min(processors, 4).
    CMapSnapshot(CMapManager& manager, UInt32 workers = 0);
    ~CMapSnapshot() override;

    // The view: its zoom level and its visible rectangle, centred on the coordinate.
    void SetView(CCoordinate const& centre, UInt32 level, CGSize size);
    CGRect GetVisibleRect() const { return mVisible; }
    CMapGeometry const& GetGeometry() const { return mGeometry; }

    // Draws until the picture is complete, or eventLoopTimedOutErr after the seconds given.
    OSStatus Render(double timeout = 30);
    // The last picture (null before the first); owned by the snapshot.
    CGContextRef GetBitmap() const { return mBitmap; }
    // Writes the last picture as a PNG file; ioErr when it cannot.
    OSStatus WritePNG(std::string const& path) const;
    // Draws the visible rectangle straight into the context as a printing view does.
    void Print(CGContextRef context);
    // The names the last Print placed, in the order drawn.
    std::vector<ShownMapLabel> const& GetPrintedLabels() const { return mPrinted; }

    // Drops every tile (stopping the renderer first).
    void DestroyTiles();
    UInt32 GetDrawPasses() const { return mPasses; }
    std::vector<CGRect> const& GetFootprints() const { return mFootprints.GetRects(); }

    // IMapView
    std::vector<CLayerTile*> GetTilesInRect(CGRect const& rect, bool create) override;
    bool AddFootprint(CGRect const& rect, bool reserve) override;
    unsigned long GetMapZoom() const override { return mLevel; }
    CLayerRenderer* GetRenderer() override { return &mRenderer; }
    CMapManager* GetMapManager() const override { return &mManager; }
    void InvalidateRect(CGRect const& rect) override;
    bool IsPrinting() const override { return mPrinting; }
    CGRect GetVisibleImageRect() override { return mVisible; }

private:
    void DrawPass();

    CMapManager& mManager;
    CMapGeometry mGeometry;
    UInt32 mLevel = 0;
    CGRect mVisible = CGRectZero; // [image px]
    CSparseArray<CLayerTile*> mTiles; // owns the tiles
    CMapFootprints mFootprints;
    CGRect mDirty = CGRectNull; // [image px] waiting for the next pass
    bool mPrinting = false;
    std::vector<ShownMapLabel> mPrinted;
    UInt32 mPasses = 0;
    CGContextRef mBitmap = nullptr; // owns
    CLayerRenderer mRenderer; // last: built with the view, ended first
};
