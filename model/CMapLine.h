#pragma once

// A straight line drawn on the map between two coordinates, stored under
// "Start" and "End".

#include "foundation/CCoordinate.h"
#include "model/CMapObject.h"

class CMapLine : public CMapObject {
public:
    static constexpr char const* kKeyStart = "Start";
    static constexpr char const* kKeyEnd = "End";

    CMapLine();

    CCoordinate GetStart() const { return mStart; }
    CCoordinate GetEnd() const { return mEnd; }
    // Each broadcasts "mmod" when the point changed.
    void SetStart(CCoordinate const& start);
    void SetEnd(CCoordinate const& end);

    OSStatus EncodeProperties(CFDictionary& properties) const override;
    OSStatus DecodeProperties(CFDictionary const& properties) override;

private:
    CCoordinate mStart;
    CCoordinate mEnd;
};
