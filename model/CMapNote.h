#pragma once

// A note pinned to a coordinate, stored under "Position"; its text is the
// object's description.

#include "foundation/CCoordinate.h"
#include "model/CMapObject.h"

class CMapNote : public CMapObject {
public:
    static constexpr char const* kKeyPosition = "Position";

    CMapNote();

    CCoordinate GetPosition() const { return mPosition; }
    // Broadcasts "mmod" when the position changed.
    void SetPosition(CCoordinate const& position);

    OSStatus EncodeProperties(CFDictionary& properties) const override;
    OSStatus DecodeProperties(CFDictionary const& properties) override;

private:
    CCoordinate mPosition;
};
