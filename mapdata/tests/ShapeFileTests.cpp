#include "mapdata/CDBaseFile.h"
#include "mapdata/CRegionLayer.h"
#include "mapdata/CShapeFile.h"
#include "mapdata/CSpatialIndex.h"
#include "mapdata/tests/MapDataTestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

using namespace tw::test;

namespace {
struct OgrSummary {
    long count = -1;
    SGBounds extent;
};

// What gdal's ogrinfo says of the file: feature count and extent.
bool RunOgrInfo(std::filesystem::path const& shp, OgrSummary& summary)
{
    std::string output;
    if (RunCommand("ogrinfo -ro -so -al '" + shp.string() + "' 2>/dev/null", &output) != 0)
        return false;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Feature Count: ", 0) == 0)
            summary.count = std::stol(line.substr(15));
        else if (line.rfind("Extent: ", 0) == 0)
            std::sscanf(line.c_str(), "Extent: (%lf, %lf) - (%lf, %lf)", &summary.extent.xmin, &summary.extent.ymin,
                &summary.extent.xmax, &summary.extent.ymax);
    }
    return summary.count >= 0;
}

CFile File(std::filesystem::path const& path) { return CFile(CString(path.c_str())); }

void OpenLayer(CShapeFile& file, std::filesystem::path const& shp)
{
    auto shx = shp;
    ASSERT_EQ(file.Open(File(shp), File(shx.replace_extension(".shx"))), noErr) << shp;
}
} // namespace

TEST(CShapeFile, WorldLayersMatchOgrInfoAndEveryShapeReads)
{
    OgrSummary probe;
    if (!RunOgrInfo(WorldLayers() / "lakes.shp", probe))
        GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    for (char const* name : { "land", "countries", "states", "lakes", "rivers", "places", "airports" }) {
        SCOPED_TRACE(name);
        auto path = WorldLayers() / (std::string(name) + ".shp");
        OgrSummary expected;
        ASSERT_TRUE(RunOgrInfo(path, expected));
        CShapeFile file;
        OpenLayer(file, path);
        EXPECT_EQ(long(file.GetShapeCount()), expected.count);
        // ogrinfo prints six decimals.
        SGBounds bounds = file.GetBounds();
        EXPECT_NEAR(bounds.xmin, expected.extent.xmin, 1e-6);
        EXPECT_NEAR(bounds.ymin, expected.extent.ymin, 1e-6);
        EXPECT_NEAR(bounds.xmax, expected.extent.xmax, 1e-6);
        EXPECT_NEAR(bounds.ymax, expected.extent.ymax, 1e-6);
        for (UInt32 i = 0; i < file.GetShapeCount(); ++i) {
            SGShape shape;
            ASSERT_EQ(file.GetShape(i, shape), noErr) << i;
            ASSERT_EQ(shape.type, file.GetShapeType());
            for (SGPoint const& p : shape.points)
                ASSERT_TRUE(p.x >= bounds.xmin && p.x <= bounds.xmax && p.y >= bounds.ymin && p.y <= bounds.ymax) << i;
            for (UInt32 part = 0; part < shape.GetPartCount(); ++part)
                ASSERT_LT(shape.parts[part], shape.GetPartEnd(part));
        }
    }
}

TEST(CShapeFile, ReadsPolygonsWithHolesAndPoints)
{
    CShapeFile countries;
    OpenLayer(countries, WorldLayers() / "countries.shp");
    CDBaseFile names;
    ASSERT_EQ(names.Open(File(WorldLayers() / "countries.dbf"), kCFStringEncodingInvalidId), noErr);
    // Lesotho is a hole in South Africa: one of its rings runs the other way round.
    SInt32 southAfrica = -1;
    for (UInt32 i = 0; i < names.GetRecordCount(); ++i)
        if (names.GetString(i, 0, true) == CString("South Africa"))
            southAfrica = SInt32(i);
    ASSERT_GE(southAfrica, 0);
    SGShape shape;
    ASSERT_EQ(countries.GetShape(southAfrica, shape), noErr);
    EXPECT_EQ(shape.type, kSGShapePolygon);
    int clockwise = 0, anticlockwise = 0;
    for (UInt32 part = 0; part < shape.GetPartCount(); ++part) {
        double area = 0;
        for (UInt32 i = shape.parts[part]; i + 1 < shape.GetPartEnd(part); ++i)
            area += shape.points[i].x * shape.points[i + 1].y - shape.points[i + 1].x * shape.points[i].y;
        (area < 0 ? clockwise : anticlockwise)++;
    }
    EXPECT_GE(clockwise, 1);
    EXPECT_GE(anticlockwise, 1);

    CShapeFile places;
    OpenLayer(places, OttawaLayers() / "places.shp");
    EXPECT_EQ(places.GetShapeType(), kSGShapePoint);
    SGShape point;
    ASSERT_EQ(places.GetShape(0, point), noErr);
    ASSERT_EQ(point.points.size(), 1u);
    SGBounds b = places.GetShapeBounds(0);
    EXPECT_EQ(b.xmin, point.points[0].x);
    EXPECT_EQ(b.ymax, point.points[0].y);
    EXPECT_EQ(places.GetShape(places.GetShapeCount(), point), eofErr);
}

TEST(CRegionLayer, SpatialQueriesAgreeWithAScanOfEveryShape)
{
    CFDictionary info;
    info.SetValueString("TWLayerFormat", "shp");
    info.SetValueString("TWLayerFile", "states.shp");
    info.SetValueUInt32("TWLayerCategory", 16);
    CRegionLayer layer;
    ASSERT_EQ(layer.Initialise(info, File(WorldLayers())), noErr);
    EXPECT_EQ(layer.GetCategory(), 16u);
    CShapeFile const& file = layer.GetShapeFile();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lon(-180, 180), lat(-90, 90), size(0, 30);
    for (int round = 0; round < 200; ++round) {
        double x = lon(random), y = lat(random);
        SGBounds query { x, y, x + size(random), y + size(random) / 2 };
        std::vector<UInt32> expected;
        for (UInt32 i = 0; i < file.GetShapeCount(); ++i)
            if (CSpatialIndex::Intersects(file.GetShapeBounds(i), query))
                expected.push_back(i);
        ASSERT_EQ(layer.GetShapes(query), expected) << round;
    }
    EXPECT_EQ(layer.GetFeature(0), kLayerFeatureAdminArea);
}

// A grid of 400 unit squares one unit apart, so that the tree has several levels: a query that
// touches one square on any edge or corner finds it, and one a hair away does not.
TEST(CSpatialIndex, QueriesTouchingAShapeOnAnyEdgeFindIt)
{
    std::vector<CSpatialIndex::Entry> entries;
    for (UInt32 row = 0; row < 20; ++row)
        for (UInt32 column = 0; column < 20; ++column)
            entries.push_back({ { column * 2.0, row * 2.0, column * 2.0 + 1, row * 2.0 + 1 }, row * 20 + column });
    CSpatialIndex index;
    index.Build(entries);
    SGBounds const square = entries[7 * 20 + 11].bounds; // x 22..23, y 14..15
    UInt32 const id = 7 * 20 + 11;
    for (double gap : { 0.0, 1e-9 }) {
        SGBounds const queries[] = {
            { square.xmin - 0.5, square.ymin, square.xmin - gap, square.ymax }, // west edge
            { square.xmax + gap, square.ymin, square.xmax + 0.5, square.ymax }, // east
            { square.xmin, square.ymin - 0.5, square.xmax, square.ymin - gap }, // south
            { square.xmin, square.ymax + gap, square.xmax, square.ymax + 0.5 }, // north
            { square.xmax + gap, square.ymax + gap, square.xmax + 0.5, square.ymax + 0.5 }, // a corner
        };
        for (SGBounds const& query : queries) {
            std::vector<UInt32> ids;
            index.Query(query, ids);
            EXPECT_EQ(ids, gap == 0 ? std::vector<UInt32> { id } : std::vector<UInt32> {})
                << query.xmin << "," << query.ymin << " " << gap;
        }
    }
}

TEST(CRegionLayer, FeatureClassesComeFromTheRecordOrTheCategory)
{
    CFDictionary info;
    info.SetValueString("TWLayerFormat", "shp");
    info.SetValueString("TWLayerFolder", "Layers");
    info.SetValueString("TWLayerFile", "places");
    info.SetValueUInt32("TWLayerCategory", 7);
    CRegionLayer layer;
    ASSERT_EQ(layer.Initialise(info, File(OttawaLayers().parent_path())), noErr);
    std::map<LayerFeature, int> counts;
    SGBounds ottawa { -75.8, 45.35, -75.6, 45.5 };
    for (UInt32 shape : layer.GetShapes(ottawa)) {
        if (layer.GetAttributeString(shape, 0, true) == CString("Ottawa")) {
            EXPECT_EQ(layer.GetFeature(shape), kLayerFeatureCityLarge);
        }
    }
    for (UInt32 i = 0; i < layer.GetShapeFile().GetShapeCount(); ++i)
        ++counts[layer.GetFeature(i)];
    EXPECT_GT(counts[kLayerFeatureCitySmall], 0);
    EXPECT_EQ(counts.count(kLayerFeatureNone), 0u);
}
