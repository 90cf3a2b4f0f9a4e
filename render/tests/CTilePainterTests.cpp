#include "foundation/CFile.h"
#include "mapdata/CMapManager.h"
#include "render/CGeometryCache.h"
#include "render/CMapGeometry.h"
#include "render/CMapLabel.h"
#include "render/CMapStyles.h"
#include "render/CTilePainter.h"
#include "mapdata/tests/MapDataTestSupport.h"
#include "mapdata/tests/ShapeFileWriter.h"

#include <cctype>
#include <cmath>
#include <gtest/gtest.h>

using namespace tw::test;

namespace {

std::string LettersOf(CString const& text)
{
    std::string letters;
    for (char c : text.GetStdString())
        if (std::isalpha(static_cast<unsigned char>(c)))
            letters += char(std::tolower(static_cast<unsigned char>(c)));
    return letters;
}

} // namespace

// A lake is named only when it is wider than its name with room to spare on either side.
TEST(CTilePainter, AnAreaNarrowerThanItsNamePlusPaddingGoesUnnamed)
{
    UInt32 const kLevel = 12;
    double const kPadding = 8; // [px] either side of the name
    LabelStyle const& style = CMapStyles::Find(kLayerCategoryWaterArea, kLayerFeatureNone)->label;
    ASSERT_EQ(style.kind, LabelKind::kArea);
    float const size = EvaluateRamp(style.size, float(kLevel));
    double const degreesPerPixel = 360.0 / (256.0 * (1 << kLevel));

    // Three lakes side by side, 300 px apart, with names of about one width: one wider than its
    // name and padding, one wider than its name alone, one narrower than its name.
    struct Lake {
        char const* name;
        double spare; // [px] beyond the name's width
        bool named;
    };
    Lake const lakes[] = {
        { "Wide Lake", 2 * kPadding + 4, true },
        { "Snug Lake", 2 * kPadding - 4, false },
        { "Thin Lake", -20, false },
    };
    double const west = 20.0, south = 10.0, height = 0.02; // [deg]
    std::vector<TestPolyLine> rings;
    for (std::size_t i = 0; i < std::size(lakes); ++i) {
        double const width = CMapLabel::MeasureText(CString(lakes[i].name), style, size).width + lakes[i].spare;
        ASSERT_GT(width, 10);
        double const x0 = west + 300 * degreesPerPixel * double(i), x1 = x0 + width * degreesPerPixel;
        // Clockwise, as outer rings are.
        rings.push_back({ { { x0, south }, { x0, south + height }, { x1, south + height }, { x1, south }, { x0, south } },
            0, "", lakes[i].name });
    }
    TempFolder maps;
    auto const pack = maps / "Lakes.twmap";
    auto const region = pack / "Contents/Resources/Lakes.twregion";
    std::filesystem::create_directories(region / "Contents/Resources/Layers");
    WriteFile(pack / "Contents/Info.plist",
        PlistDocument(Key("TWMapFormat", "1.0") + Key("TWMapIdentifier", "test.lakes")));
    WriteFile(region / "Contents/Info.plist",
        PlistDocument(Key("TWRegionIdentifier", "lakes") + "<key>TWRegionLayers</key><array>"
            + LayerEntry("water", kLayerCategoryWaterArea) + "</array>"));
    WritePolyLineLayer(region / "Contents/Resources/Layers/water", rings, 5);
    CMapManager manager;
    ASSERT_EQ(manager.LoadMapsFrom({ CFile(CString(maps.Path().c_str())) }), noErr);

    CGPoint const corner = CMapGeometry(manager).Project(CCoordinate(south + height, west), kLevel);
    CGRect const rect = CGRectMake(std::floor(corner.x) - 100, std::floor(corner.y) - 100, 1024, 256);
    CGContextRef bitmap = CGBitmapContextCreate(nullptr, 1024, 256, 8, 0, nullptr,
        kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    CGContextTranslateCTM(bitmap, 0, 256);
    CGContextScaleCTM(bitmap, 1, -1);
    CGContextTranslateCTM(bitmap, -rect.origin.x, -rect.origin.y);
    CGeometryCache cache;
    CTilePainter painter(manager, cache);
    std::vector<CMapLabel> labels;
    ASSERT_EQ(painter.Paint(bitmap, rect, kLevel, labels), noErr);
    CGContextRelease(bitmap);
    for (Lake const& lake : lakes) {
        std::string const letters = LettersOf(CString(lake.name));
        auto const count = std::count_if(
            labels.begin(), labels.end(), [&](CMapLabel const& label) { return LettersOf(label.GetText()) == letters; });
        EXPECT_EQ(count, lake.named ? 1 : 0) << lake.name;
    }
}
