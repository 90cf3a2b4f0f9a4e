#pragma once

// A waypoint on the map view: its symbol, 32 pixels at near levels where there
// is room, else 16, with its label below in a white outline; a symbol or label
// that finds no free place is not drawn. Temporary markers carry a halo, keep
// 32 pixels whatever lies under them and cannot be selected or moved.

#include "docwindow/CCanvasMapObject.h"
#include "foundation/CString.h"
#include "mapdata/MapDataTypes.h"

#include <optional>

class CCanvasWaypoint : public CCanvasMapObject {
public:
    static constexpr unsigned long kLargeSymbolZoom = 13; // the first level with 32-pixel symbols
    static constexpr CGFloat kLabelPadding = 8; // [px] added to the text width
    static constexpr CGFloat kLabelGap = 3; // [px] between symbol and label

    CCanvasWaypoint();
    ~CCanvasWaypoint() override;

    bool IsVisible() const override;
    ObjectHit IsHitBy(CGPoint const& point) override;
    void Draw(CGContextRef context) override;
    void ReserveFootprint() override;
    void CentreModified(CCoordinate const& centre) override;
    void ObjectModified() override;

    CGRect GetLabelRect(CGRect const& symbolRect) const;
    CString const& GetLabel() const { return mLabel; }
    SymbolSize GetSymbolSize() const { return mSymbolSize; }
    CGRect GetSymbolRect() const { return mSymbolRect; }
    CGRect GetLabelRect() const { return mLabelRect; }
    // A preview's place: the symbol of that size at the position, without label or footprint.
    void PlaceSymbol(SymbolSize size);

private:
    CGRect GetSquare(SymbolSize size) const;
    void SetPlaces(SymbolSize size, CGRect const& symbol, CGRect const& label);
    void DrawLabel(CGContextRef context) const;
    void DrawLabelText(CGContextRef context, CGRect const& rect) const;
    void SetLabel(CString const& label);
    CGSize GetLabelSize() const;
    CGImageRef GetLabelPicture();

    bool mHalo = false;
    bool mLarge = false;
    CString mLabel;
    mutable std::optional<CGSize> mLabelSize; // [px] of the text, once measured
    CGImageRef mLabelPicture = nullptr; // owns: the unselected label as drawn, made on first need
    CGPoint mPosition {}; // [image px]
    SymbolSize mSymbolSize = kSymbolSizeSmall;
    CGPoint mCentreOffset {}; // bounds centre minus position
    CGRect mSymbolRect {}; // empty until reserved
    CGRect mLabelRect {}; // empty until reserved
};
