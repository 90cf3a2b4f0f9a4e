#include "model/CParserLoc.h"
#include "model/tests/ModelTestSupport.h"

#include <gtest/gtest.h>

using namespace tw::test;

namespace {

OSStatus ParseLoc(std::string const& text, ObjectList& objects)
{
    TempFolder folder;
    WriteFile(folder / "test.loc", text);
    CParserLoc parser;
    return parser.ParseFile(FileOf(folder / "test.loc"), objects.Get());
}

} // namespace

TEST(CParserLoc, ReadsGeocachesWithTheirCodesTextsAndLinks)
{
    ObjectList objects;
    ASSERT_EQ(ParseLoc(R"(<?xml version="1.0" encoding="UTF-8"?>
<loc version="1.0" src="Groundspeak">
<waypoint>
  <name id="GC1A2B3"><![CDATA[Mount Baker by GeoBuddy]]></name>
  <coord lat="48.7745" lon="-121.813"/>
  <type>Geocache</type>
  <link text="Cache Details">http://www.geocaching.com/seek/cache_details.aspx?wp=GC1A2B3</link>
  <difficulty>2</difficulty><terrain>3.5</terrain><container>2</container>
</waypoint>
<waypoint>
  <name>Only a text</name>
  <coord lat="-12.5" lon="130.75"/>
</waypoint>
</loc>)",
                  objects),
        noErr);
    ASSERT_EQ(objects.Size(), 2u);
    auto* cache = dynamic_cast<CMapWaypoint*>(objects[0]);
    ASSERT_NE(cache, nullptr);
    EXPECT_STREQ(cache->GetName().GetUTF8(), "GC1A2B3");
    EXPECT_STREQ(cache->GetDescription().GetUTF8(), "Mount Baker by GeoBuddy");
    EXPECT_STREQ(cache->GetURL().GetUTF8(), "http://www.geocaching.com/seek/cache_details.aspx?wp=GC1A2B3");
    EXPECT_EQ(cache->GetSymbol(), kWaypointSymbolGeocache);
    EXPECT_DOUBLE_EQ(cache->GetPosition().GetLongitude(), -121.813);
    auto* plain = dynamic_cast<CMapWaypoint*>(objects[1]);
    EXPECT_STREQ(plain->GetName().GetUTF8(), "Only a text");
    EXPECT_TRUE(plain->GetDescription().IsEmpty());
    EXPECT_EQ(plain->GetSymbol(), kWaypointSymbolDefault);
}

// Cache databases copy control characters into names; they read as spaces.
TEST(CParserLoc, ToleratesControlCharactersInTexts)
{
    ObjectList objects;
    ASSERT_EQ(ParseLoc(std::string("<loc><waypoint><name id=\"GC\x01X\"><![CDATA[Bell\x07 tower\x1F]]></name>"
                                   "<coord lat=\"1\" lon=\"2\"/></waypoint></loc>"),
                  objects),
        noErr);
    ASSERT_EQ(objects.Size(), 1u);
    EXPECT_STREQ(objects[0]->GetName().GetUTF8(), "GC X");
    EXPECT_STREQ(objects[0]->GetDescription().GetUTF8(), "Bell  tower");
}

TEST(CParserLoc, RefusesWaypointsWithoutAUsableCoordinate)
{
    char const* const bad[] = {
        "<loc><waypoint><name id=\"A\">a</name></waypoint></loc>",
        "<loc><waypoint><coord lat=\"1\"/></waypoint></loc>",
        "<loc><waypoint><coord lat=\"91\" lon=\"0\"/></waypoint></loc>",
        "<loc><waypoint><coord lat=\"nan\" lon=\"0\"/></waypoint></loc>",
        "<loc><waypoint><coord lat=\"1\" lon=\"-inf\"/></waypoint></loc>",
        "<loc><waypoint><coord lat=\"1 2\" lon=\"3\"/></waypoint></loc>",
    };
    for (char const* text : bad) {
        ObjectList objects;
        EXPECT_EQ(ParseLoc(text, objects), kImportValueErr) << text;
        EXPECT_EQ(objects.Size(), 0u);
    }
    ObjectList other;
    EXPECT_EQ(ParseLoc("<gpx><wpt lat=\"1\" lon=\"2\"/></gpx>", other), kImportNotRecognisedErr);
}
