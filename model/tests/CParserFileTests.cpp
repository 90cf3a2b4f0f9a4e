#include "model/CParserGPX.h"
#include "model/CParserLoc.h"
#include "model/tests/ModelTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>

using namespace tw::test;

namespace {

enum class Kind { None, GPX, Loc };

Kind KindOf(CParserFile const* parser)
{
    if (dynamic_cast<CParserGPX const*>(parser))
        return Kind::GPX;
    if (dynamic_cast<CParserLoc const*>(parser))
        return Kind::Loc;
    return Kind::None;
}

struct Expectation {
    ImportCounts counts;
    std::vector<std::string> names;
};

Expectation ReadSidecar(std::filesystem::path const& path)
{
    Expectation expectation;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        auto space = line.find(' ');
        std::string key = line.substr(0, space), value = line.substr(space + 1);
        if (key == "name")
            expectation.names.push_back(value);
        else if (key == "waypoints")
            expectation.counts.waypoints = std::stoul(value);
        else if (key == "routes")
            expectation.counts.routes = std::stoul(value);
        else if (key == "route_points")
            expectation.counts.routePoints = std::stoul(value);
        else if (key == "tracks")
            expectation.counts.tracks = std::stoul(value);
        else if (key == "track_points")
            expectation.counts.trackPoints = std::stoul(value);
    }
    return expectation;
}

} // namespace

TEST(CParserFile, ChoosesTheParserByContentBeforeName)
{
    TempFolder folder;
    std::string const gpx = GPX11("<wpt lat=\"1\" lon=\"2\"/>");
    std::string const loc = "<?xml version=\"1.0\"?>\n<!-- written by hand -->\n<loc version=\"1.0\"></loc>";
    struct Case {
        char const* name;
        std::string content;
        Kind kind;
    };
    Case const cases[] = {
        { "a.gpx", gpx, Kind::GPX },
        { "b.loc", gpx, Kind::GPX }, // misnamed
        { "c.xml", gpx, Kind::GPX },
        { "d", gpx, Kind::GPX },
        { "e.gpx", loc, Kind::Loc },
        { "f.txt", loc, Kind::Loc },
        { "g.gpx", "<kml xmlns=\"http://www.opengis.net/kml/2.2\"></kml>", Kind::None },
        { "h.txt", "just some words", Kind::None },
        { "i.gpx", "\x01\x02\xff\xfe garbage", Kind::GPX }, // says nothing: the name decides
        { "j.LOC", "", Kind::Loc },
        { "k.csv", "", Kind::None },
    };
    for (Case const& test : cases) {
        WriteFile(folder / test.name, test.content);
        std::unique_ptr<CParserFile> parser(CParserFile::CreateParser(FileOf(folder / test.name)));
        EXPECT_EQ(KindOf(parser.get()), test.kind) << test.name;
    }
    EXPECT_EQ(CParserFile::CreateParser(FileOf(folder / "missing.gpx")), nullptr);
    EXPECT_TRUE(CParserGPX().CanParse(FileOf(folder / "b.loc")));
    EXPECT_FALSE(CParserLoc().CanParse(FileOf(folder / "b.loc")));
}

// GPSBabel's conversions of the sources in data/import/sources to GPX 1.0, GPX 1.1 and LOC
// (tools/model/make-import-corpus.sh), with what an independent reader counted in each.
TEST(CParserFile, ImportsTheCorpusAsOtherToolsCountIt)
{
    int files = 0;
    for (auto const& entry : std::filesystem::directory_iterator(ModelData("import"))) {
        if (entry.path().extension() != ".expect")
            continue;
        std::filesystem::path file = entry.path();
        file.replace_extension();
        Expectation expectation = ReadSidecar(entry.path());
        ObjectList objects;
        ASSERT_EQ(Import(file, objects), noErr) << file;
        EXPECT_EQ(CountObjects(objects), expectation.counts) << file;
        std::set<std::string> names;
        for (CMapWaypoint* waypoint : objects.OfType<CMapWaypoint>())
            names.insert(waypoint->GetName().GetUTF8());
        for (std::string const& name : expectation.names)
            EXPECT_TRUE(names.count(name)) << file << ": " << name;
        ++files;
    }
    EXPECT_EQ(files, 18);
}

TEST(CParserFile, ReadsTheEncodingsFilesDeclare)
{
    TempFolder folder;
    // UTF-16 with a byte order mark.
    std::u16string text = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><gpx><wpt lat=\"1\" "
                          u"lon=\"2\"><name>Malmö</name></wpt></gpx>";
    WriteFile(folder / "utf16.gpx", std::string(reinterpret_cast<char const*>(text.data()), text.size() * 2));
    ObjectList utf16;
    ASSERT_EQ(Import(folder / "utf16.gpx", utf16), noErr);
    ASSERT_EQ(utf16.Size(), 1u);
    EXPECT_STREQ(utf16[0]->GetName().GetUTF8(), "Malmö");

    // Windows code page 1252, as some writers declare it.
    WriteFile(folder / "cp1252.gpx",
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?><gpx><wpt lat=\"1\" lon=\"2\">"
        "<name>Caf\xE9 \x80 5</name></wpt></gpx>");
    ObjectList cp1252;
    ASSERT_EQ(Import(folder / "cp1252.gpx", cp1252), noErr);
    ASSERT_EQ(cp1252.Size(), 1u);
    EXPECT_STREQ(cp1252[0]->GetName().GetUTF8(), "Café € 5");
}
