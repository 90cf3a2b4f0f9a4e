#pragma once

// How the map looks: one table of styles, one row per layer category and
// feature class, read by the tile painter. The rows are data in
// CMapStyles.cpp; nothing else in the renderer holds a colour or a width.
// Immutable; any thread.

#include "foundation/ColourRGBA.h"
#include "mapdata/LayerFeature.h"

#include <array>

// A value that changes with the zoom level: linear between the stops, held beyond the ends.
struct ZoomStop {
    float zoom;
    float value;
};
using ZoomRamp = std::array<ZoomStop, 4>; // ascending zoom

float EvaluateRamp(ZoomRamp const& ramp, float zoom);

enum class LabelKind : UInt8 {
    kNone,
    kPoint, // beside the shape's point
    kLine, // along the line, upright
    kArea, // at the area's label point, when the area is wide enough
};

enum class MarkerKind : UInt8 {
    kNone,
    kDot, // a settlement
    kCapital, // a ringed dot
    kAirport,
};

struct LabelStyle {
    LabelKind kind = LabelKind::kNone;
    UInt32 minZoom = 0;
    UInt32 maxZoom = 17;
    ZoomRamp size {}; // [px] text height
    bool bold = false;
    bool italic = false;
    bool upper = false; // set in capitals
    UInt32 tracking = 0; // hair spaces between letters
    ColourRGBA colour;
    ColourRGBA halo;
    float haloWidth = 0; // [px] each side of the glyphs
    float priority = 0; // higher wins space first
    UInt32 firstBelowZoom = 0; // below this level these names win space before every other kind
};

struct MapStyle {
    LayerCategory category = kLayerCategoryNone;
    LayerFeature feature = kLayerFeatureNone; // none: every feature of the category
    SInt32 order = 0; // drawing order, low first
    UInt32 minZoom = 0;
    UInt32 maxZoom = 17;
    ColourRGBA fill; // areas; alpha 0 draws none
    ColourRGBA stroke; // lines and outlines
    ZoomRamp width {}; // [px] of the stroke
    std::array<float, 2> dash {}; // [px] on and off; 0 draws solid
    ColourRGBA casing; // drawn under the stroke, wider
    ZoomRamp casingWidth {}; // [px]
    SInt32 casingOrder = 0;
    bool bordersOnly = false; // administrative areas: only the borders they share, not their coasts
    MarkerKind marker = MarkerKind::kNone;
    ZoomRamp markerSize {}; // [px] diameter
    LabelStyle label;
};

class CMapStyles {
public:
    // The row for the feature in the category (the category's catch-all row when the feature
    // has none of its own); null when the category is not drawn.
    static MapStyle const* Find(LayerCategory category, LayerFeature feature);
    // The lowest and highest zoom at which any row of the category draws.
    static bool IsCategoryVisible(LayerCategory category, UInt32 zoom);

    static ColourRGBA GetSeaColour(); // the background: everything not land is sea
    static ColourRGBA GetLoadingColour(); // a tile waiting for its image
    static ColourRGBA GetLoadingTextColour();
    // The smallest population whose places are named at the zoom level (capitals from
    // GetCapitalZoom on).
    static double GetPlacePopulation(UInt32 zoom);
    static UInt32 GetCapitalZoom();
};
