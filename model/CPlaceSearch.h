#pragma once

// One search for places in the point layers of the map packs (settlements, points of
// interest, any layer of points) around the query's centre. It reads ring by ring
// outward, each ring twice as wide as the one inside it, so the nearest places come
// first and each ring's can be handed on before the wider rings are read. Made and
// used on one thread (the search worker's).

#include "foundation/SGBounds.h"
#include "model/SearchQuery.h"
#include "model/SearchResult.h"

#include <vector>

class CMapManager;
class CRegionLayer;

class CPlaceSearch {
public:
    static constexpr double kMinRingRadius = 1000; // [m] rings are not split below this
    static constexpr std::size_t kMaxRings = 6;
    static constexpr double kMaxRadius = 20037509; // [m] half the equator: the whole world

    // A query whose radius is not positive, whose centre is no place, or whose category is
    // unknown finds nothing.
    CPlaceSearch(CMapManager& mapManager, SearchQuery const& query);

    bool IsFinished() const { return mNextRing >= mRadii.size(); }
    // Replaces the results with the next ring's places, nearest first (possibly none).
    void NextRing(std::vector<SearchResult>& results);

    static SearchCategory GetFeatureCategory(LayerFeature feature); // kSearchCategoryAll: no category of its own
    static bool IsInCategory(LayerFeature feature, SearchCategory category);

private:
    struct Candidate {
        double distance; // [m] from the centre
        SearchResult result;
    };

    // Boxes covering the circle of the radius: two where it crosses the date line.
    std::vector<SGBounds> GetBoxes(double radius) const;
    void ReadLayer(CRegionLayer* layer, double inner, double outer, std::vector<Candidate>& found) const;

    CMapManager& mMapManager; // borrowed
    SearchQuery mQuery;
    std::vector<CRegionLayer*> mLayers; // point layers meeting the whole circle
    std::vector<double> mRadii; // [m] outer edge of each ring, ascending
    std::size_t mNextRing = 0;
};
