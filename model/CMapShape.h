#pragma once

// Base of the map objects that cover a geographic rectangle: circles (the
// ellipse inscribed in the rectangle), rectangles and crop areas. Stores the
// rectangle under "Bounds".

#include "foundation/CCoordinateRect.h"
#include "model/CMapObject.h"

class CMapShape : public CMapObject {
public:
    static constexpr char const* kKeyBounds = "Bounds";

    CCoordinateRect GetBounds() const { return mBounds; }
    // Broadcasts "mmod" when the rectangle changed.
    void SetBounds(CCoordinateRect const& bounds);

    OSStatus EncodeProperties(CFDictionary& properties) const override;
    OSStatus DecodeProperties(CFDictionary const& properties) override;

protected:
    explicit CMapShape(MapObjectType type)
        : CMapObject(type)
    {
    }

private:
    CCoordinateRect mBounds;
};
