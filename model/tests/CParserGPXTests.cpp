#include "model/CParserGPX.h"
#include "model/CSymbolNameUtilities.h"
#include "model/tests/ModelTestSupport.h"

#include <cmath>
#include <map>
#include <gtest/gtest.h>

using namespace tw::test;

namespace {

constexpr double kSecondsFrom2001To2021June1 = 644198400; // 2021-06-01T00:00:00Z

OSStatus ParseText(std::string const& text, ObjectList& objects, std::string const& name = "test.gpx")
{
    TempFolder folder;
    WriteFile(folder / name, text);
    CParserGPX parser;
    return parser.ParseFile(FileOf(folder / name), objects.Get());
}

} // namespace

TEST(CParserGPX, ReadsWaypointsRoutesAndTracksOfVersion11)
{
    ObjectList objects;
    ASSERT_EQ(ParseText(GPX11(R"(
 <metadata><name>Not an object</name><time>2021-06-01T00:00:00Z</time></metadata>
 <wpt lat="57.7" lon="11.97"><ele>12.5</ele><name> Harbour </name><cmt>A comment</cmt><sym>Flag, Blue</sym>
  <link href="https://example.org/harbour"><text>Site</text></link></wpt>
 <wpt lat="-33.5" lon="-70.25"><name>Plaza</name><desc>The square</desc><cmt>ignored</cmt><sym>Unheard Of</sym></wpt>
 <rte><name>Tour</name><rtept lat="57.7" lon="11.97"><name>A</name></rtept><rtept lat="57.71" lon="11.98"/></rte>
 <trk><name>Walk</name><desc>Two segments</desc>
  <trkseg><trkpt lat="57.0" lon="12.0"><ele>5</ele><time>2021-06-01T00:00:00Z</time></trkpt>
   <trkpt lat="57.0001" lon="12.0"><time>2021-06-01T00:00:10Z</time></trkpt></trkseg>
  <trkseg><trkpt lat="57.0002" lon="12.0"><time>2021-06-01T00:00:20Z</time></trkpt></trkseg>
 </trk>
)"),
                  objects),
        noErr);
    ASSERT_EQ(objects.Size(), 6u); // two waypoints, two route points, the route, the track
    EXPECT_EQ(CountObjects(objects), (ImportCounts { 2, 1, 2, 1, 3 }));

    auto* harbour = dynamic_cast<CMapWaypoint*>(objects[0]);
    ASSERT_NE(harbour, nullptr);
    EXPECT_STREQ(harbour->GetName().GetUTF8(), "Harbour");
    EXPECT_STREQ(harbour->GetDescription().GetUTF8(), "A comment"); // the comment when there is no description
    EXPECT_STREQ(harbour->GetURL().GetUTF8(), "https://example.org/harbour");
    EXPECT_EQ(harbour->GetSymbol(), GPSWaypointSymbol('fblu'));
    EXPECT_DOUBLE_EQ(harbour->GetPosition().GetAltitude(), 12.5);
    auto* plaza = dynamic_cast<CMapWaypoint*>(objects[1]);
    EXPECT_STREQ(plaza->GetDescription().GetUTF8(), "The square");
    EXPECT_EQ(plaza->GetSymbol(), kWaypointSymbolDefault);
    EXPECT_DOUBLE_EQ(plaza->GetPosition().GetLongitude(), -70.25);

    // The route comes after its points and uses exactly them.
    auto* route = dynamic_cast<CMapRoute*>(objects[4]);
    ASSERT_NE(route, nullptr);
    EXPECT_STREQ(route->GetName().GetUTF8(), "Tour");
    auto legs = route->GetSegments();
    ASSERT_EQ(legs.size(), 2u);
    EXPECT_EQ(legs[0].waypoint, objects[2]);
    EXPECT_EQ(legs[1].waypoint, objects[3]);

    auto* track = dynamic_cast<CMapTrack*>(objects[5]);
    ASSERT_NE(track, nullptr);
    EXPECT_STREQ(track->GetName().GetUTF8(), "Walk");
    ASSERT_EQ(track->GetSamples().size(), 3u);
    EXPECT_DOUBLE_EQ(track->GetSamples()[0].GetTime().GetTimeInSeconds(), kSecondsFrom2001To2021June1);
    EXPECT_DOUBLE_EQ(track->GetSamples()[2].GetTime().GetTimeInSeconds(), kSecondsFrom2001To2021June1 + 20);
    EXPECT_TRUE(track->IsTimeKnown());
    EXPECT_TRUE(track->IsVelocityKnown()); // derived from the times
    EXPECT_NEAR(track->GetVelocityAvg(), 22.26 / 20, 0.01);
}

TEST(CParserGPX, ReadsVersion10WithUrlsSpeedsAndCourses)
{
    ObjectList objects;
    ASSERT_EQ(ParseText(R"(<?xml version="1.0"?>
<gpx version="1.0" xmlns="http://www.topografix.com/GPX/1/0">
 <name>File name</name><time>2020-01-01T00:00:00Z</time><bounds minlat="0" minlon="0" maxlat="1" maxlon="1"/>
 <wpt lat="10" lon="20"><name>W</name><url>http://example.org/w</url><urlname>W page</urlname></wpt>
 <trk><name>Drive</name><url>http://example.org/t</url><trkseg>
  <trkpt lat="10" lon="20"><speed>10</speed><course>90</course></trkpt>
  <trkpt lat="10" lon="20.001"><speed>20</speed></trkpt>
 </trkseg></trk>
</gpx>)",
                  objects),
        noErr);
    ASSERT_EQ(objects.Size(), 2u);
    EXPECT_STREQ(objects[0]->GetURL().GetUTF8(), "http://example.org/w");
    auto* track = dynamic_cast<CMapTrack*>(objects[1]);
    EXPECT_STREQ(track->GetURL().GetUTF8(), "http://example.org/t");
    EXPECT_FALSE(track->IsTimeKnown());
    ASSERT_TRUE(track->IsVelocityKnown()); // recorded
    auto velocity = track->GetSamples()[0].GetVelocity(nullptr);
    EXPECT_NEAR(velocity[0], 10, 1e-9); // east
    EXPECT_NEAR(velocity[1], 0, 1e-9);
    EXPECT_DOUBLE_EQ(track->GetVelocityMax(), 20);
    EXPECT_DOUBLE_EQ(track->GetVelocityMin(), 10);
}

TEST(CParserGPX, MatchesNamespacesByTheirURIWhateverThePrefix)
{
    ObjectList prefixed;
    ASSERT_EQ(ParseText(R"(<g:gpx xmlns:g="http://www.topografix.com/GPX/1/1" xmlns:o="urn:other">
 <g:wpt lat="1" lon="2"><g:name>Mine</g:name><o:name>Theirs</o:name></g:wpt>
 <o:wpt lat="3" lon="4"><o:name>Not a waypoint</o:name></o:wpt>
 <wpt lat="5" lon="6"/>
</g:gpx>)",
                  prefixed),
        noErr);
    // The unprefixed wpt is in no namespace, which plain GPX files use too.
    ASSERT_EQ(prefixed.Size(), 2u);
    EXPECT_STREQ(prefixed[0]->GetName().GetUTF8(), "Mine");
    EXPECT_DOUBLE_EQ(dynamic_cast<CMapWaypoint*>(prefixed[1])->GetPosition().GetLatitude(), 5);

    ObjectList plain;
    EXPECT_EQ(ParseText("<gpx><wpt lat=\"1\" lon=\"2\"/></gpx>", plain), noErr);
    EXPECT_EQ(plain.Size(), 1u);

    // A root of another namespace is not GPX at all.
    ObjectList other;
    EXPECT_EQ(ParseText("<gpx xmlns=\"urn:not-gpx\"><wpt lat=\"1\" lon=\"2\"/></gpx>", other), kImportNotRecognisedErr);
    EXPECT_EQ(other.Size(), 0u);
}

TEST(CParserGPX, SkipsExtensionsAndTheShapingPointsInThem)
{
    ObjectList objects;
    ASSERT_EQ(ParseText(GPX11(R"(
 <wpt lat="1" lon="1"><name>A</name><extensions><wpt lat="9" lon="9"/><x:y xmlns:x="urn:x">deep<x:z/></x:y></extensions></wpt>
 <rte><name>R</name>
  <rtept lat="1" lon="1"><extensions><gpxx:RoutePointExtension xmlns:gpxx="http://www.garmin.com/xmlschemas/GpxExtensions/v3">
   <gpxx:rpt lat="1.1" lon="1.1"/><gpxx:rpt lat="1.2" lon="1.2"/></gpxx:RoutePointExtension></extensions></rtept>
  <rtept lat="2" lon="2"/>
  <extensions><rtept lat="5" lon="5"/></extensions>
 </rte>
 <extensions><trk><trkseg><trkpt lat="0" lon="0"/></trkseg></trk></extensions>
)"),
                  objects),
        noErr);
    EXPECT_EQ(CountObjects(objects), (ImportCounts { 1, 1, 2, 0, 0 }));
}

TEST(CParserGPX, ReadsTimesInEveryISOForm)
{
    struct Case {
        char const* text;
        double seconds; // since 2001-01-01 UTC; NAN: refused
    };
    Case const cases[] = {
        { "2001-01-01T00:00:00Z", CParserGPX::kReferenceMomentTime }, // never the zero "unknown" date
        { "2001-01-01T01:00:00+01:00", CParserGPX::kReferenceMomentTime },
        { "2021-06-01T00:00:00Z", kSecondsFrom2001To2021June1 },
        { "2021-06-01T02:30:00+02:30", kSecondsFrom2001To2021June1 },
        { "2021-06-01T00:00:00-0100", kSecondsFrom2001To2021June1 + 3600 },
        { "2021-06-01T00:00:00.25Z", kSecondsFrom2001To2021June1 + 0.25 },
        { "2021-06-01T00:00:00", kSecondsFrom2001To2021June1 }, // no zone: UTC
        { "2000-02-29T12:00:00Z", -307 * 86400 + 43200 },
        { "1999-02-29T12:00:00Z", NAN },
        { "2021-13-01T00:00:00Z", NAN },
        { "2021-06-01T24:00:00Z", NAN },
        { "2021-06-01", NAN },
        { "2021-06-01T00:00:00Zjunk", NAN },
        { "2021-06-01T00:00:00+99:00", NAN },
        { "yesterday at noon", NAN },
        { "", NAN },
    };
    for (Case const& test : cases) {
        double seconds = -1;
        bool read = CParserGPX::ParseTime(test.text, seconds);
        EXPECT_EQ(read, !std::isnan(test.seconds)) << test.text;
        if (read) {
            EXPECT_DOUBLE_EQ(seconds, test.seconds) << test.text;
        }
    }
}

// A track that starts at the very reference moment keeps its times known, in the file too.
TEST(CParserGPX, ATrackStartingAtTheReferenceMomentKeepsItsTimes)
{
    ObjectList objects;
    ASSERT_EQ(ParseText(GPX11(R"(<trk><trkseg>
 <trkpt lat="57" lon="11"><time>2001-01-01T00:00:00Z</time></trkpt>
 <trkpt lat="57" lon="11.001"><time>2001-01-01T00:00:10Z</time></trkpt>
</trkseg></trk>)"),
                  objects),
        noErr);
    auto* track = dynamic_cast<CMapTrack*>(objects[0]);
    ASSERT_NE(track, nullptr);
    EXPECT_TRUE(track->GetSamples()[0].GetTime().IsValid());
    EXPECT_TRUE(track->IsTimeKnown());
    EXPECT_NEAR(track->GetDuration(), 10, 1e-3);
    CFDictionary properties;
    ASSERT_EQ(track->EncodeProperties(properties), noErr);
    CMapTrack read;
    ASSERT_EQ(read.DecodeProperties(properties), noErr);
    EXPECT_TRUE(read.IsTimeKnown()) << "the saved form keeps the moment apart from unknown";
}

TEST(CParserGPX, EveryPointStartsWithoutTextsWhateverCameBefore)
{
    // A track point's texts are read and dropped: neither its track nor the points after it
    // take them.
    ObjectList objects;
    ASSERT_EQ(ParseText(GPX11(R"(<trk><name>Walk</name><trkseg>
 <trkpt lat="1" lon="1"><name>Kept?</name><desc>No</desc><cmt>No</cmt><sym>Flag, Blue</sym>
  <link href="https://example.org/no"/></trkpt>
</trkseg></trk>
 <wpt lat="2" lon="2"/>
 <wpt lat="3" lon="3"><name>Named</name><desc>Said</desc><sym>Flag, Blue</sym><link href="https://example.org/w"/></wpt>
 <rte><rtept lat="4" lon="4"/></rte>
 <trk><trkseg><trkpt lat="5" lon="5"><name>Again</name></trkpt></trkseg></trk>
 <wpt lat="6" lon="6"/>)"),
                  objects),
        noErr);
    ASSERT_EQ(objects.Size(), 7u);
    for (std::size_t i : { 1, 3, 6 }) {
        auto* point = dynamic_cast<CMapWaypoint*>(objects[i]);
        ASSERT_NE(point, nullptr) << i;
        EXPECT_STREQ(point->GetName().GetUTF8(), "") << i;
        EXPECT_STREQ(point->GetDescription().GetUTF8(), "") << i;
        EXPECT_STREQ(point->GetURL().GetUTF8(), "") << i;
        EXPECT_EQ(point->GetSymbol(), kWaypointSymbolDefault) << i;
    }
    EXPECT_STREQ(dynamic_cast<CMapWaypoint*>(objects[2])->GetName().GetUTF8(), "Named");
    for (std::size_t i : { 0, 5 }) {
        auto* track = dynamic_cast<CMapTrack*>(objects[i]);
        ASSERT_NE(track, nullptr) << i;
        EXPECT_STREQ(track->GetName().GetUTF8(), i == 0 ? "Walk" : "") << i;
        EXPECT_STREQ(track->GetDescription().GetUTF8(), "") << i;
        EXPECT_STREQ(track->GetURL().GetUTF8(), "") << i;
    }
}

TEST(CParserGPX, LeavesOutOptionalValuesItCannotRead)
{
    ObjectList objects;
    ASSERT_EQ(ParseText(GPX11(R"(<trk><trkseg>
 <trkpt lat="1" lon="1"><ele>high</ele><time>soon</time><speed>-3</speed></trkpt>
 <trkpt lat="1" lon="1.001"><ele>1e300</ele><time>2021-06-01T00:00:00Z</time></trkpt>
</trkseg></trk>)"),
                  objects),
        noErr);
    auto* track = dynamic_cast<CMapTrack*>(objects[0]);
    ASSERT_NE(track, nullptr);
    EXPECT_DOUBLE_EQ(track->GetSamples()[0].GetAltitude(), 0);
    EXPECT_DOUBLE_EQ(track->GetSamples()[1].GetAltitude(), 0);
    EXPECT_FALSE(track->GetSamples()[0].GetTime().IsValid());
    EXPECT_FALSE(track->IsTimeKnown());
    EXPECT_FALSE(track->IsVelocityKnown());
}

// Pieces read on threads must give exactly what one pass gives, however the cuts fall:
// in long tracks, between tracks, next to waypoints and routes.
TEST(CParserGPX, PiecesGiveWhatOnePassGives)
{
    std::string content = " <wpt lat=\"1\" lon=\"1\"><name>Start</name></wpt>\n";
    int point = 0;
    auto points = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i, ++point)
            text += "   <trkpt lat=\"" + std::to_string(50 + point * 1e-5) + "\" lon=\"10\"><ele>"
                + std::to_string(point) + "</ele><time>2021-06-01T00:" + std::to_string(10 + point / 60 % 50) + ":"
                + std::to_string(10 + point % 50) + "Z</time></trkpt>\n";
        return text;
    };
    for (int track = 0; track < 6; ++track) {
        content += " <trk><name>Track " + std::to_string(track) + "</name>\n  <trkseg>\n" + points(800 + track * 300)
            + "  </trkseg>\n  <trkseg>\n" + points(500) + "  </trkseg>\n </trk>\n";
        content += " <rte><name>Between " + std::to_string(track) + "</name><rtept lat=\"2\" lon=\"2\"/></rte>\n";
    }
    TempFolder folder;
    WriteFile(folder / "pieces.gpx", GPX11(content));
    CFile file = FileOf(folder / "pieces.gpx");

    CGPXReader onePass;
    ASSERT_EQ(onePass.ReadFile(file), noErr);
    for (UInt64 pieceSize : { 16 * 1024, 50 * 1024, 200 * 1024 }) {
        std::vector<CGPXReader::Record> records;
        ASSERT_EQ(CParserGPX::ReadInPieces(file, pieceSize, 64, records), noErr) << pieceSize;
        ASSERT_EQ(records.size(), onePass.mRecords.size()) << pieceSize;
        for (std::size_t i = 0; i < records.size(); ++i) {
            ASSERT_EQ(records[i].index(), onePass.mRecords[i].index()) << i;
            if (auto* track = std::get_if<CGPXReader::Track>(&records[i])) {
                auto const& expected = std::get<CGPXReader::Track>(onePass.mRecords[i]);
                EXPECT_EQ(track->texts.name, expected.texts.name);
                ASSERT_EQ(track->samples.size(), expected.samples.size()) << track->texts.name;
                for (std::size_t s = 0; s < expected.samples.size(); ++s) {
                    ASSERT_EQ(track->samples[s], expected.samples[s]) << s;
                    ASSERT_EQ(track->samples[s].GetTime(), expected.samples[s].GetTime()) << s;
                }
            }
        }
    }
}

// A cut before a track point written inside a comment makes that piece end inside the
// comment; the file is then read in one pass, with the same result.
TEST(CParserGPX, PiecesThatDoNotJoinAreReadInOnePass)
{
    std::string points;
    for (int i = 0; i < 4000; ++i)
        points += "<trkpt lat=\"1\" lon=\"" + std::to_string(i * 1e-4) + "\"/>\n";
    std::string commented = "<!--\n" + std::string(points.begin(), points.begin() + points.size() / 2) + "-->\n";
    TempFolder folder;
    WriteFile(folder / "comment.gpx", GPX11("<trk><trkseg>\n" + commented + points + "</trkseg></trk>\n"));
    CFile file = FileOf(folder / "comment.gpx");
    std::vector<CGPXReader::Record> records;
    EXPECT_EQ(CParserGPX::ReadInPieces(file, 8 * 1024, 64, records), kImportPieceErr);

    ObjectList objects;
    CParserGPX parser;
    ASSERT_EQ(parser.ParseFile(file, objects.Get()), noErr);
    EXPECT_EQ(CountObjects(objects), (ImportCounts { 0, 0, 0, 1, 4000 }));
}

// A route without points shows nothing and cannot be edited: it is not kept, and the objects
// around it are.
TEST(CParserGPX, ARouteWithoutPointsIsNotKept)
{
    ObjectList objects;
    ASSERT_EQ(ParseText(GPX11(R"(
 <wpt lat="1" lon="2"><name>Before</name></wpt>
 <rte><name>Empty</name><desc>Nothing here</desc></rte>
 <rte><name>Bare</name><extensions><rtept lat="5" lon="6"/></extensions></rte>
 <rte><name>One</name><rtept lat="3" lon="4"/></rte>
 <wpt lat="5" lon="6"><name>After</name></wpt>
)"),
                  objects),
        noErr);
    EXPECT_EQ(CountObjects(objects), (ImportCounts { 2, 1, 1, 0, 0 }));
    for (std::size_t i = 0; i < objects.Size(); ++i)
        if (auto* route = dynamic_cast<CMapRoute*>(objects[i]))
            EXPECT_STREQ(route->GetName().GetUTF8(), "One");
}

// An object's first link is its link, whether written as a GPX 1.1 <link> or a GPX 1.0 <url>:
// a later one (another page about it) never replaces it.
TEST(CParserGPX, AnObjectsFirstLinkIsItsLink)
{
    ObjectList objects;
    ASSERT_EQ(ParseText(GPX11(R"(
 <wpt lat="1" lon="2"><name>W</name><link href="https://example.org/first"><text>First</text></link>
  <link href="https://example.org/second"/></wpt>
 <rte><name>R</name><link href="https://example.org/route"/><link href="https://example.org/later"/>
  <rtept lat="3" lon="4"/></rte>
 <trk><name>T</name><link href="https://example.org/track"/><link href="https://example.org/later"/>
  <trkseg><trkpt lat="5" lon="6"/></trkseg></trk>
 <wpt lat="1" lon="2"><name>Old</name><url>http://example.org/url</url><link href="https://example.org/after"/></wpt>
 <wpt lat="1" lon="2"><name>New</name><link href="https://example.org/link"/><url>http://example.org/after</url></wpt>
)"),
                  objects),
        noErr);
    std::map<std::string, std::string> links;
    for (std::size_t i = 0; i < objects.Size(); ++i)
        links[objects[i]->GetName().GetStdString()] = objects[i]->GetURL().GetStdString();
    EXPECT_EQ(links["W"], "https://example.org/first");
    EXPECT_EQ(links["R"], "https://example.org/route");
    EXPECT_EQ(links["T"], "https://example.org/track");
    EXPECT_EQ(links["Old"], "http://example.org/url");
    EXPECT_EQ(links["New"], "https://example.org/link");
}

TEST(CParserGPX, MapsTheSymbolNamesOtherProgramsWrite)
{
    struct Case {
        char const* name;
        GPSWaypointSymbol symbol;
    };
    Case const cases[] = {
        { "Flag, Blue", 'fblu' }, { "FlagBlue", 'fblu' }, { "fblu", 'fblu' }, { "City (Large)", 'clrg' },
        { "Gas Station", 'fuel' }, { "GEOCACHE", 'geoc' }, { "Geocache Found", 'geof' }, { "Man Overboard", 'mob!' },
        { "Skull and Crossbones", 'skul' }, { "Restroom", 'rest' }, { "Wi-Fi Hotspot", 'wifi' },
        { "Something else", kWaypointSymbolDefault }, { "", kWaypointSymbolDefault },
    };
    for (Case const& test : cases)
        EXPECT_EQ(CSymbolNameUtilities::GetSymbol(test.name), test.symbol) << test.name;
    EXPECT_EQ(CSymbolNameUtilities::GetSymbol("nothing", 'wdot'), GPSWaypointSymbol('wdot'));
}

// What waits for a reader on another thread follows it through the monitor, and can stop it:
// a stopped reading gives nothing, in one pass or in pieces (never falling back to one pass).
TEST(CParserGPX, AMonitorFollowsTheReadingAndStopsIt)
{
    std::string content = " <wpt lat=\"1\" lon=\"1\"><name>Start</name></wpt>\n <trk><name>Long</name><trkseg>\n";
    for (int i = 0; i < 12000; ++i)
        content += "  <trkpt lat=\"" + std::to_string(50 + i * 1e-5) + "\" lon=\"10\"><ele>" + std::to_string(i)
            + "</ele></trkpt>\n";
    content += " </trkseg></trk>\n";
    TempFolder folder;
    WriteFile(folder / "many.gpx", GPX11(content));
    CFile file = FileOf(folder / "many.gpx");
    ASSERT_GT(file.GetForkSize(), SInt64(2 * CXMLStreamReader::kChunkSize));

    CReadMonitor followed;
    ObjectList objects;
    CParserGPX parser;
    parser.SetMonitor(&followed);
    ASSERT_EQ(parser.ParseFile(file, objects.Get()), noErr);
    EXPECT_EQ(objects.Get().size(), 2u);
    EXPECT_EQ(followed.bytesRead.load(), UInt64(file.GetForkSize()));
    EXPECT_EQ(followed.toMake.load(), 2u);

    CReadMonitor stopped;
    stopped.cancelled = true;
    ObjectList none;
    parser.SetMonitor(&stopped);
    EXPECT_EQ(parser.ParseFile(file, none.Get()), userCanceledErr);
    EXPECT_TRUE(none.Get().empty());
    std::vector<CGPXReader::Record> records;
    EXPECT_EQ(CParserGPX::ReadInPieces(file, 64 * 1024, 4, records), noErr) << "the file can be read in pieces";
    records.clear();
    EXPECT_EQ(CParserGPX::ReadInPieces(file, 64 * 1024, 4, records, &stopped), userCanceledErr);
    EXPECT_TRUE(records.empty());
}
