#include "render/CMapStyles.h"

#include <algorithm>
#include <cmath>

namespace {

// 0xRRGGBB
constexpr ColourRGBA Hex(UInt32 rgb, float alpha = 1)
{
    return { float((rgb >> 16) & 0xFF) / 255, float((rgb >> 8) & 0xFF) / 255, float(rgb & 0xFF) / 255, alpha };
}

constexpr ZoomRamp Ramp(float z0, float v0, float z1, float v1, float z2, float v2, float z3, float v3)
{
    return { { { z0, v0 }, { z1, v1 }, { z2, v2 }, { z3, v3 } } };
}
constexpr ZoomRamp Fixed(float value) { return Ramp(0, value, 1, value, 2, value, 3, value); }

// The palette: pale sea, warm paper land, muted purple borders, soft road colours.
constexpr ColourRGBA kSea = Hex(0xBCD5E6);
constexpr ColourRGBA kLand = Hex(0xF3F0E8);
constexpr ColourRGBA kCoast = Hex(0x86A6BF);
constexpr ColourRGBA kRiver = Hex(0x9BBBD3);
constexpr ColourRGBA kBorder = Hex(0x8C6E92);
constexpr ColourRGBA kHalo = Hex(0xF8F6F0, 0.9f);
constexpr ColourRGBA kPlaceText = Hex(0x2E2C2B);
constexpr ColourRGBA kWaterText = Hex(0x4A6F91);
constexpr ColourRGBA kRoadText = Hex(0x3C3A38);

constexpr LabelStyle kNoLabel {};

constexpr LabelStyle RoadLabel(UInt32 minZoom, float priority)
{
    return { LabelKind::kLine, minZoom, 17, Ramp(13, 10, 15, 10.5f, 16, 11, 17, 12), false, false, false, 0,
        kRoadText, Hex(0xFFFFFF, 0.9f), 2, priority };
}

constexpr LabelStyle PlaceLabel(UInt32 minZoom, ZoomRamp size, bool bold, float priority)
{
    return { LabelKind::kPoint, minZoom, 17, size, bold, false, false, 0, kPlaceText, kHalo, 2, priority };
}

// A road class: its stroke over a darker casing, both widening with the zoom.
constexpr MapStyle Road(LayerFeature feature, SInt32 rank, UInt32 minZoom, UInt32 rgb, UInt32 casingRgb,
    ZoomRamp width, ZoomRamp casingWidth, LabelStyle label)
{
    MapStyle style {};
    style.category = kLayerCategoryRoad;
    style.feature = feature;
    style.order = 520 + rank;
    style.minZoom = minZoom;
    style.stroke = Hex(rgb);
    style.width = width;
    style.casing = Hex(casingRgb);
    style.casingWidth = casingWidth;
    style.casingOrder = 500 + rank;
    style.label = label;
    return style;
}

// An administrative level: coarser levels darker, wider and drawn over finer ones.
constexpr MapStyle Admin(UInt32 level, UInt32 minZoom, ColourRGBA stroke, ZoomRamp width, std::array<float, 2> dash,
    ColourRGBA band, ZoomRamp bandWidth, LabelStyle label)
{
    MapStyle style {};
    style.category = kLayerCategoryAdminLevel0 + level;
    style.order = 390 - SInt32(level) * 2;
    style.minZoom = minZoom;
    style.stroke = stroke;
    style.width = width;
    style.dash = dash;
    style.casing = band;
    style.casingWidth = bandWidth;
    style.casingOrder = 300 - SInt32(level) * 2;
    style.bordersOnly = true;
    style.label = label;
    return style;
}

constexpr MapStyle Area(LayerCategory category, LayerFeature feature, SInt32 order, UInt32 minZoom, ColourRGBA fill,
    ColourRGBA stroke, ZoomRamp width, LabelStyle label = kNoLabel)
{
    MapStyle style {};
    style.category = category;
    style.feature = feature;
    style.order = order;
    style.minZoom = minZoom;
    style.fill = fill;
    style.stroke = stroke;
    style.width = width;
    style.label = label;
    return style;
}

constexpr MapStyle Line(LayerCategory category, LayerFeature feature, SInt32 order, UInt32 minZoom, ColourRGBA stroke,
    ZoomRamp width, std::array<float, 2> dash = {}, LabelStyle label = kNoLabel)
{
    MapStyle style {};
    style.category = category;
    style.feature = feature;
    style.order = order;
    style.minZoom = minZoom;
    style.stroke = stroke;
    style.width = width;
    style.dash = dash;
    style.label = label;
    return style;
}

constexpr MapStyle Place(LayerCategory category, LayerFeature feature, UInt32 minZoom, MarkerKind marker,
    ZoomRamp markerSize, LabelStyle label)
{
    MapStyle style {};
    style.category = category;
    style.feature = feature;
    style.order = 700;
    style.minZoom = minZoom;
    style.fill = Hex(0xFFFFFF);
    style.stroke = Hex(0x4A4643);
    style.width = Fixed(1);
    style.marker = marker;
    style.markerSize = markerSize;
    style.label = label;
    return style;
}

// Coarse world data (rivers, provinces) stops where it would stray visibly from the ground.
constexpr MapStyle Until(MapStyle style, UInt32 maxZoom)
{
    style.maxZoom = maxZoom;
    return style;
}

constexpr LabelStyle kCountryLabel { LabelKind::kArea, 2, 6, Ramp(2, 10, 3, 11, 5, 13, 6, 14), true, false, true, 1,
    Hex(0x6E5775), Hex(0xF3F0E8, 0.8f), 1.5f, 50, 5 };
constexpr LabelStyle kStateLabel { LabelKind::kArea, 5, 9, Ramp(5, 9.5f, 7, 10.5f, 9, 11.5f, 17, 11.5f), false, true,
    false, 0, Hex(0x857A88), Hex(0xF3F0E8, 0.8f), 1.5f, 5 };
constexpr LabelStyle kWaterLabel { LabelKind::kArea, 10, 17, Ramp(10, 10, 13, 11, 15, 12, 17, 13), false, true, false,
    0, kWaterText, Hex(0xBCD5E6, 0.7f), 1.5f, 8 };
constexpr LabelStyle kAirportLabel { LabelKind::kPoint, 10, 17, Fixed(10), false, false, false, 0, Hex(0x5B4E6E),
    kHalo, 2, 12 };

constexpr UInt32 kLandDetailZoom = 6; // the detailed coast from here on, the generalised one before
constexpr UInt32 kRiverDetailZoom = 7; // the same for rivers
constexpr UInt32 kRiverDetailLastZoom = 12; // closer, their lines stray from the streets and shores

constexpr std::array kStyles = {
    // Areas: land with its coastline, land use, water with its shore.
    Area(kLayerCategoryLand, kLayerFeatureNone, 100, 0, kLand, kCoast, Ramp(0, 0.5f, 5, 0.7f, 9, 1, 14, 1.4f)),
    Until(Area(kLayerCategoryLand, kLayerFeatureLandOverview, 100, 0, kLand, kCoast,
              Ramp(0, 0.5f, 5, 0.7f, 9, 1, 14, 1.4f)),
        kLandDetailZoom - 1),
    Area(kLayerCategoryLand, kLayerFeatureLandDetail, 100, kLandDetailZoom, kLand, kCoast,
        Ramp(0, 0.5f, 5, 0.7f, 9, 1, 14, 1.4f)),
    Area(kLayerCategoryLandUse, kLayerFeatureNone, 110, 10, Hex(0xE6EBD6), Hex(0xD5DCC0), Fixed(0.5f)),
    Area(kLayerCategoryWaterArea, kLayerFeatureNone, 200, 2, kSea, kCoast, Ramp(2, 0.3f, 6, 0.6f, 10, 0.9f, 14, 1.2f),
        kWaterLabel),
    Until(Line(kLayerCategoryRiver, kLayerFeatureNone, 210, 3, kRiver, Ramp(3, 0.4f, 6, 0.8f, 10, 1.6f, 14, 3)), 9),
    Until(
        Line(kLayerCategoryRiver, kLayerFeatureRiverOverview, 210, 3, kRiver, Ramp(3, 0.4f, 6, 0.8f, 10, 1.6f, 14, 3)),
        kRiverDetailZoom - 1),
    Until(Line(kLayerCategoryRiver, kLayerFeatureRiverDetail, 210, kRiverDetailZoom, kRiver,
              Ramp(3, 0.4f, 6, 0.8f, 10, 1.6f, 14, 3)),
        kRiverDetailLastZoom),

    // Borders, countries first; the band under a country border widens as the map nears.
    Admin(0, 1, kBorder, Ramp(1, 0.6f, 4, 0.9f, 8, 1.5f, 12, 2.2f), {}, Hex(0xA57FAE, 0.22f),
        Ramp(3, 0, 5, 3, 8, 6, 12, 8), kCountryLabel),
    Until(Admin(1, 5, Hex(0x9C8AA3, 0.7f), Ramp(5, 0.4f, 7, 0.6f, 9, 0.9f, 14, 1.3f), {}, {}, Fixed(0), kStateLabel), 9),
    Admin(2, 6, Hex(0xA797AC, 0.8f), Ramp(6, 0.4f, 10, 0.8f, 14, 1.1f, 17, 1.3f), { 4, 2 }, {}, Fixed(0), kNoLabel),
    Admin(3, 8, Hex(0xB0A2B4, 0.8f), Ramp(8, 0.4f, 12, 0.8f, 15, 1, 17, 1.2f), { 3, 2 }, {}, Fixed(0), kNoLabel),
    Admin(4, 9, Hex(0xB6AAB9, 0.75f), Ramp(9, 0.4f, 13, 0.7f, 16, 1, 17, 1), { 2, 2 }, {}, Fixed(0), kNoLabel),
    Admin(5, 10, Hex(0xBCB1BF, 0.7f), Ramp(10, 0.4f, 14, 0.7f, 16, 0.9f, 17, 1), { 2, 2 }, {}, Fixed(0), kNoLabel),
    Admin(6, 11, Hex(0xC2B8C4, 0.7f), Ramp(11, 0.4f, 14, 0.6f, 16, 0.8f, 17, 1), { 1, 2 }, {}, Fixed(0), kNoLabel),
    Admin(7, 12, Hex(0xC6BDC8, 0.7f), Ramp(12, 0.4f, 15, 0.6f, 16, 0.8f, 17, 0.9f), { 1, 2 }, {}, Fixed(0), kNoLabel),
    Admin(8, 13, Hex(0xCAC2CC, 0.7f), Ramp(13, 0.4f, 15, 0.6f, 16, 0.7f, 17, 0.8f), { 1, 3 }, {}, Fixed(0), kNoLabel),
    Admin(9, 14, Hex(0xCEC7D0, 0.7f), Ramp(14, 0.4f, 15, 0.5f, 16, 0.6f, 17, 0.7f), { 1, 3 }, {}, Fixed(0), kNoLabel),

    // Railways: a fine dark line.
    Line(kLayerCategoryRailway, kLayerFeatureNone, 450, 9, Hex(0x8A8580), Ramp(9, 0.6f, 13, 1, 15, 1.5f, 17, 2)),

    // Roads by class, minor ones first so that greater roads cross over them.
    Road(kLayerFeatureMotorway, 6, 5, 0xE89A84, 0xB9705D, Ramp(5, 0.7f, 9, 1.6f, 13, 4, 17, 14),
        Ramp(9, 0, 10, 2.6f, 13, 5.6f, 17, 16.5f), RoadLabel(12, 30)),
    Road(kLayerFeatureTrunkRoad, 5, 6, 0xF2B48B, 0xC18B62, Ramp(6, 0.6f, 9, 1.4f, 13, 3.6f, 17, 13),
        Ramp(9, 0, 10, 2.4f, 13, 5.2f, 17, 15.5f), RoadLabel(12, 28)),
    Road(kLayerFeaturePrimaryRoad, 4, 8, 0xF9D49C, 0xC5A06B, Ramp(8, 0.6f, 10, 1.3f, 13, 3.2f, 17, 12),
        Ramp(10, 0, 11, 2.2f, 13, 4.6f, 17, 14), RoadLabel(13, 26)),
    Road(kLayerFeatureSecondaryRoad, 3, 9, 0xFBEDB4, 0xBFB083, Ramp(9, 0.5f, 11, 1.1f, 13, 2.6f, 17, 10.5f),
        Ramp(11, 0, 12, 2, 13, 3.9f, 17, 12.3f), RoadLabel(14, 24)),
    Road(kLayerFeatureTertiaryRoad, 2, 11, 0xFFFFFF, 0xB9B2A6, Ramp(11, 0.5f, 13, 2, 15, 4.5f, 17, 9.5f),
        Ramp(11, 1.2f, 13, 3.2f, 15, 6, 17, 11.3f), RoadLabel(14, 22)),
    Road(kLayerFeatureMinorRoad, 1, 12, 0xFFFFFF, 0xC7C0B4, Ramp(12, 0.4f, 14, 1.4f, 16, 4.5f, 17, 7.5f),
        Ramp(12, 1, 14, 2.6f, 16, 6, 17, 9.2f), RoadLabel(15, 20)),

    // Settlements: dots and names, greater places first and from further out.
    Place(kLayerCategorySettlement, kLayerFeatureCityLarge, 2, MarkerKind::kDot, Ramp(2, 4, 6, 6, 10, 7, 12, 0),
        PlaceLabel(2, Ramp(2, 11, 5, 13, 9, 15, 13, 17), true, 100)),
    Place(kLayerCategorySettlement, kLayerFeatureCityMedium, 4, MarkerKind::kDot, Ramp(4, 3.5f, 8, 5, 11, 6, 13, 0),
        PlaceLabel(4, Ramp(4, 10.5f, 7, 12, 10, 13, 13, 15), false, 90)),
    Place(kLayerCategorySettlement, kLayerFeatureCitySmall, 6, MarkerKind::kDot, Ramp(6, 3, 9, 4, 12, 5, 14, 0),
        PlaceLabel(6, Ramp(6, 10, 9, 11, 12, 12, 14, 13), false, 80)),

    // Points of interest: airports only, at close range.
    Place(kLayerCategoryPointOfInterest, kLayerFeatureAirport, 8, MarkerKind::kAirport, Ramp(8, 9, 11, 12, 14, 14, 17, 16),
        kAirportLabel),
};

// Smallest population named at each zoom level 0 to 17.
constexpr std::array<double, 18> kPlacePopulation
    = { 1e12, 1e12, 6e6, 3e6, 1.5e6, 6e5, 2.5e5, 1e5, 5e4, 2.5e4, 0, 0, 0, 0, 0, 0, 0, 0 };
constexpr UInt32 kCapitalZoom = 5;

} // namespace

float EvaluateRamp(ZoomRamp const& ramp, float zoom)
{
    if (zoom <= ramp.front().zoom)
        return ramp.front().value;
    for (std::size_t i = 1; i < ramp.size(); ++i) {
        ZoomStop const& a = ramp[i - 1];
        ZoomStop const& b = ramp[i];
        if (zoom <= b.zoom)
            return b.zoom > a.zoom ? a.value + (b.value - a.value) * (zoom - a.zoom) / (b.zoom - a.zoom) : b.value;
    }
    return ramp.back().value;
}

MapStyle const* CMapStyles::Find(LayerCategory category, LayerFeature feature)
{
    MapStyle const* catchAll = nullptr;
    for (MapStyle const& style : kStyles) {
        if (style.category != category)
            continue;
        if (style.feature == feature)
            return &style;
        if (style.feature == kLayerFeatureNone && !catchAll)
            catchAll = &style;
    }
    return catchAll;
}

bool CMapStyles::IsCategoryVisible(LayerCategory category, UInt32 zoom)
{
    return std::any_of(kStyles.begin(), kStyles.end(), [&](MapStyle const& style) {
        return style.category == category && zoom >= style.minZoom && zoom <= style.maxZoom;
    });
}

ColourRGBA CMapStyles::GetSeaColour() { return kSea; }
ColourRGBA CMapStyles::GetLoadingColour() { return Hex(0xEDEBE6); }
ColourRGBA CMapStyles::GetLoadingTextColour() { return Hex(0x9A968F); }

double CMapStyles::GetPlacePopulation(UInt32 zoom) { return kPlacePopulation[std::min<UInt32>(zoom, 17)]; }
UInt32 CMapStyles::GetCapitalZoom() { return kCapitalZoom; }
