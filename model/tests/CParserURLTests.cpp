#include "foundation/CTextUtilities.h"
#include "mapdata/CMapManager.h"
#include "model/CParserURL.h"
#include "model/IMapLinkView.h"
#include "model/tests/fuzz/FuzzParserURLEntry.h"
#include "model/tests/fuzz/FuzzViewLinkEntry.h"
#include "platform/tests/support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

class TestView : public IMapLinkView {
public:
    TestView(double width, double height, unsigned long zoom)
        : mSize { width, height }
        , mZoom(zoom)
    {
    }
    unsigned long GetMapZoom() const override { return mZoom; }
    CGSize GetMapViewSize() const override { return mSize; }

private:
    CGSize mSize;
    unsigned long mZoom;
};

struct Parsed {
    OSStatus status;
    CCoordinate coordinate;
    unsigned long zoom;
};

// Unparsed results keep the sentinels, which no form produces.
Parsed Parse(std::string const& text, IMapLinkView* view = nullptr)
{
    Parsed parsed { 1, CCoordinate(-1, -1, 0), 99 };
    parsed.status = CParserURL::ParseURL(CString(text.c_str()), view, parsed.coordinate, parsed.zoom);
    return parsed;
}

double MetresBetween(CCoordinate const& a, CCoordinate const& b) { return CMapManager().GetDistance(a, b); }

struct LinkCase {
    char const* link;
    double latitude;
    double longitude;
    unsigned long zoom;
    double toleranceMetres;
};

// OS OSTN15 test points: TP09 (Lambeth) at 51.48936564950 N, 0.11992557180 W is grid
// 530624.974, 178388.464; TP20 (Leeds) at 53.80021519630 N, 1.66379168242 W is 422242.186,
// 433818.701. Links on the grid meet them within the Helmert shift's 5 m.
//
// Levels: MultiMap 1:10,000 at London's latitude is level 15 (log2 of 33,964,000 m of
// ground along that parallel over 256 pixels of 2.8 m); StreetMap code 115 is 1:25,000,
// level 14 there; a range of 1,500 m reads back as level 15 (49,000,000 / 2^15 = 1,495 m);
// Yahoo's mag 3 is level 15.
LinkCase const kRealLinks[] = {
    { "http://www.multimap.com/map/browse.cgi?lat=51.5073&lon=-0.1277&scale=10000&icon=x", 51.5073, -0.1277, 15, 0.01 },
    { "http://www.multimap.com/map/browse.cgi?client=public&X=422242&Y=433819&width=700&height=400&coordsys=gb"
      "&scale=25000&out.x=9&out.y=7",
        53.80021519630, -1.66379168242, 14, 5 },
    { "http://www.streetmap.co.uk/map.srf?x=530625&y=178388&z=115", 51.48936564950, -0.11992557180, 14, 5 },
    { "http://maps.google.com/maps?f=q&hl=en&geocode=&q=london&ie=UTF8&ll=51.500152,-0.126236&spn=0.010032,0.027466"
      "&z=16",
        51.500152, -0.126236, 16, 0.01 },
    { "http://maps.google.co.uk/maps?sll=10.0,10.0&ll=51.500152,-0.126236&spn=0.010032,0.027466", 51.500152, -0.126236,
        15, 0.01 },
    { "https://www.google.com/maps/@57.7089,11.9746,15z", 57.7089, 11.9746, 15, 0.01 },
    { "https://www.google.se/maps/place/G%C3%B6teborg/@57.7011,11.9668,13.5z/data=!3m1!4b1", 57.7011, 11.9668, 13,
        0.01 },
    { "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://earth.google.com/kml/2.2\">\n<Placemark>\n"
      "  <name>Ottawa</name>\n  <LookAt>\n    <longitude>-75.6972</longitude>\n    <latitude>45.4215</latitude>\n"
      "    <altitude>0</altitude>\n    <range>1500.25</range>\n    <tilt>0</tilt>\n    <heading>0</heading>\n"
      "  </LookAt>\n  <Point><coordinates>-75.7,45.42,0</coordinates></Point>\n</Placemark>\n</kml>\n",
        45.4215, -75.6972, 15, 0.01 },
    { "<Placemark><name>Pin</name><Point><coordinates>11.9746,57.7089,0</coordinates></Point></Placemark>", 57.7089,
        11.9746, CParserURL::kDefaultZoom, 0.01 },
    { "http://maps.yahoo.com/#mvt=m&lat=40.748441&lon=-73.985664&mag=3&q1=Empire%20State%20Building", 40.748441,
        -73.985664, 15, 0.01 },
    { "http://maps.live.com/default.aspx?v=2&cp=47.619~-122.348&style=r&lvl=15&tilt=-90&dir=0&alt=-1000", 47.619,
        -122.348, 15, 0.01 },
    { "https://www.bing.com/maps?cp=57.7089%7E11.9746&lvl=14.0", 57.7089, 11.9746, 14, 0.01 },
};

TEST(CParserURL, ReadsRealLinksOfEveryForm)
{
    for (LinkCase const& link : kRealLinks) {
        SCOPED_TRACE(link.link);
        Parsed parsed = Parse(link.link);
        ASSERT_EQ(parsed.status, noErr);
        EXPECT_LE(MetresBetween(parsed.coordinate, CCoordinate(link.latitude, link.longitude)), link.toleranceMetres);
        EXPECT_EQ(parsed.zoom, link.zoom);
    }
}

TEST(CParserURL, ReadsTheOwnViewLinkBackFromItsBundleFormat)
{
    CString format = CTextUtilities::GetBundleString("URLTarnwickView");
    ASSERT_NE(format, CString("URLTarnwickView")) << "the bundle lacks the link format";
    for (long level : { 0L, 9L, 17L }) {
        CString link;
        link.Format(format.GetUTF8(), -33.856784, 151.215297, level);
        Parsed parsed = Parse(link.GetStdString());
        ASSERT_EQ(parsed.status, noErr) << link.GetUTF8();
        EXPECT_NEAR(parsed.coordinate.GetLatitude(), -33.856784, 1e-9);
        EXPECT_NEAR(parsed.coordinate.GetLongitude(), 151.215297, 1e-9);
        EXPECT_EQ(parsed.zoom, static_cast<unsigned long>(level));
    }
    // The view-location sheet lower-cases the clipboard first; capitals elsewhere must read too.
    std::string upper = "  TARNWICK://VIEW?LAT=10.5&LON=-20.25&ZOOM=4\n";
    EXPECT_EQ(Parse(upper).zoom, 4u);
    EXPECT_EQ(Parse("http://MAPS.GOOGLE.COM/maps?LL=51.5,-0.12&Z=10").zoom, 10u);
}

TEST(CParserURL, AViewLinkAloneIsReadOnlyInTheOwnForm)
{
    CCoordinate coordinate(-1, -1);
    unsigned long zoom = 99;
    ASSERT_EQ(CParserURL::ParseViewLink("tarnwick://view?lat=57.7&lon=11.97&zoom=14", coordinate, zoom), noErr);
    EXPECT_DOUBLE_EQ(coordinate.GetLatitude(), 57.7);
    EXPECT_DOUBLE_EQ(coordinate.GetLongitude(), 11.97);
    EXPECT_EQ(zoom, 14u);
    for (char const* other : { "http://maps.google.com/maps?ll=51.5,-0.12&z=10", "tarnwick://view?lat=nan&lon=0&zoom=3",
             "tarnwick://view?lat=10&lon=inf&zoom=3", "tarnwick://view?lat=10&lon=20", "" }) {
        CCoordinate untouched(-1, -1);
        unsigned long level = 99;
        EXPECT_EQ(CParserURL::ParseViewLink(other, untouched, level), -206) << other;
        EXPECT_EQ(untouched.GetLatitude(), -1) << other;
        EXPECT_EQ(level, 99u) << other;
    }
}

TEST(CParserURL, ClampsSiteLevelsToTheMapsEighteen)
{
    EXPECT_EQ(Parse("http://maps.google.com/maps?ll=51.5,-0.12&z=21").zoom, 17u);
    EXPECT_EQ(Parse("http://maps.google.com/maps?ll=51.5,-0.12&z=0").zoom, 0u);
    EXPECT_EQ(Parse("http://www.multimap.com/map/browse.cgi?lat=51.5&lon=0&scale=500").zoom, 17u);
    EXPECT_EQ(Parse("http://www.multimap.com/map/browse.cgi?lat=51.5&lon=0&scale=900000000").zoom, 0u);
    EXPECT_EQ(Parse("<kml><range>49000000</range><latitude>1</latitude><longitude>2</longitude></kml>").zoom, 0u);
    EXPECT_EQ(Parse("<kml><range>3</range><latitude>1</latitude><longitude>2</longitude></kml>").zoom, 17u);
    EXPECT_EQ(Parse("http://maps.yahoo.com/#lat=1&lon=2&mag=18").zoom, 0u);
    EXPECT_EQ(Parse("http://maps.yahoo.com/#lat=1&lon=2&mag=1").zoom, 17u);
}

TEST(CParserURL, TakesTheViewsLevelAndSizeWhereTheLinkHasNoZoom)
{
    TestView view(1024, 768, 7);
    EXPECT_EQ(Parse("http://maps.google.com/maps?ll=51.5,-0.12", &view).zoom, 7u);
    EXPECT_EQ(Parse("http://maps.live.com/?cp=47.6~-122.3", &view).zoom, 7u);
    EXPECT_EQ(Parse("http://www.streetmap.co.uk/map.srf?x=530625&y=178388", &view).zoom, 7u);
    EXPECT_EQ(Parse("http://maps.google.com/maps?ll=51.5,-0.12").zoom, CParserURL::kDefaultZoom);
    // A span fills the view: 0.027466° of longitude is 2^13.68 times narrower than 360° over
    // 256 pixels, so a 256-pixel view shows it whole at level 13 and a 1024-pixel one at 15.
    std::string span = "http://maps.google.com/maps?ll=51.500152,-0.126236&spn=0.010032,0.027466";
    TestView small(256, 256, 3);
    EXPECT_EQ(Parse(span, &view).zoom, 15u);
    EXPECT_EQ(Parse(span, &small).zoom, 13u);
    // A view not laid out yet fits the span into the default size.
    TestView empty(0, 0, 3);
    EXPECT_EQ(Parse(span, &empty).zoom, 15u);
    // A tall span is limited by the view's height: 10° of latitude at the equator.
    EXPECT_EQ(Parse("http://maps.google.com/maps?ll=0,0&spn=10,0.001", &view).zoom, 6u);
}

TEST(CParserURL, ParametersAreMatchedByWholeNameOnly)
{
    // "sll" is not "ll", "out.x" not "x", and a site's host decides the form.
    Parsed google = Parse("http://maps.google.com/maps?sll=10,10&ll=20.5,30.5&z=5");
    EXPECT_EQ(google.coordinate, CCoordinate(20.5, 30.5));
    EXPECT_EQ(Parse("http://maps.google.com/maps?sll=10,10&z=5").status, kNothingParseableErr);
    EXPECT_EQ(Parse("http://www.multimap.com/map/browse.cgi?out.x=9&out.y=7").status, kNothingParseableErr);
    EXPECT_EQ(Parse("http://example.com/?ll=51.5,-0.12&z=10").status, kNothingParseableErr);
    EXPECT_EQ(Parse("http://example.com/?lat=51.5&lon=-0.12&scale=1000").status, kNothingParseableErr);
}

// A site's name elsewhere than in the link's host (a look-alike domain, a parameter, a
// script) makes no link of that site; the real hosts, with or without a scheme, do.
TEST(CParserURL, SitesAreKnownByTheHostTheLinkNames)
{
    for (char const* lookAlike : {
             "http://maps.google.com.evil.example/?ll=51.5,-0.12&z=10",
             "javascript:alert(1)//maps.google.com/?ll=51.5,-0.12&z=10",
             "http://example.org/?from=maps.google.com&ll=51.5,-0.12&z=10",
             "http://maps.google.com@evil.example/?ll=51.5,-0.12&z=10",
             "ftp://maps.google.com/?ll=51.5,-0.12&z=10",
             "https://notgoogle.com/maps/@57.7,11.9,15z",
             "https://www.google.com.evil.example/maps/@57.7,11.9,15z",
             "https://www.google.com/mapsearch/@57.7,11.9,15z",
             "http://evilmultimap.com/map/browse.cgi?lat=51.5&lon=-0.12&scale=10000",
             "http://www.multimap.com.evil.example/?lat=51.5&lon=-0.12&scale=10000",
             "http://example.org/streetmap.co.uk/map.srf?x=530625&y=178388&z=115",
             "http://maps.yahoo.evil.example/#lat=1&lon=2&mag=3",
             "http://maps.live.com.evil.example/?cp=47.6~-122.3&lvl=5",
             "https://www.bing.com.evil.example/maps?cp=57.7%7E11.9&lvl=14",
             "https://evil.example/bing.com/maps?cp=57.7%7E11.9&lvl=14",
             "<a href='http://maps.google.com/?ll=51.5,-0.12&z=10'>here</a>",
         }) {
        SCOPED_TRACE(lookAlike);
        EXPECT_EQ(Parse(lookAlike).status, kNothingParseableErr);
    }
    for (char const* real : {
             "maps.google.com/maps?ll=51.5,-0.12&z=10",
             "  HTTPS://MAPS.GOOGLE.COM.AU/maps?ll=51.5,-0.12&z=10",
             "http://maps.google.com:80/maps?ll=51.5,-0.12&z=10",
             "https://google.de/maps/@51.5,-0.12,10z",
             "http://uk.multimap.com/map/browse.cgi?lat=51.5&lon=-0.12&scale=10000",
             "https://bing.com/maps?cp=51.5~-0.12&lvl=10",
         }) {
        SCOPED_TRACE(real);
        Parsed parsed = Parse(real);
        ASSERT_EQ(parsed.status, noErr);
        EXPECT_NEAR(parsed.coordinate.GetLatitude(), 51.5, 1e-6);
    }
}

// A placemark of a line names no one place: its first point is not where it is.
TEST(CParserURL, APlacemarkIsReadByItsPointNeverByALine)
{
    EXPECT_EQ(Parse("<Placemark><name>Walk</name><LineString><coordinates>11.9,57.7,0 12.0,57.8,0</coordinates>"
                    "</LineString></Placemark>")
                  .status,
        kNothingParseableErr);
    Parsed both = Parse("<Placemark><LineString><coordinates>1,2,0 3,4,0</coordinates></LineString>"
                        "<Point id=\"p\"><coordinates>11.9746,57.7089,0</coordinates></Point></Placemark>");
    ASSERT_EQ(both.status, noErr);
    EXPECT_NEAR(both.coordinate.GetLatitude(), 57.7089, 1e-6);
    EXPECT_NEAR(both.coordinate.GetLongitude(), 11.9746, 1e-6);
    Parsed look = Parse("<Placemark><LookAt><longitude>-75.7</longitude><latitude>45.42</latitude></LookAt>"
                        "<LineString><coordinates>1,2,0 3,4,0</coordinates></LineString></Placemark>");
    ASSERT_EQ(look.status, noErr);
    EXPECT_NEAR(look.coordinate.GetLatitude(), 45.42, 1e-6);
}

TEST(CParserURL, RefusesHostileAndBrokenLinksChangingNothing)
{
    std::string const kLongTail(CParserURL::kMaxLinkLength, 'a');
    std::string const hostile[] = {
        "",
        "   \n\t",
        "Meet me at the station at five",
        "http://maps.google.com/maps?ll=nan,nan&z=10",
        "http://maps.google.com/maps?ll=inf,0&z=10",
        "http://maps.google.com/maps?ll=1e400,0&z=10",
        "http://maps.google.com/maps?ll=91,0&z=10",
        "http://maps.google.com/maps?ll=45,181&z=10",
        "http://maps.google.com/maps?ll=45,&z=10",
        "http://maps.google.com/maps?ll=45,10&z=99999999999999999999999",
        "http://maps.google.com/maps?ll=45,10&z=-3",
        "http://maps.google.com/maps?ll=45,10&z=nan",
        "http://maps.google.com/maps?ll=45,10&spn=0,0",
        "http://maps.google.com/maps?ll=45,10&spn=-1,2",
        "http://maps.google.com/maps?ll=45,10&spn=1e308,1e308",
        "https://www.google.com/maps/@1e999,0,5z",
        "https://www.google.com/maps/@45,10,1e9z",
        "http://www.multimap.com/map/browse.cgi?lat=51.5&lon=0&scale=0",
        "http://www.multimap.com/map/browse.cgi?lat=51.5&lon=0&scale=-10000",
        "http://www.multimap.com/map/browse.cgi?lat=51.5&scale=10000",
        "http://www.multimap.com/map/browse.cgi?x=-5&y=100",
        "http://www.streetmap.co.uk/map.srf?x=800000&y=100000&z=3",
        "http://www.streetmap.co.uk/map.srf?x=530625&y=178388&z=50",
        "http://www.streetmap.co.uk/map.srf?x=530625&y=178388&z=999999999999999999999",
        "<kml><latitude>45</latitude><longitude>10</longitude><range>0</range></kml>",
        "<kml><latitude>45</latitude><longitude>10</longitude><range>-5</range></kml>",
        "<kml><latitude>nan</latitude><longitude>10</longitude></kml>",
        "<kml><latitude>45</latitude></kml>",
        "http://maps.yahoo.com/#lat=1&lon=2&mag=0",
        "http://maps.yahoo.com/#lat=1&lon=2&mag=19",
        "http://maps.live.com/?cp=47.6~-122.3&lvl=24",
        "http://maps.live.com/?cp=47.6,-122.3&lvl=5",
        "tarnwick://view?lat=10&lon=20&zoom=18",
        "tarnwick://view?lat=10&lon=20&zoom=-1",
        "tarnwick://view?lat=100&lon=20&zoom=3",
        "tarnwick://view?lat=nan&lon=20&zoom=3",
        std::string("http://maps.google.com/maps?ll=51.5,-0.12&z=10") + kLongTail,
        std::string("\0\x01\xff\xfe garbage \x80", 14),
    };
    for (std::string const& link : hostile) {
        SCOPED_TRACE(link.substr(0, 120));
        Parsed parsed = Parse(link);
        EXPECT_EQ(parsed.status, kNothingParseableErr);
        EXPECT_EQ(parsed.coordinate, CCoordinate(-1, -1, 0));
        EXPECT_EQ(parsed.zoom, 99u);
    }
    // A megabyte of text is refused whole, while a link just under the limit still reads.
    EXPECT_EQ(Parse(std::string(1 << 20, 'x')).status, kNothingParseableErr);
    std::string longLink = "http://maps.google.com/maps?ll=51.5,-0.12&z=10&q=";
    longLink += std::string(CParserURL::kMaxLinkLength - longLink.size(), 'q');
    EXPECT_EQ(Parse(longLink).status, noErr);
    EXPECT_EQ(Parse(longLink + "q").status, kNothingParseableErr) << "one more is past the limit";
    // The own link alone, the same.
    std::string viewLink = "tarnwick://view?lat=10.5";
    viewLink += std::string(CParserURL::kMaxLinkLength - viewLink.size() - 15, '0') + "&lon=20&zoom=4";
    ASSERT_EQ(viewLink.size() + 1, std::size_t(CParserURL::kMaxLinkLength));
    viewLink.insert(viewLink.find('&'), "0");
    CCoordinate coordinate;
    unsigned long zoom = 0;
    EXPECT_EQ(CParserURL::ParseViewLink(CString(viewLink.c_str()), coordinate, zoom), noErr);
    EXPECT_EQ(zoom, 4u);
    viewLink.insert(viewLink.find('&'), "0");
    EXPECT_EQ(CParserURL::ParseViewLink(CString(viewLink.c_str()), coordinate, zoom), kNothingParseableErr);
}

// Mail and chat programs put links in angle brackets, quotes or round brackets, and a
// sentence's full stop after them: the link inside is read, and its host still decides.
TEST(CParserURL, ALinkQuotedAsMailAndChatProgramsWriteItIsRead)
{
    for (char const* quoted : {
             "<http://maps.google.com/maps?ll=51.5,-0.12&z=10>",
             "<URL:http://maps.google.com/maps?ll=51.5,-0.12&z=10>",
             "<URL: http://maps.google.com/maps?ll=51.5,-0.12&z=10>",
             " <https://www.google.com/maps/@51.5,-0.12,10z>. ",
             "http://maps.google.com/maps?ll=51.5,-0.12&z=10.",
             "\thttps://bing.com/maps?cp=51.5~-0.12&lvl=10,\n",
             "(http://maps.google.com/maps?ll=51.5,-0.12&z=10).",
             "\"https://bing.com/maps?cp=51.5~-0.12&lvl=10\"",
             "'<http://maps.live.com/?cp=51.5~-0.12&lvl=10>'",
             "<tarnwick://view?lat=51.5&lon=-0.12&zoom=10>.",
         }) {
        SCOPED_TRACE(quoted);
        Parsed parsed = Parse(quoted);
        ASSERT_EQ(parsed.status, noErr);
        EXPECT_NEAR(parsed.coordinate.GetLatitude(), 51.5, 1e-6);
        EXPECT_NEAR(parsed.coordinate.GetLongitude(), -0.12, 1e-6);
        EXPECT_EQ(parsed.zoom, 10u);
    }
    CCoordinate coordinate;
    unsigned long zoom = 0;
    EXPECT_EQ(CParserURL::ParseViewLink("<tarnwick://view?lat=51.5&lon=-0.12&zoom=10>.", coordinate, zoom), noErr);
    EXPECT_EQ(zoom, 10u);
    for (char const* other : {
             "<http://maps.google.com.evil.example/?ll=51.5,-0.12&z=10>",
             "<http://example.org/?from=maps.google.com&ll=51.5,-0.12&z=10>.",
             "<http://maps.google.com@evil.example/?ll=51.5,-0.12&z=10>",
             "(javascript:alert(1)//maps.google.com/?ll=51.5,-0.12&z=10)",
             "<<http://maps.google.com/maps?ll=51.5,-0.12&z=10>>",
             "<http://maps.google.com/maps?ll=51.5,-0.12&z=10> <http://evil.example/>",
             "see <http://maps.google.com/maps?ll=51.5,-0.12&z=10>",
             "<>",
             " . ",
         }) {
        SCOPED_TRACE(other);
        EXPECT_EQ(Parse(other).status, kNothingParseableErr);
    }
}

// Every seed of the fuzz corpus, replayed through the fuzz entry.
TEST(FuzzParserURL, SeedCorpusReplaysCleanly)
{
    auto corpus = std::filesystem::path(TW_SOURCE_DIR) / "model/tests/fuzz/corpus";
    std::size_t count = 0;
    for (auto const& entry : std::filesystem::directory_iterator(corpus)) {
        std::string bytes = tw::test::ReadFile(entry.path());
        EXPECT_EQ(tw::fuzz::FuzzParserURLInput(reinterpret_cast<uint8_t const*>(bytes.data()), bytes.size()), 0)
            << entry.path();
        ++count;
    }
    EXPECT_GE(count, 10u);
}

} // namespace

TEST(FuzzViewLink, SeedCorpusReplaysCleanly)
{
    auto corpus = std::filesystem::path(TW_SOURCE_DIR) / "model/tests/fuzz/corpus-view";
    EXPECT_GE(tw::test::ReplayCorpus(corpus, &tw::fuzz::FuzzViewLinkInput), 5);
}
