#pragma once

// What a place search looks for: the category of places, and the circle around a
// centre they must lie in. The find window keeps one and its search worker reads it.

#include "foundation/CCoordinate.h"

// The find window's categories; the search decides which feature classes each holds.
enum SearchCategory : UInt32 {
    kSearchCategoryAll = 0,
    kSearchCategoryAttractions = 1,
    kSearchCategoryFood = 2,
    kSearchCategoryGovernment = 3,
    kSearchCategoryLodging = 4,
    kSearchCategoryPlaces = 5,
    kSearchCategoryRecreation = 6,
    kSearchCategoryServices = 7,
    kSearchCategoryShopping = 8,
    kSearchCategoryTransport = 9,
    kSearchCategoryCount = 10,
};

struct SearchQuery {
    SearchCategory category = kSearchCategoryAll;
    CCoordinate centre;
    double radius = 0; // [m]
};
