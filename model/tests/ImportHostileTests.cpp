// Damaged and hostile files: each gives its status, and the caller's list is left as it was.

#include "model/CParserGPX.h"
#include "model/CParserLoc.h"
#include "model/tests/ModelTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>

using namespace tw::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr long kMaxGrowth = 96 * 1024; // [KiB]: freed buffers stay in the sanitizer's quarantine
#else
constexpr long kMaxGrowth = 48 * 1024; // [KiB]
#endif

std::string const kWaypoint = "<wpt lat=\"1\" lon=\"2\"><name>Kept</name></wpt>";

std::string Repeat(std::string const& text, int count)
{
    std::string result;
    result.reserve(text.size() * std::size_t(count));
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

std::string BillionLaughs()
{
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n <!ENTITY lol \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        text += " <!ENTITY lol" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i)
            text += "&lol" + (level == 1 ? std::string() : std::to_string(level - 1)) + ";";
        text += "\">\n";
    }
    return text + "]>\n<gpx><wpt lat=\"1\" lon=\"2\"><name>&lol9;</name></wpt></gpx>\n";
}

// Parses with the parser the file's name and content call for, into a list that already
// holds one object of the caller's.
OSStatus ParseInto(std::filesystem::path const& path, std::size_t& added)
{
    ObjectList objects;
    objects.Get().push_back(new CMapWaypoint);
    CMapObject* callers = objects[0];
    std::unique_ptr<CParserFile> parser(CParserFile::CreateParser(FileOf(path)));
    if (!parser)
        return kImportNotRecognisedErr;
    OSStatus status = parser->ParseFile(FileOf(path), objects.Get());
    EXPECT_EQ(objects[0], callers);
    added = objects.Size() - 1;
    return status;
}

} // namespace

TEST(ImportHostile, EachDamagedFileGivesItsStatusAndNothingElse)
{
    struct Case {
        char const* name;
        std::string content;
        OSStatus status;
    };
    std::string const whole = GPX11(kWaypoint + "<trk><trkseg><trkpt lat=\"3\" lon=\"4\"/></trkseg></trk>");
    std::vector<Case> const cases {
        { "truncated.gpx", whole.substr(0, whole.size() - 20), kImportTruncatedErr },
        { "truncated-in-tag.gpx", whole.substr(0, whole.find("lon=\"4") + 3), kImportTruncatedErr },
        { "wrong-nesting.gpx", GPX11("<wpt lat=\"1\" lon=\"2\"><name>x</wpt></name>"), kImportMalformedErr },
        { "unclosed-root.gpx", "<gpx>" + kWaypoint, kImportTruncatedErr },
        { "two-roots.gpx", "<gpx></gpx><gpx></gpx>", kImportMalformedErr },
        { "huge-number.gpx", GPX11(kWaypoint + "<wpt lat=\"1e400\" lon=\"2\"/>"), kImportValueErr },
        { "long-number.gpx", GPX11(kWaypoint + "<wpt lat=\"1\" lon=\"" + std::string(400, '9') + "\"/>"),
            kImportValueErr },
        { "nan.gpx", GPX11(kWaypoint + "<wpt lat=\"NaN\" lon=\"2\"/>"), kImportValueErr },
        { "inf.gpx", GPX11("<trk><trkseg><trkpt lat=\"1\" lon=\"inf\"/></trkseg></trk>"), kImportValueErr },
        { "past-pole.gpx", GPX11(kWaypoint + "<wpt lat=\"90.0001\" lon=\"2\"/>"), kImportValueErr },
        { "past-antimeridian.gpx", GPX11("<rte><rtept lat=\"1\" lon=\"-180.5\"/></rte>"), kImportValueErr },
        { "no-latitude.gpx", GPX11("<wpt lon=\"2\"/>"), kImportValueErr },
        { "comma-decimal.gpx", GPX11("<wpt lat=\"1,5\" lon=\"2\"/>"), kImportValueErr },
        { "billion-laughs.gpx", BillionLaughs(), kImportEntityErr },
        { "external-entity.gpx",
            "<!DOCTYPE gpx [<!ENTITY secret SYSTEM \"file:///etc/passwd\">]><gpx><wpt lat=\"1\" lon=\"2\">"
            "<name>&secret;</name></wpt></gpx>",
            kImportEntityErr },
        { "undefined-entity.gpx", GPX11("<wpt lat=\"1\" lon=\"2\"><name>&nothing;</name></wpt>"), kImportMalformedErr },
        { "deep.gpx", GPX11(Repeat("<extensions>", 5000) + Repeat("</extensions>", 5000)), kImportLimitErr },
        { "empty.gpx", "", kImportNotRecognisedErr },
        { "spaces.gpx", "   \n\n  ", kImportNotRecognisedErr },
        { "prose.gpx", "Dear diary, today I walked.", kImportNotRecognisedErr }, // no GPX, whatever its name
        { "broken.loc", "<loc><waypoint><coord lat=\"1\" lon=\"2\"/></waypoint", kImportTruncatedErr },
        { "nested.loc", "<loc><waypoint><coord lat=\"1\" lon=\"2\"></waypoint></coord></loc>", kImportMalformedErr },
    };
    TempFolder folder;
    for (Case const& test : cases) {
        WriteFile(folder / test.name, test.content);
        std::size_t added = 99;
        EXPECT_EQ(ParseInto(folder / test.name, added), test.status) << test.name;
        EXPECT_EQ(added, 0u) << test.name;
    }
}

TEST(ImportHostile, BinaryGarbageNamedGPXIsRefused)
{
    TempFolder folder;
    std::mt19937 random(20);
    for (int round = 0; round < 20; ++round) {
        std::string bytes(std::size_t(1 + random() % 20000), '\0');
        for (char& byte : bytes)
            byte = char(random());
        if (round % 2)
            bytes.insert(0, "<?xml version=\"1.0\"?><gpx>"); // a plausible start
        WriteFile(folder / "garbage.gpx", bytes);
        std::size_t added = 99;
        EXPECT_NE(ParseInto(folder / "garbage.gpx", added), noErr) << round;
        EXPECT_EQ(added, 0u);
    }
}

// Texts and tokens are bounded without reading them whole: a 100 MB text is refused once
// it passes the bound, a 100 MB tag once it passes the token bound.
TEST(ImportHostile, HugeTextsAndTagsAreRefusedWithoutHoldingThem)
{
    TempFolder folder;
    auto write = [&](char const* name, std::string const& head, char filler, std::string const& tail) {
        std::ofstream out(folder / name, std::ios::binary);
        out << head;
        std::string block(1 << 20, filler);
        for (int i = 0; i < 100; ++i)
            out << block;
        out << tail;
    };
    write("text.gpx", "<gpx><wpt lat=\"1\" lon=\"2\"><desc>", 'a', "</desc></wpt></gpx>");
    write("tag.gpx", "<gpx><wpt lat=\"1\" lon=\"2\" note=\"", 'b', "\"/></gpx>");
    write("comment.loc", "<loc><!--", 'c', "--></loc>");
    write("ignored.gpx", "<gpx><wpt lat=\"1\" lon=\"2\"><extensions>", 'd', "</extensions></wpt></gpx>");

    rusage before {};
    getrusage(RUSAGE_SELF, &before);
    std::size_t added = 99;
    EXPECT_EQ(ParseInto(folder / "text.gpx", added), kImportLimitErr);
    EXPECT_EQ(ParseInto(folder / "tag.gpx", added), kImportLimitErr);
    EXPECT_EQ(ParseInto(folder / "comment.loc", added), kImportLimitErr);
    EXPECT_EQ(added, 0u);
    // A long text nobody reads costs nothing and stops nothing.
    EXPECT_EQ(ParseInto(folder / "ignored.gpx", added), noErr);
    EXPECT_EQ(added, 1u);
    rusage after {};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, kMaxGrowth); // far below the 100 MB read
}

namespace {

// A lower import limit for the life of the object, restoring the production one after.
class ScopedImportLimits {
public:
    explicit ScopedImportLimits(std::size_t limit)
    {
        CParserGPX::SetMaxObjectsForTesting(limit);
        CParserLoc::SetMaxWaypointsForTesting(limit);
    }
    ~ScopedImportLimits()
    {
        CParserGPX::SetMaxObjectsForTesting(0);
        CParserLoc::SetMaxWaypointsForTesting(0);
    }
    ScopedImportLimits(ScopedImportLimits const&) = delete;
    ScopedImportLimits& operator=(ScopedImportLimits const&) = delete;
};

std::string Waypoints(int count) { return Repeat(kWaypoint, count); }

} // namespace

// A file of exactly as many objects as the limit is read whole; one more and it is refused,
// whichever kind of object goes past it.
TEST(ImportHostile, ObjectLimitsHoldAtTheLimitAndRefuseOnePast)
{
    std::size_t const kLimit = 12;
    ScopedImportLimits const limits(kLimit);
    EXPECT_EQ(CParserGPX::GetMaxObjects(), kLimit);
    TempFolder folder;
    std::string const track = "<trk><trkseg><trkpt lat=\"3\" lon=\"4\"/><trkpt lat=\"3.1\" lon=\"4\"/></trkseg></trk>";
    // A route of two points is three objects: the route and a waypoint for each point.
    std::string const route = "<rte><rtept lat=\"5\" lon=\"6\"/><rtept lat=\"5.1\" lon=\"6\"/></rte>";
    std::string const longRoute
        = "<rte><rtept lat=\"5\" lon=\"6\"/><rtept lat=\"5.1\" lon=\"6\"/><rtept lat=\"5.2\" lon=\"6\"/></rte>";
    struct Case {
        char const* name; // of the kind of object that goes past
        std::string at; // kLimit objects
        std::string past; // kLimit + 1
    };
    int const n = int(kLimit);
    Case const cases[] = {
        { "waypoint", Waypoints(n), Waypoints(n + 1) },
        { "track", Waypoints(n - 1) + track, Waypoints(n) + track },
        { "route", Waypoints(n - 3) + route, Waypoints(n - 2) + route },
        { "route point", track + Waypoints(n - 4) + route, track + Waypoints(n - 3) + longRoute },
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(folder / "at.gpx", GPX11(c.at));
        std::size_t added = 0;
        EXPECT_EQ(ParseInto(folder / "at.gpx", added), noErr);
        EXPECT_EQ(added, kLimit);
        WriteFile(folder / "past.gpx", GPX11(c.past));
        EXPECT_EQ(ParseInto(folder / "past.gpx", added), kImportObjectCountErr);
        EXPECT_EQ(added, 0u);
    }

    auto loc = [](std::size_t count) {
        std::string text = "<?xml version=\"1.0\"?>\n<loc version=\"1.0\">";
        for (std::size_t i = 0; i < count; ++i)
            text += "<waypoint><name id=\"GC" + std::to_string(i) + "\">Cache</name><coord lat=\"1\" lon=\"2\"/></waypoint>";
        return text + "</loc>\n";
    };
    WriteFile(folder / "at.loc", loc(kLimit));
    WriteFile(folder / "past.loc", loc(kLimit + 1));
    std::size_t added = 0;
    EXPECT_EQ(ParseInto(folder / "at.loc", added), noErr);
    EXPECT_EQ(added, kLimit);
    EXPECT_EQ(ParseInto(folder / "past.loc", added), kImportObjectCountErr);
    EXPECT_EQ(added, 0u);
}

// The track points of all the tracks of a file count against one limit: exactly that many are
// read, whether the file is read in one pass or in pieces; one more and the file is refused.
TEST(ImportHostile, TheTrackPointLimitHoldsAtTheLimitAndRefusesOnePast)
{
    std::size_t const kLimit = 3000;
    CParserGPX::SetMaxTrackPointsForTesting(kLimit);
    EXPECT_EQ(CParserGPX::GetMaxTrackPoints(), kLimit);
    auto tracks = [](std::size_t count) {
        // Two tracks, the first of two segments.
        std::size_t const first = count / 2;
        std::string text = "<trk><trkseg>\n";
        for (std::size_t i = 0; i < count; ++i) {
            if (i == first / 2)
                text += "</trkseg><trkseg>\n";
            if (i == first)
                text += "</trkseg></trk>\n<trk><trkseg>\n";
            text += "<trkpt lat=\"" + std::to_string(50 + double(i) * 1e-5) + "\" lon=\"10\"/>\n";
        }
        return text + "</trkseg></trk>\n";
    };
    TempFolder folder;
    WriteFile(folder / "at.gpx", GPX11(tracks(kLimit)));
    WriteFile(folder / "past.gpx", GPX11(tracks(kLimit + 1)));
    ObjectList objects;
    CParserGPX parser;
    ASSERT_EQ(parser.ParseFile(FileOf(folder / "at.gpx"), objects.Get()), noErr);
    EXPECT_EQ(CountObjects(objects), (ImportCounts { 0, 0, 0, 2, kLimit }));
    std::vector<CGPXReader::Record> records;
    EXPECT_EQ(CParserGPX::ReadInPieces(FileOf(folder / "at.gpx"), 16 * 1024, 8, records), noErr) << "in pieces";
    std::size_t added = 99;
    EXPECT_EQ(ParseInto(folder / "past.gpx", added), kImportTrackPointCountErr);
    EXPECT_EQ(added, 0u);
    records.clear();
    EXPECT_EQ(CParserGPX::ReadInPieces(FileOf(folder / "past.gpx"), 16 * 1024, 8, records), kImportPieceErr)
        << "in pieces, the one pass then says where";
    CParserGPX::SetMaxTrackPointsForTesting(0);
    EXPECT_EQ(CParserGPX::GetMaxTrackPoints(), CParserGPX::kMaxTrackPoints);
}
