#include "render/CThreadRenderer.h"

#include "render/CGeometryCache.h"
#include "render/CLayerRenderer.h"
#include "render/CLayerTile.h"
#include "render/CMapGeometry.h"
#include "render/CTilePainter.h"

CThreadRenderer::CThreadRenderer(CLayerRenderer& renderer, CMapManager& manager)
    : mRenderer(renderer)
    , mManager(manager)
{
}

CThreadRenderer::~CThreadRenderer() { EndTask(); }

void CThreadRenderer::DoTask()
{
    CTilePainter painter(mManager, CGeometryCache::GetShared());
    size_t const side = size_t(CMapGeometry::kTileSide);
    std::atomic<bool> const& stop = mRenderer.GetStopFlag();
    while (!ShouldStop() && !stop) {
        CLayerTile* tile = mRenderer.PopPending(this);
        if (!tile)
            break;
        // 1. The map into a bitmap whose user space is the tile's part of the image, y down.
        CGRect const rect = tile->GetRect();
        CGContextRef context = CGBitmapContextCreate(
            nullptr, side, side, 8, 0, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
        if (!context) {
            mRenderer.Abandoned(this);
            break;
        }
        CGContextTranslateCTM(context, 0, CGFloat(side));
        CGContextScaleCTM(context, 1, -1);
        CGContextTranslateCTM(context, -rect.origin.x, -rect.origin.y);
        std::vector<CMapLabel> labels;
        OSStatus status = painter.Paint(context, rect, tile->GetLevel(), labels, &stop);
        // 2. Each name drawn once into an image of its own, ready to be placed.
        for (CMapLabel& label : labels)
            if (status == noErr && !stop)
                label.RenderImage();
        CGImageRef image = status == noErr && !stop ? CGBitmapContextCreateImage(context) : nullptr;
        CGContextRelease(context);
        if (!image) {
            mRenderer.Abandoned(this);
            break;
        }
        mRenderer.Rendered(this, tile, image, std::move(labels));
        // 3. The names go to the main thread when the queue runs dry, or when they have waited long enough.
        if (mRenderer.ShouldHandOff())
            HandOff();
    }
    if (!ShouldStop() && !stop && mRenderer.ShouldHandOff())
        HandOff();
}

void CThreadRenderer::HandOff()
{
    UseMainThread();
    mRenderer.HandedOff();
}

void CThreadRenderer::DoMainTask() { mRenderer.CommitRendered(); }
