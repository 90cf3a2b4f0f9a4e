#include "mapdata/CDBaseFile.h"
#include "mapdata/CRegionLayer.h"
#include "mapdata/CShapeFile.h"
#include "mapdata/MapDataTypes.h"
#include "mapdata/ShapeBytes.h"
#include "mapdata/tests/MapDataTestSupport.h"
#include "mapdata/tests/fuzz/FuzzShapeFileEntry.h"

#include <functional>
#include <gtest/gtest.h>

using namespace tw::test;

namespace {
// Copies of a small real polygon layer (Ottawa's water) that each case damages.
class DamagedShapeFile : public ::testing::Test {
public:
    void SetUp() override
    {
        for (char const* extension : { ".shp", ".shx", ".dbf" }) {
            std::string name = std::string("water") + extension;
            mFiles[extension] = ReadFile(OttawaLayers() / name);
        }
    }
    void Write()
    {
        for (auto const& [extension, bytes] : mFiles)
            WriteFile(mFolder / (std::string("w") + extension), bytes);
    }
    CFile Path(char const* extension) const
    {
        return CFile(CString((mFolder / (std::string("w") + extension)).c_str()));
    }
    // The content offset of record i, from the index.
    std::size_t RecordContent(UInt32 record) const
    {
        auto const* shx = reinterpret_cast<UInt8 const*>(mFiles.at(".shx").data());
        return std::size_t(ShapeBytes::ReadBE32(shx + 100 + record * 8)) * 2 + 8;
    }
    void PutLE32(std::string& bytes, std::size_t at, SInt32 value) { std::memcpy(&bytes[at], &value, 4); }
    void PutBE32(std::string& bytes, std::size_t at, UInt32 value)
    {
        UInt32 big = ShapeBytes::Swap32(value);
        std::memcpy(&bytes[at], &big, 4);
    }

    TempFolder mFolder;
    std::map<std::string, std::string> mFiles;
};
} // namespace

TEST_F(DamagedShapeFile, DamagedRecordsGiveAStatusAndTheRestStillRead)
{
    struct Case {
        char const* what;
        std::function<void(DamagedShapeFile&)> damage;
        UInt32 record;
        OSStatus expected;
    } const cases[] = {
        { "negative part count", [](auto& t) { t.PutLE32(t.mFiles[".shp"], t.RecordContent(3) + 36, -1); }, 3,
            kMapFormatErr },
        { "negative point count", [](auto& t) { t.PutLE32(t.mFiles[".shp"], t.RecordContent(4) + 40, -5); }, 4,
            kMapFormatErr },
        { "points past the record", [](auto& t) { t.PutLE32(t.mFiles[".shp"], t.RecordContent(5) + 40, 0x7FFFFFFF); },
            5, eofErr },
        { "ring start past the points", [](auto& t) { t.PutLE32(t.mFiles[".shp"], t.RecordContent(6) + 44, 1 << 30); },
            6, kMapFormatErr },
        { "record length past the end", [](auto& t) { t.PutBE32(t.mFiles[".shx"], 100 + 7 * 8 + 4, 0x7FFFFFF0); }, 7,
            eofErr },
        { "record offset past the end", [](auto& t) { t.PutBE32(t.mFiles[".shx"], 100 + 8 * 8, 0x7FFFFFF0); }, 8,
            eofErr },
        { "negative offset", [](auto& t) { t.PutBE32(t.mFiles[".shx"], 100 + 9 * 8, 0x80000000); }, 9, eofErr },
        { "another shape kind", [](auto& t) { t.PutLE32(t.mFiles[".shp"], t.RecordContent(10), 3); }, 10,
            kMapFormatErr },
        { "non-finite box", [](auto& t) { std::memset(&t.mFiles[".shp"][t.RecordContent(11) + 4], 0xFF, 8); }, 11,
            kMapFormatErr },
    };
    for (Case const& c : cases) {
        SetUp();
        c.damage(*this);
        Write();
        CShapeFile file;
        ASSERT_EQ(file.Open(Path(".shp"), Path(".shx")), noErr) << c.what;
        SGShape shape;
        EXPECT_EQ(file.GetShape(c.record, shape), c.expected) << c.what;
        EXPECT_EQ(shape.type, kSGShapeNull) << c.what;
        EXPECT_TRUE(shape.points.empty()) << c.what;
        EXPECT_EQ(file.GetShape(0, shape), noErr) << c.what;
        EXPECT_FALSE(shape.points.empty()) << c.what;
    }
}

TEST_F(DamagedShapeFile, TruncatedFilesKeepTheWholeRecordsOnly)
{
    std::string& shp = mFiles[".shp"];
    std::size_t cut = RecordContent(20) + 30; // inside record 20
    shp.resize(cut);
    Write();
    CShapeFile file;
    ASSERT_EQ(file.Open(Path(".shp"), Path(".shx")), noErr);
    SGShape shape;
    EXPECT_EQ(file.GetShape(19, shape), noErr);
    EXPECT_NE(file.GetShape(20, shape), noErr);
    EXPECT_EQ(file.GetShape(21, shape), eofErr);
    EXPECT_FALSE(file.GetShapeBounds(21, shape.bounds));

    mFiles[".shx"].resize(100 + 10 * 8 + 3); // ten whole entries and a piece
    Write();
    ASSERT_EQ(file.Open(Path(".shp"), Path(".shx")), noErr);
    EXPECT_EQ(file.GetShapeCount(), 10u);
}

TEST_F(DamagedShapeFile, FilesThatAreNoShapefilesAreRefused)
{
    struct Case {
        char const* what;
        char const* file;
        std::function<void(std::string&)> damage;
        OSStatus expected;
    } const cases[] = {
        { "empty .shp", ".shp", [](std::string& b) { b.clear(); }, eofErr },
        { "short .shp header", ".shp", [](std::string& b) { b.resize(60); }, eofErr },
        { "wrong file code", ".shp", [](std::string& b) { b[3] = 0; }, kMapFormatErr },
        { "multipatch", ".shp", [](std::string& b) { b[32] = 31; }, kMapFormatErr },
        { "empty .shx", ".shx", [](std::string& b) { b.clear(); }, eofErr },
        { ".shx of another kind", ".shx", [](std::string& b) { b[2] = 9; }, kMapFormatErr },
    };
    for (Case const& c : cases) {
        SetUp();
        c.damage(mFiles[c.file]);
        Write();
        CShapeFile file;
        EXPECT_EQ(file.Open(Path(".shp"), Path(".shx")), c.expected) << c.what;
        EXPECT_FALSE(file.IsOpen()) << c.what;
        EXPECT_EQ(file.GetShapeCount(), 0u) << c.what;
    }
}

TEST_F(DamagedShapeFile, DamagedTablesAreRefusedOrCutToWholeRecords)
{
    struct Case {
        char const* what;
        std::function<void(std::string&)> damage;
        OSStatus expected;
    } const cases[] = {
        { "empty", [](std::string& b) { b.clear(); }, eofErr },
        { "header length past the end", [](std::string& b) { b.resize(300), b[8] = char(0xFF), b[9] = char(0xFF); },
            kMapFormatErr },
        { "zero record length", [](std::string& b) { b[10] = 0, b[11] = 0; }, kMapFormatErr },
        { "fields wider than the record", [](std::string& b) { b[32 + 16] = char(250), b[32 + 17] = char(1); },
            kMapFormatErr },
    };
    for (Case const& c : cases) {
        SetUp();
        c.damage(mFiles[".dbf"]);
        Write();
        CDBaseFile table;
        EXPECT_EQ(table.Open(Path(".dbf"), kCFStringEncodingInvalidId), c.expected) << c.what;
        EXPECT_EQ(table.GetRecordCount(), 0u) << c.what;
        EXPECT_TRUE(table.GetString(0, 0, true).IsEmpty()) << c.what;
    }
    SetUp();
    std::string& dbf = mFiles[".dbf"];
    UInt32 recordLength = ShapeBytes::ReadLE16(reinterpret_cast<UInt8 const*>(dbf.data()) + 10);
    UInt32 headerLength = ShapeBytes::ReadLE16(reinterpret_cast<UInt8 const*>(dbf.data()) + 8);
    dbf.resize(headerLength + recordLength * 100 + recordLength / 2);
    Write();
    CDBaseFile table;
    ASSERT_EQ(table.Open(Path(".dbf"), kCFStringEncodingInvalidId), noErr);
    EXPECT_EQ(table.GetRecordCount(), 100u);
    EXPECT_TRUE(table.GetString(100, 0, true).IsEmpty());
}

TEST_F(DamagedShapeFile, ALayerWithADamagedTableStillGivesItsShapes)
{
    mFiles[".dbf"].resize(10);
    Write();
    CFDictionary info;
    info.SetValueString("TWLayerFormat", "shp");
    info.SetValueString("TWLayerFile", "w.shp");
    info.SetValueUInt32("TWLayerCategory", 3);
    CRegionLayer layer;
    ASSERT_EQ(layer.Initialise(info, CFile(CString(mFolder.Path().c_str()))), noErr);
    EXPECT_FALSE(layer.GetShapes(layer.GetBounds()).empty());
    EXPECT_TRUE(layer.GetAttributeString(0, 0, true).IsEmpty());
    EXPECT_EQ(layer.GetFeature(0), kLayerFeatureWater);
}

// Every seed of the fuzz corpus, replayed through the fuzz entry.
TEST(FuzzShapeFile, SeedCorpusReplaysCleanly)
{
    auto corpus = std::filesystem::path(TW_SOURCE_DIR) / "mapdata/tests/fuzz/corpus";
    int seeds = 0;
    for (auto const& item : std::filesystem::directory_iterator(corpus)) {
        std::string bytes = ReadFile(item.path());
        EXPECT_EQ(tw::fuzz::FuzzShapeFileInput(reinterpret_cast<uint8_t const*>(bytes.data()), bytes.size()), 0);
        ++seeds;
    }
    EXPECT_GE(seeds, 8);
}
