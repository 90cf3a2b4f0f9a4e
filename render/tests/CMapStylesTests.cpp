#include "render/CMapStyles.h"

#include <gtest/gtest.h>

TEST(CMapStyles, RampsInterpolateBetweenStopsAndHoldBeyondThem)
{
    ZoomRamp const ramp { { { 5, 1 }, { 10, 6 }, { 12, 6 }, { 17, 16 } } };
    EXPECT_FLOAT_EQ(EvaluateRamp(ramp, 0), 1);
    EXPECT_FLOAT_EQ(EvaluateRamp(ramp, 7), 3);
    EXPECT_FLOAT_EQ(EvaluateRamp(ramp, 11), 6);
    EXPECT_FLOAT_EQ(EvaluateRamp(ramp, 14.5f), 11);
    EXPECT_FLOAT_EQ(EvaluateRamp(ramp, 40), 16);
}

TEST(CMapStyles, EveryKindOfMapDataHasAStyle)
{
    for (LayerCategory category : { kLayerCategoryLand, kLayerCategoryWaterArea, kLayerCategoryRiver,
             kLayerCategoryRoad, kLayerCategorySettlement, kLayerCategoryRailway, kLayerCategoryLandUse })
        EXPECT_NE(CMapStyles::Find(category, GetCategoryDefaultFeature(category)), nullptr) << category;
    EXPECT_NE(CMapStyles::Find(kLayerCategoryPointOfInterest, kLayerFeatureAirport), nullptr);
    // A road class the table lacks falls back to the category's row; an unknown category draws nothing.
    EXPECT_EQ(CMapStyles::Find(77, kLayerFeatureNone), nullptr);
    EXPECT_TRUE(CMapStyles::IsCategoryVisible(kLayerCategoryLand, 0));
    EXPECT_FALSE(CMapStyles::IsCategoryVisible(kLayerCategoryRoad, 2));
}

TEST(CMapStyles, GreaterRoadsAreDrawnOverLesserOnesAndWider)
{
    LayerFeature const classes[] = { kLayerFeatureMinorRoad, kLayerFeatureTertiaryRoad, kLayerFeatureSecondaryRoad,
        kLayerFeaturePrimaryRoad, kLayerFeatureTrunkRoad, kLayerFeatureMotorway };
    for (std::size_t i = 1; i < std::size(classes); ++i) {
        MapStyle const* lesser = CMapStyles::Find(kLayerCategoryRoad, classes[i - 1]);
        MapStyle const* greater = CMapStyles::Find(kLayerCategoryRoad, classes[i]);
        ASSERT_TRUE(lesser && greater);
        EXPECT_GT(greater->order, lesser->order);
        EXPECT_LE(greater->minZoom, lesser->minZoom);
        EXPECT_GE(EvaluateRamp(greater->width, 15), EvaluateRamp(lesser->width, 15));
        // Every casing lies under every road's own stroke.
        EXPECT_LT(greater->casingOrder, lesser->order);
    }
}

TEST(CMapStyles, AdministrativeLevelsAreEachDrawnTheirOwnWay)
{
    for (UInt32 level = 0; level <= 9; ++level) {
        MapStyle const* style = CMapStyles::Find(kLayerCategoryAdminLevel0 + level, kLayerFeatureAdminArea);
        ASSERT_NE(style, nullptr) << level;
        EXPECT_TRUE(style->bordersOnly);
        EXPECT_EQ(style->fill.alpha, 0); // no area colour: borders only
        if (level == 0)
            continue;
        MapStyle const* coarser = CMapStyles::Find(kLayerCategoryAdminLevel0 + level - 1, kLayerFeatureAdminArea);
        EXPECT_LT(style->order, coarser->order);
        EXPECT_GE(style->minZoom, coarser->minZoom);
        bool const differs = style->stroke != coarser->stroke || style->dash != coarser->dash
            || EvaluateRamp(style->width, 14) != EvaluateRamp(coarser->width, 14);
        EXPECT_TRUE(differs) << level;
    }
}

TEST(CMapStyles, MorePlacesAreNamedTheCloserTheMap)
{
    for (UInt32 zoom = 1; zoom < 18; ++zoom)
        EXPECT_LE(CMapStyles::GetPlacePopulation(zoom), CMapStyles::GetPlacePopulation(zoom - 1));
    EXPECT_GT(CMapStyles::GetPlacePopulation(3), 1e6);
    EXPECT_EQ(CMapStyles::GetPlacePopulation(12), 0);
}
