#pragma once

// One square of the map view's image: its rectangle and zoom level, the map
// image a render worker made for it, and the names anchored in it. Drawing a
// tile without its image asks the view's renderer for one and paints the
// loading background meanwhile; a printing view gets the map's vectors drawn
// straight into its context. Made and deleted on the main thread by the map
// view; its lock guards the image, which a worker sets.

#include "render/CMapLabel.h"

#include <mutex>
#include <vector>

class IMapView;

class CLayerTile {
public:
    CLayerTile(IMapView* view, CGRect const& rect);
    virtual ~CLayerTile();
    CLayerTile(CLayerTile const&) = delete;
    CLayerTile& operator=(CLayerTile const&) = delete;

    IMapView* GetView() const { return mView; }
    CGRect GetRect() const { return mRect; } // [image px]
    UInt32 GetLevel() const { return mLevel; }

    // The context's user space is the view's image coordinates (y down).
    void Draw(CGContext* context);

    // The names the last printed draw placed, in the order drawn.
    std::vector<ShownMapLabel> const& GetPrintedLabels() const { return mPrinted; }

    bool HasImage() const;
    // A new reference to the image, or null; the caller releases it.
    CGImageRef CopyImage() const;
    // Any thread: takes over the image's reference.
    void SetImage(CGImageRef image);
    // Main thread.
    void SetLabels(std::vector<CMapLabel> labels) { mLabels = std::move(labels); }
    std::vector<CMapLabel> const& GetLabels() const { return mLabels; }
    bool HasLabels() const { return mHasLabels; }
    void SetHasLabels(bool has) { mHasLabels = has; }
    // Forgets image and labels, so that the next draw asks for them again.
    void DropImage();
    // Main thread: between the renderer's queue and the commit of the labels.
    bool IsQueued() const { return mQueued; }
    void SetQueued(bool queued) { mQueued = queued; }

private:
    void DrawLoading(CGContext* context) const;
    void Print(CGContext* context);

    IMapView* mView; // weak: the view owns the tile
    CGRect mRect;
    UInt32 mLevel;
    mutable std::mutex mLock; // guards mImage
    CGImageRef mImage = nullptr; // owns
    std::vector<CMapLabel> mLabels; // main thread
    std::vector<ShownMapLabel> mPrinted; // main thread
    bool mHasLabels = false; // main thread
    bool mQueued = false; // main thread
};
