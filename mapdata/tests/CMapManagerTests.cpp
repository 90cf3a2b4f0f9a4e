#include "foundation/CDebugLog.h"
#include "mapdata/CMapManager.h"
#include "mapdata/tests/MapDataTestSupport.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace tw::test;

namespace {
std::string const kGoodPack = Key("TWMapFormat", "1.0") + Key("TWMapIdentifier", "test.pack");

std::vector<std::string> RegionIds(CMapManager& manager, CCoordinateRect const& rect)
{
    std::vector<std::string> ids;
    for (CRegionLayer* layer : manager.GetRegionLayers(rect, nullptr, nullptr))
        ids.push_back(layer->GetIdentifier().GetStdString());
    return ids;
}

CCoordinateRect const kOttawa(CCoordinate(45.6, -76.0), CCoordinate(45.2, -75.4));
} // namespace

TEST(CMapManager, TheBundledPacksLoadWithTheirRegionsLayersAndShapes)
{
    struct Layer {
        char const* identifier;
        LayerCategory category;
        UInt32 shapes;
    };
    struct Region {
        char const* identifier;
        std::vector<Layer> layers;
    };
    struct Pack {
        char const* name;
        char const* identifier;
        std::vector<char const*> credits;
        std::vector<Region> regions;
    };
    std::vector<Pack> const expected {
        { "Göteborg and Ottawa–Montréal", "com.tarnwick.map.regions",
            { "OpenStreetMap contributors", "Natural Resources Canada" },
            { { "com.tarnwick.region.goteborg",
                  { { "roads", kLayerCategoryRoad, 5906 }, { "pois", kLayerCategoryPointOfInterest, 1529 } } },
                { "com.tarnwick.region.ottawa",
                    { { "water", kLayerCategoryWaterArea, 1488 }, { "roads", kLayerCategoryRoad, 3982 },
                        { "places", kLayerCategorySettlement, 192 } } } } },
        { "World", "com.tarnwick.map.world", { "Natural Earth", "GSHHG", "GeoNames", "OpenFlights" },
            { { "com.tarnwick.region.world",
                { { "land", kLayerCategoryLand, 1419 }, { "land-detail", kLayerCategoryLand, 4048 },
                    { "lakes", kLayerCategoryWaterArea, 275 }, { "rivers", kLayerCategoryRiver, 461 },
                    { "rivers-detail", kLayerCategoryRiver, 31232 }, { "countries", kLayerCategoryAdminLevel0, 241 },
                    { "states", kLayerCategoryAdminLevel1, 4596 }, { "places", kLayerCategorySettlement, 24583 },
                    { "airports", kLayerCategoryPointOfInterest, 7184 } } } } },
    };
    CMapManager manager;
    ASSERT_EQ(manager.LoadMapsFrom({ CFile(CString(WorldPack().parent_path().c_str())) }), noErr);
    auto const packs = manager.GetMapPacks();
    ASSERT_EQ(packs.size(), expected.size());
    for (std::size_t p = 0; p < packs.size(); ++p) {
        SCOPED_TRACE(expected[p].identifier);
        EXPECT_EQ(packs[p]->GetName(), CString(expected[p].name, kCFStringEncodingUTF8));
        EXPECT_EQ(packs[p]->GetIdentifier(), CString(expected[p].identifier));
        for (char const* credit : expected[p].credits)
            EXPECT_TRUE(packs[p]->GetCopyright().Contains(CString(credit))) << credit;
        ASSERT_EQ(packs[p]->GetRegionCount(), expected[p].regions.size());
        for (std::size_t r = 0; r < expected[p].regions.size(); ++r) {
            Region const& want = expected[p].regions[r];
            CMapRegion const* region = packs[p]->GetRegion(r);
            EXPECT_EQ(region->GetIdentifier(), CString(want.identifier));
            ASSERT_EQ(region->GetLayerCount(), want.layers.size()) << want.identifier;
            for (std::size_t l = 0; l < want.layers.size(); ++l) {
                CRegionLayer* layer = region->GetLayer(l);
                EXPECT_EQ(layer->GetIdentifier(), CString(want.layers[l].identifier));
                EXPECT_EQ(layer->GetCategory(), want.layers[l].category) << want.layers[l].identifier;
                ASSERT_EQ(layer->Open(), noErr) << want.layers[l].identifier;
                EXPECT_EQ(layer->GetShapeFile().GetShapeCount(), want.layers[l].shapes) << want.layers[l].identifier;
            }
        }
    }
    // Both road regions lie where their cities are.
    auto const ottawa = RegionIds(manager, kOttawa);
    EXPECT_NE(std::find(ottawa.begin(), ottawa.end(), "water"), ottawa.end());
    auto const goteborg = RegionIds(manager, CCoordinateRect(CCoordinate(57.72, 11.95), CCoordinate(57.69, 12.0)));
    EXPECT_NE(std::find(goteborg.begin(), goteborg.end(), "pois"), goteborg.end());
}

TEST(CMapManager, LoadMapsFindsTheBundledWorldPackWithoutSetUp)
{
    CMapManager manager;
    ASSERT_EQ(manager.LoadMaps(), noErr);
    auto packs = manager.GetMapPacks();
    ASSERT_FALSE(packs.empty());
    EXPECT_EQ(packs.back()->GetIdentifier(), CString("com.tarnwick.map.world"));
}

TEST(CMapManager, SearchesTheUserDomainFirstAndSkipsTheSameIdentifierLater)
{
    TempFolder other;
    auto userMaps = TestHome() / "data/Tarnwick/Maps";
    MakePack(userMaps / "Mine.twmap", kGoodPack + Key("TWMapName", "User"), "r1", "", LayerEntry("places", 7));
    MakePack(other / "Mine.twmap", kGoodPack + Key("TWMapName", "Other"), "r1", "", LayerEntry("places", 7));
    CMapManager manager;
    manager.LoadMapsFrom({ CFile(CString(userMaps.c_str())), CFile(CString(other.Path().c_str())) });
    auto packs = manager.GetMapPacks();
    ASSERT_EQ(packs.size(), 1u);
    EXPECT_EQ(packs[0]->GetName(), CString("User"));
    std::filesystem::remove_all(userMaps);
}

TEST(CMapManager, RefusesPacksOfAnotherFormatOrWithoutTheFormatKey)
{
    TempFolder maps;
    MakePack(
        maps / "Old.twmap", Key("TWMapFormat", "0.9") + Key("TWMapIdentifier", "a"), "a", "", LayerEntry("places", 7));
    MakePack(maps / "None.twmap", Key("TWMapIdentifier", "b"), "b", "", LayerEntry("places", 7));
    MakePack(
        maps / "Good.twmap", Key("TWMapFormat", "1.0") + Key("TWMapIdentifier", "c"), "c", "", LayerEntry("places", 7));
    CMapPack pack;
    EXPECT_EQ(pack.Initialise(CFile(CString((maps / "Old.twmap").c_str()))), -2114);
    CMapPack none;
    EXPECT_EQ(none.Initialise(CFile(CString((maps / "None.twmap").c_str()))), -2114);
    CMapManager manager;
    manager.LoadMapsFrom({ CFile(CString(maps.Path().c_str())) });
    ASSERT_EQ(manager.GetMapPacks().size(), 1u);
    EXPECT_EQ(manager.GetMapPacks()[0]->GetIdentifier(), CString("c"));
}

TEST(CMapManager, RefusesEncipheredAndUnknownLayerFormatsButKeepsTheRest)
{
    TempFolder maps;
    MakePack(maps / "P.twmap", kGoodPack, "r", "",
        LayerEntry("places", 7, "sen") + LayerEntry("water", 3, "shs") + LayerEntry("roads", 6));
    CMapManager manager;
    manager.LoadMapsFrom({ CFile(CString(maps.Path().c_str())) });
    EXPECT_EQ(RegionIds(manager, kOttawa), std::vector<std::string> { "roads" });
}

TEST(CMapManager, RefusesLayerFilesOutsideTheRegion)
{
    CFDictionary info;
    info.SetValueString("TWLayerFormat", "shp");
    info.SetValueString("TWLayerFolder", "Layers/../..");
    info.SetValueString("TWLayerFile", "places.shp");
    CRegionLayer layer;
    EXPECT_EQ(layer.Initialise(info, CFile(CString(OttawaLayers().parent_path().c_str()))), -2114);
}

TEST(CMapManager, SharedPacksThatNotEveryUserCanReadAreNotedForRepair)
{
    TempFolder shared, own;
    auto const layers = [](std::filesystem::path const& pack, std::string const& region) {
        return pack / "Contents/Resources" / (region + ".twregion") / "Contents/Resources/Layers";
    };
    auto pack
        = [](std::string const& identifier) { return Key("TWMapFormat", "1.0") + Key("TWMapIdentifier", identifier); };
    MakePack(shared / "Closed.twmap", pack("closed"), "r1", "", LayerEntry("places", 7));
    MakePack(shared / "Hidden.twmap", pack("hidden"), "r2", "", LayerEntry("roads", 6));
    MakePack(shared / "Open.twmap", pack("open"), "r3", "", LayerEntry("water", 3));
    MakePack(own / "Mine.twmap", pack("mine"), "r4", "", LayerEntry("places", 7));
    std::filesystem::permissions(layers(shared / "Closed.twmap", "r1") / "places.dbf", std::filesystem::perms(0600));
    std::filesystem::permissions(layers(shared / "Hidden.twmap", "r2"), std::filesystem::perms(0700));
    std::filesystem::permissions(layers(own / "Mine.twmap", "r4") / "places.dbf", std::filesystem::perms(0600));

    CMapManager manager;
    CFile const sharedFolder(CString(shared.Path().c_str()));
    manager.LoadMapsFrom({ sharedFolder, CFile(CString(own.Path().c_str())) }, { sharedFolder });
    std::vector<std::string> unreadable;
    for (CFile const& file : manager.GetUnreadablePacks())
        unreadable.push_back(CFile(file).GetFileName().GetStdString());
    // The user's own folder is the user's business; the other packs load as they are.
    EXPECT_EQ(unreadable, (std::vector<std::string> { "Closed.twmap", "Hidden.twmap" }));
    EXPECT_EQ(manager.GetMapPacks().size(), 4u);
    EXPECT_TRUE(CMapManager::IsReadableByEveryone(CFile(CString((shared / "Open.twmap").c_str()))));
    EXPECT_FALSE(CMapManager::IsReadableByEveryone(CFile(CString((shared / "Missing.twmap").c_str()))));

    manager.LoadMapsFrom({ sharedFolder });
    EXPECT_TRUE(manager.GetUnreadablePacks().empty()) << "only shared folders are checked";
}

// The repair leaves links alone, so a link to nothing or to a file no one else may read
// would bring its alert back at every start.
TEST(CMapManager, LinksInASharedPackAreLeftOutOfTheCheckAsTheRepairLeavesThem)
{
    TempFolder shared, elsewhere;
    std::string const keys = Key("TWMapFormat", "1.0") + Key("TWMapIdentifier", "linked");
    MakePack(shared / "Linked.twmap", keys, "r1", "", LayerEntry("places", 7));
    tw::test::WriteFile(elsewhere / "private", "x");
    std::filesystem::permissions(elsewhere / "private", std::filesystem::perms(0600));
    std::filesystem::create_symlink(elsewhere / "nothing", shared / "Linked.twmap" / "dangling");
    std::filesystem::create_symlink(elsewhere / "private", shared / "Linked.twmap" / "Contents" / "private");

    CMapManager manager;
    CFile const sharedFolder(CString(shared.Path().c_str()));
    manager.LoadMapsFrom({ sharedFolder }, { sharedFolder });
    EXPECT_TRUE(manager.GetUnreadablePacks().empty());
    EXPECT_EQ(manager.GetMapPacks().size(), 1u);

    std::filesystem::permissions(shared / "Linked.twmap" / "Contents", std::filesystem::perms(0700));
    manager.LoadMapsFrom({ sharedFolder }, { sharedFolder });
    EXPECT_EQ(manager.GetUnreadablePacks().size(), 1u) << "the pack's own folders are still checked";
}

TEST(CMapManager, ARegionReplacesAnotherEitherWay)
{
    TempFolder maps;
    MakePack(
        maps / "A.twmap", Key("TWMapFormat", "1.0") + Key("TWMapIdentifier", "a"), "old", "", LayerEntry("places", 7));
    MakePack(maps / "B.twmap", Key("TWMapFormat", "1.0") + Key("TWMapIdentifier", "b"), "new",
        "<key>TWRegionReplaces</key><array><string>old</string></array>", LayerEntry("roads", 6));
    MakePack(maps / "C.twmap", Key("TWMapFormat", "1.0") + Key("TWMapIdentifier", "c"), "older",
        Key("TWRegionReplacedBy", "new"), LayerEntry("water", 3));
    CMapManager manager;
    manager.LoadMapsFrom({ CFile(CString(maps.Path().c_str())) });
    EXPECT_EQ(RegionIds(manager, kOttawa), std::vector<std::string> { "roads" });
}

TEST(CMapManager, GetRegionLayersFiltersByRectangleAndFilter)
{
    CMapManager manager;
    manager.LoadMapsFrom({ CFile(CString(WorldPack().parent_path().c_str())) });
    CCoordinateRect goteborg(CCoordinate(57.72, 11.95), CCoordinate(57.69, 12.0));
    auto ids = RegionIds(manager, goteborg);
    EXPECT_NE(std::find(ids.begin(), ids.end(), "roads"), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), "land"), ids.end());
    auto admin = [](CRegionLayer const* layer, void* context) {
        ++*static_cast<int*>(context);
        return IsAdminCategory(layer->GetCategory());
    };
    int calls = 0;
    auto layers = manager.GetRegionLayers(goteborg, admin, &calls);
    ASSERT_EQ(layers.size(), 2u);
    EXPECT_EQ(calls, int(ids.size()));
    // Shapes are found by their bounds: the country layer also gives countries whose bounds
    // span the globe (the United States, across the antimeridian).
    std::vector<std::string> names;
    for (CRegionLayer* layer : layers)
        for (UInt32 shape : layer->GetShapes(goteborg.GetSGBounds()))
            names.push_back(layer->GetAttributeString(shape, 0, true).GetStdString());
    EXPECT_NE(std::find(names.begin(), names.end(), "Sweden"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Västra Götaland"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "Norway"), names.end());
    EXPECT_TRUE(manager.GetRegionLayers(CCoordinateRect(), nullptr, nullptr).empty());
}

TEST(CMapManager, FeatureNamesAndSymbolsComeFromOneTable)
{
    CMapManager manager;
    EXPECT_EQ(manager.GetFeatureName(kLayerFeatureAirport), CString("Airport"));
    EXPECT_EQ(manager.GetFeatureSymbol(kLayerFeatureAirport), GPSWaypointSymbol('airp'));
    EXPECT_EQ(manager.GetFeatureSymbol(kLayerFeatureCityLarge), GPSWaypointSymbol('clrg'));
    EXPECT_EQ(manager.GetFeatureSymbol(LayerFeature(9999)), GPSWaypointSymbol('wayp'));
    EXPECT_EQ(manager.GetFeatureName(LayerFeature(9999)), CString("Place"));
    for (auto const& info : kLayerFeatureTable) {
        if (info.nameKey == nullptr)
            continue;
        EXPECT_NE(manager.GetFeatureName(info.feature), CString(info.nameKey)) << info.nameKey << " has no text";
        bool known = std::any_of(std::begin(CSymbolImages::kSymbols), std::end(CSymbolImages::kSymbols),
            [&](auto const& symbol) { return symbol.code == info.symbol; });
        EXPECT_TRUE(known) << info.nameKey;
    }
}

TEST(CMapManager, EverySymbolHasBothImagesAndUnknownOnesFallBackToWaypoint)
{
    CMapManager manager;
    manager.LoadMapsFrom({});
    for (auto const& symbol : CSymbolImages::kSymbols) {
        for (UInt32 size : { 16u, 32u }) {
            CGImageRef image = manager.GetSymbolImage(symbol.code, size);
            ASSERT_NE(image, nullptr) << symbol.name << " " << size;
            EXPECT_EQ(CGImageGetWidth(image), size);
            EXPECT_EQ(CGImageGetHeight(image), size);
            if (symbol.code != 'wayp') {
                EXPECT_NE(image, manager.GetSymbolImage('wayp', size)) << symbol.name;
            }
        }
    }
    EXPECT_EQ(manager.GetSymbolImage('zzzz', 16), manager.GetSymbolImage('wayp', 16));
    EXPECT_EQ(manager.GetSymbolImage('NULL', 32), manager.GetSymbolImage('wayp', 32));
    EXPECT_EQ(manager.GetSymbolImage('wayp', 24), nullptr);
}

TEST(CMapManager, MercatorProjectsAndUnprojectsInDoublePrecision)
{
    CMapManager manager;
    CGPoint p = manager.Project(0, CCoordinate(51.5, -0.12));
    EXPECT_DOUBLE_EQ(p.x, -0.12 * M_PI / 180);
    EXPECT_DOUBLE_EQ(p.y, std::asinh(std::tan(51.5 * M_PI / 180)));
    for (double lat : { -84.0, -45.123456789, 0.0, 12.3456789012, 84.0 }) {
        CCoordinate back = manager.Unproject(0, manager.Project(0, CCoordinate(lat, 179.987654321)));
        EXPECT_NEAR(back.GetLatitude(), lat, 1e-12);
        EXPECT_NEAR(back.GetLongitude(), 179.987654321, 1e-12);
    }
    CGPoint other = manager.Project(1, CCoordinate(10, 10));
    EXPECT_EQ(other.x, 0);
    EXPECT_EQ(other.y, 0);
}
