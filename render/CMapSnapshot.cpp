#include "render/CMapSnapshot.h"

#include "render/CGraphicsUtilities.h"
#include "render/CLayerTile.h"

#include <cairo.h>
#include <chrono>
#include <cmath>

CMapSnapshot::CMapSnapshot(CMapManager& manager, UInt32 workers)
    : mManager(manager)
    , mGeometry(manager)
    , mRenderer(this, workers)
{
}

CMapSnapshot::~CMapSnapshot()
{
    DestroyTiles();
    if (mBitmap)
        CGContextRelease(mBitmap);
}

void CMapSnapshot::DestroyTiles()
{
    mRenderer.StopRendering();
    for (CLayerTile* tile : mTiles.GetValues())
        delete tile;
    mTiles.RemoveAll();
}

void CMapSnapshot::SetView(CCoordinate const& centre, UInt32 level, CGSize size)
{
    level = std::min(level, CMapGeometry::kZoomMaximum);
    if (level != mLevel || mTiles.GetColumnCount() == 0) {
        DestroyTiles();
        mLevel = level;
        UInt32 const count = UInt32(CMapGeometry::GetImageSide(level) / CMapGeometry::kTileSide);
        mTiles.SetSize(count, count);
    }
    CGPoint const middle = mGeometry.Project(centre, mLevel);
    mVisible = CGRectMake(std::floor(middle.x - size.width / 2), std::floor(middle.y - size.height / 2),
        std::round(size.width), std::round(size.height));
    if (mBitmap)
        CGContextRelease(mBitmap);
    mBitmap = CGBitmapContextCreate(nullptr, size_t(mVisible.size.width), size_t(mVisible.size.height), 8, 0, nullptr,
        kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    mDirty = mVisible;
}

std::vector<CLayerTile*> CMapSnapshot::GetTilesInRect(CGRect const& rect, bool create)
{
    std::vector<CLayerTile*> tiles;
    CMapGeometry::TileRange const range = CMapGeometry::GetTileRange(rect, mLevel);
    if (range.empty)
        return tiles;
    for (UInt32 row = range.top; row <= range.bottom; ++row)
        for (UInt32 column = range.left; column <= range.right; ++column) {
            CLayerTile* tile = mTiles.GetValue(column, row);
            if (!tile && create) {
                tile = new CLayerTile(this, CMapGeometry::GetTileRect(column, row));
                mTiles.SetValue(column, row, tile);
            }
            if (tile)
                tiles.push_back(tile);
        }
    return tiles;
}

bool CMapSnapshot::AddFootprint(CGRect const& rect, bool reserve) { return mFootprints.Add(rect, reserve); }

void CMapSnapshot::InvalidateRect(CGRect const& rect)
{
    CGRect const visible = CGRectIntersection(rect, mVisible);
    if (!CGRectIsNull(visible) && !CGRectIsEmpty(visible))
        mDirty = CGRectUnion(mDirty, visible);
}

// One draw pass as the map view makes it: footprints reset, the tiles, then the names.
void CMapSnapshot::DrawPass()
{
    CGRect const dirty = mDirty;
    mDirty = CGRectNull;
    ++mPasses;
    mFootprints.Clear();
    CGContextSaveGState(mBitmap);
    CGContextTranslateCTM(mBitmap, 0, mVisible.size.height);
    CGContextScaleCTM(mBitmap, 1, -1);
    CGContextTranslateCTM(mBitmap, -mVisible.origin.x, -mVisible.origin.y);
    CGContextClipToRect(mBitmap, CGRectIntegral(dirty));
    for (CLayerTile* tile : GetTilesInRect(mVisible, true))
        tile->Draw(mBitmap);
    mRenderer.DrawLabels(mBitmap, mVisible);
    CGContextRestoreGState(mBitmap);
}

OSStatus CMapSnapshot::Render(double timeout)
{
    if (!mBitmap)
        return paramErr;
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout);
    for (;;) {
        if (!CGRectIsNull(mDirty))
            DrawPass();
        if (CGRectIsNull(mDirty) && !mRenderer.IsRendering())
            return noErr;
        if (std::chrono::steady_clock::now() > deadline)
            return eventLoopTimedOutErr;
        RunCurrentEventLoop(0.005);
    }
}

void CMapSnapshot::Print(CGContextRef context)
{
    mFootprints.Clear();
    mPrinting = true;
    CLayerTile page(this, mVisible);
    page.Draw(context);
    mPrinted = page.GetPrintedLabels();
    mPrinting = false;
}

OSStatus CMapSnapshot::WritePNG(std::string const& path) const
{
    if (!mBitmap)
        return paramErr;
    cairo_surface_t* surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(CGBitmapContextGetData(mBitmap)),
        CAIRO_FORMAT_ARGB32, int(CGBitmapContextGetWidth(mBitmap)), int(CGBitmapContextGetHeight(mBitmap)),
        int(CGBitmapContextGetBytesPerRow(mBitmap)));
    cairo_status_t const status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    return status == CAIRO_STATUS_SUCCESS ? noErr : ioErr;
}
