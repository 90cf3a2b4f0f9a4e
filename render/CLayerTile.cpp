#include "render/CLayerTile.h"

#include "foundation/CTextUtilities.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CGeometryCache.h"
#include "render/CLayerRenderer.h"
#include "render/CMapStyles.h"
#include "render/CTilePainter.h"
#include "render/IMapView.h"

#include <algorithm>
#include <utility>

CLayerTile::CLayerTile(IMapView* view, CGRect const& rect)
    : mView(view)
    , mRect(CGRectStandardize(rect))
    , mLevel(view ? view->GetMapZoom() : 0)
{
}

CLayerTile::~CLayerTile()
{
    if (mView && mView->GetRenderer())
        mView->GetRenderer()->ForgetTile(this);
    SetImage(nullptr);
}

bool CLayerTile::HasImage() const
{
    std::lock_guard lock(mLock);
    return mImage != nullptr;
}

CGImageRef CLayerTile::CopyImage() const
{
    std::lock_guard lock(mLock);
    return mImage ? CGImageRetain(mImage) : nullptr;
}

void CLayerTile::SetImage(CGImageRef image)
{
    CGImageRef old;
    {
        std::lock_guard lock(mLock);
        old = std::exchange(mImage, image);
    }
    if (old)
        CGImageRelease(old);
}

void CLayerTile::DropImage()
{
    SetImage(nullptr);
    mLabels.clear();
    mHasLabels = false;
}

void CLayerTile::Draw(CGContext* context)
{
    if (!context)
        return;
    if (mView && mView->IsPrinting()) {
        Print(context);
        return;
    }
    CLayerRenderer* renderer = mView ? mView->GetRenderer() : nullptr;
    CGImageRef image = CopyImage();
    if (!image) {
        if (renderer)
            renderer->UpdateTile(this);
        DrawLoading(context);
        return;
    }
    if (renderer)
        renderer->TouchTile(this);
    HIViewDrawCGImage(context, &mRect, image);
    CGImageRelease(image);
}

void CLayerTile::DrawLoading(CGContext* context) const
{
    CGContextSaveGState(context);
    CCoreGraphicsUtilities::SetFillColour(context, CMapStyles::GetLoadingColour());
    CGContextFillRect(context, mRect);
    CCoreGraphicsUtilities::SetFillColour(context, CMapStyles::GetLoadingTextColour());
    HIThemeTextInfo info;
    info.fontID = kThemeSmallSystemFont;
    info.horizontalFlushness = kHIThemeTextHorizontalFlushCenter;
    info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
    CCoreGraphicsUtilities::DrawString(
        context, CTextUtilities::GetBundleString("ViewTileLoading"), mRect, info, false, kHIThemeOrientationNormal);
    CGContextRestoreGState(context);
}

// Straight into the printer's context, names included, through the view's footprints.
void CLayerTile::Print(CGContext* context)
{
    mPrinted.clear();
    CMapManager* manager = mView->GetMapManager();
    if (!manager)
        return;
    CTilePainter painter(*manager, CGeometryCache::GetShared());
    std::vector<CMapLabel> labels;
    painter.Paint(context, mRect, mLevel, labels);
    std::vector<CMapLabel const*> candidates;
    for (CMapLabel const& label : labels)
        candidates.push_back(&label);
    CGContextSaveGState(context);
    CGContextClipToRect(context, mRect);
    mPrinted = CLayerRenderer::PlaceLabels(*mView, std::move(candidates), mRect, context, true);
    CGContextRestoreGState(context);
}
