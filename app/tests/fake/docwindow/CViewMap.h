#pragma once

// A stand-in for the map view while the sheets are tested on their own: the
// level, the centre and the projection of a view 800 by 600 pixels.

#include "model/IMapLinkView.h"
#include "render/CMapGeometry.h"
#include "widgets/CHIView.h"

class CWindowDocument;

class CViewMap : public IMapLinkView {
public:
    explicit CViewMap(CWindowDocument* document);

    template <typename Document = CWindowDocument> Document* GetDocument() const { return mDocument; }

    unsigned long GetMapZoom() const override { return mZoom; }
    CGSize GetMapViewSize() const override { return { 800, 600 }; }
    void SetMapZoom(CHIView::ZoomType type, CGRect* rect, unsigned long level);
    CCoordinate GetMapCentre() { return mCentre; }
    void SetMapCentre(CCoordinate const& coordinate)
    {
        mCentre = coordinate;
        ++mCentreMoves;
    }
    CGPoint Project(CCoordinate const& coordinate) const { return mGeometry.Project(coordinate, mZoom); }
    CCoordinate Unproject(CGPoint const& point) const { return mGeometry.Unproject(point, mZoom); }

    int mCentreMoves = 0;

private:
    CWindowDocument* mDocument; // weak
    CMapGeometry mGeometry;
    unsigned long mZoom = 1;
    CCoordinate mCentre;
};
