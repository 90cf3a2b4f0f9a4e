#include "mapdata/CDBaseFile.h"
#include "mapdata/tests/MapDataTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tw::test;

namespace {
// A one-field dBase III table: "NAME" C(width), then "POP" N(8), with the given language driver.
std::string MakeTable(
    std::vector<std::pair<std::string, std::string>> const& rows, UInt8 languageDriver, UInt8 width = 12)
{
    std::string table(32, '\0');
    table[0] = 0x03;
    UInt32 count = UInt32(rows.size());
    std::memcpy(&table[4], &count, 4);
    UInt16 header = 32 + 2 * 32 + 1, record = UInt16(1 + width + 8);
    std::memcpy(&table[8], &header, 2);
    std::memcpy(&table[10], &record, 2);
    table[29] = char(languageDriver);
    auto field = [&](char const* name, char type, UInt8 fieldWidth) {
        std::string descriptor(32, '\0');
        std::memcpy(&descriptor[0], name, std::strlen(name));
        descriptor[11] = type;
        descriptor[16] = char(fieldWidth);
        table += descriptor;
    };
    field("NAME", 'C', width);
    field("POP", 'N', 8);
    table += '\x0D';
    for (auto const& [name, population] : rows) {
        table += ' ';
        table += (name + std::string(width, ' ')).substr(0, width);
        table += (std::string(8, ' ') + population).substr(population.size());
    }
    return table + '\x1A';
}

CFile File(std::filesystem::path const& path) { return CFile(CString(path.c_str())); }
} // namespace

TEST(CDBaseFile, ReadsFieldsNumbersAndTrimmedTexts)
{
    TempFolder folder;
    WriteFile(folder / "t.dbf", MakeTable({ { "Ottawa", "812129" }, { "Kanata  x", "" }, { "Nowhere", "12a" } }, 0x57));
    CDBaseFile table;
    ASSERT_EQ(table.Open(File(folder / "t.dbf"), kCFStringEncodingInvalidId), noErr);
    EXPECT_EQ(table.GetRecordCount(), 3u);
    ASSERT_EQ(table.GetFieldCount(), 2u);
    EXPECT_EQ(table.FindField("pop"), 1);
    EXPECT_EQ(table.FindField("TWFEATURE"), -1);
    EXPECT_EQ(table.GetString(0, 0, true), CString("Ottawa"));
    EXPECT_EQ(table.GetString(0, 0, false), CString("Ottawa      "));
    EXPECT_EQ(table.GetString(1, 0, true), CString("Kanata  x"));
    EXPECT_EQ(table.GetNumber(0, 1), 812129.0);
    EXPECT_FALSE(table.GetNumber(1, 1).has_value());
    EXPECT_FALSE(table.GetNumber(2, 1).has_value());
    EXPECT_TRUE(table.GetString(3, 0, true).IsEmpty());
    EXPECT_TRUE(table.GetString(0, 2, true).IsEmpty());
}

TEST(CDBaseFile, TextEncodingComesFromTheLayerTheCodePageOrTheTable)
{
    TempFolder folder;
    std::string latin1Name = "Montr\xE9"
                             "al",
                utf8Name = "Montr\xC3\xA9"
                           "al";
    WriteFile(folder / "latin.dbf", MakeTable({ { latin1Name, "1" } }, 0x57));
    WriteFile(folder / "utf.dbf", MakeTable({ { utf8Name, "1" } }, 0x00));
    WriteFile(folder / "utf.cpg", "UTF-8\n");
    CDBaseFile table;
    ASSERT_EQ(table.Open(File(folder / "latin.dbf"), kCFStringEncodingInvalidId), noErr);
    EXPECT_EQ(table.GetString(0, 0, true), CString("Montréal"));
    ASSERT_EQ(table.Open(File(folder / "utf.dbf"), kCFStringEncodingInvalidId), noErr);
    EXPECT_EQ(table.GetEncoding(), kCFStringEncodingUTF8);
    EXPECT_EQ(table.GetString(0, 0, true), CString("Montréal"));
    // The layer's own encoding wins over the .cpg file.
    ASSERT_EQ(table.Open(File(folder / "utf.dbf"), kCFStringEncodingISOLatin1), noErr);
    EXPECT_EQ(table.GetString(0, 0, true), CString("MontrÃ©al"));
    EXPECT_EQ(CDBaseFile::GetCodePageEncoding(" cp1252\r\n"), kCFStringEncodingWindowsLatin1);
    EXPECT_EQ(CDBaseFile::GetCodePageEncoding("KOI8-R"), kCFStringEncodingInvalidId);
}

TEST(CDBaseFile, RealLayersDecodeTheirNames)
{
    CDBaseFile table;
    ASSERT_EQ(table.Open(File(OttawaLayers() / "places.dbf"), kCFStringEncodingInvalidId), noErr);
    bool montreal = false;
    for (UInt32 i = 0; i < table.GetRecordCount(); ++i)
        montreal |= table.GetString(i, 0, true) == CString("Montréal");
    EXPECT_TRUE(montreal);
}
