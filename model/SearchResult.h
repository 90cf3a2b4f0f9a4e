#pragma once

// One place a search found: where it is, its feature class and its name.

#include "foundation/CCoordinate.h"
#include "mapdata/LayerFeature.h"

struct SearchResult {
    CCoordinate position;
    LayerFeature feature = kLayerFeatureNone;
    CString name;
};
