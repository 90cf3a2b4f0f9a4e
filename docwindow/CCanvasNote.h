#pragma once

// A note on the map view: the note picture centred on its position, 32 pixels
// where there is room, else 16, else not drawn (a higher object took its place).

#include "docwindow/CCanvasMapObject.h"
#include "mapdata/MapDataTypes.h"

class CCanvasNote : public CCanvasMapObject {
public:
    CCanvasNote();
    ~CCanvasNote() override;

    bool IsVisible() const override;
    void Draw(CGContextRef context) override;
    void ReserveFootprint() override;
    void CentreModified(CCoordinate const& centre) override;
    void ObjectModified() override;

    // The square of the side centred on the position, one pixel larger on every side.
    CGRect GetSymbolRect(SymbolSize size) const;
    SymbolSize GetSymbolSize() const { return mSymbolSize; }
    // A preview's place: the symbol of that size at the position, without asking for room.
    void PlaceSymbol(SymbolSize size);

private:
    void SetSymbol(SymbolSize size, CGRect const& rect);

    CGImageRef mImage = nullptr; // retains: one picture shared by every note
    CGPoint mPosition {}; // [image px]
    SymbolSize mSymbolSize = kSymbolSizeSmall;
    CGRect mSymbolRect {}; // empty until reserved
};
