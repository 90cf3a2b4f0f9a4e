#pragma once

// The part of the map a document is about; the map view dims everything outside it.

#include "model/CMapShape.h"

class CMapCrop : public CMapShape {
public:
    CMapCrop()
        : CMapShape(kMapObjectCrop)
    {
    }
};
