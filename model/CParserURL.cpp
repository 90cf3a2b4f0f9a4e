#include "model/CParserURL.h"

#include "foundation/CTextScanner.h"
#include "foundation/CTextUtilities.h"
#include "foundation/Status.h"
#include "model/CBritishGrid.h"
#include "model/IMapLinkView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

// Zoom measures and our levels. At level z the world is 256·2^z pixels wide, so one
// pixel covers C·cos(lat) / (256·2^z) metres of ground, C being the equator's length.
// - A map scale 1:S (MultiMap "scale", StreetMap's zoom codes through a table of their
//   scales) is taken at the standard rendering pixel of 0.28 mm (the one web map tile
//   sets use): z = log2(C·cos(lat) / (256 · 0.00028 m · S)), rounded.
// - Google Maps "z" and Windows Live "lvl" count the same 256·2^z pixel worlds: z as given.
// - A Google Maps span (dLat, dLon) without "z" becomes the deepest level that shows it
//   whole in the view: z = floor(min(log2(360·W / (256·dLon)), log2(2·ymax·H / (256·dy)))),
//   with W×H the view's size, dy the span's Mercator height and ymax that of latitude 84°,
//   where our world's image ends.
// - A Google Earth range R [m] is read back as our own globe export writes it
//   (R = 49,000,000 >> z): z = log2(49,000,000 / R), rounded.
// - Yahoo's "mag" runs the other way, 1 the closest: z = 18 - mag.
// Every level is then clamped to 0..17; a link without a zoom keeps the view's level.

namespace {
constexpr double kEarthCircumference = 2 * M_PI * 6378137; // [m] WGS84 equator
constexpr double kTileSize = 256; // [px]
constexpr double kStandardPixel = 0.00028; // [m]
constexpr double kMaxMapLatitude = 84; // [deg]
constexpr double kEarthRangeAtLevel0 = 49000000; // [m]
constexpr double kMaxLevel = 17;
constexpr SInt64 kMaxSiteLevel = 23; // the deepest level any of the sites offers

// StreetMap's zoom codes and the map scales they show; older links used 0 to 6, later
// ones 106 to 150. A code between two of the later ones takes the nearer.
struct StreetMapZoom {
    SInt64 code;
    double scale;
};
constexpr std::array<StreetMapZoom, 15> kStreetMapZooms { {
    { 0, 5000 },
    { 1, 10000 },
    { 2, 25000 },
    { 3, 50000 },
    { 4, 100000 },
    { 5, 200000 },
    { 6, 1000000 },
    { 106, 5000 },
    { 110, 10000 },
    { 115, 25000 },
    { 120, 50000 },
    { 126, 100000 },
    { 130, 200000 },
    { 140, 1000000 },
    { 150, 3000000 },
} };

struct LinkView {
    double width = CParserURL::kDefaultViewWidth; // [px]
    double height = CParserURL::kDefaultViewHeight; // [px]
    double zoom = CParserURL::kDefaultZoom;
};

struct Location {
    double latitude = 0;
    double longitude = 0;
    double level = 0; // before clamping
};

enum class Read { kAbsent, kBad, kGood };

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The link inside the quoting that mail and chat programs put around one: white space, a
// full stop or comma after it, angle brackets (with or without "URL:"), quotes or round
// brackets. Anything else around a link leaves it unread.
std::string_view Unquoted(std::string_view text)
{
    constexpr std::string_view kSpace = " \t\r\n";
    for (;;) {
        std::size_t const start = text.find_first_not_of(kSpace);
        if (start == std::string_view::npos)
            return {};
        text = text.substr(start, text.find_last_not_of(kSpace) - start + 1);
        if (text.ends_with('.') || text.ends_with(',') || text.ends_with(';') || text.ends_with('!')) {
            text.remove_suffix(1);
            continue;
        }
        bool quoted = false;
        for (std::string_view const pair : { "<>", "\"\"", "''", "()" })
            if (text.size() >= 2 && text.front() == pair[0] && text.back() == pair[1]
                && text.substr(1, text.size() - 2).find_first_of(pair) == std::string_view::npos) {
                text = text.substr(1, text.size() - 2);
                if (pair[0] == '<' && text.starts_with("url:"))
                    text.remove_prefix(4);
                quoted = true;
                break;
            }
        if (!quoted)
            return text;
    }
}

// Where a web link points: its host (after any "user@"), and the path with its query.
// Only http and https links name a site; text without a scheme is taken as starting
// with its host, as links are often pasted without one.
struct SiteLink {
    std::string_view host;
    std::string_view path;
};

std::optional<SiteLink> GetSiteLink(std::string_view text)
{
    std::size_t const start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return std::nullopt;
    text = text.substr(start);
    if (text.starts_with("http://"))
        text.remove_prefix(7);
    else if (text.starts_with("https://"))
        text.remove_prefix(8);
    else if (text.find("://") != std::string_view::npos || text.starts_with("javascript:"))
        return std::nullopt;
    std::size_t const end = text.find_first_of("/?#");
    std::string_view authority = text.substr(0, end);
    if (std::size_t const at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    authority = authority.substr(0, authority.find(':'));
    if (authority.empty() || authority.find_first_of(" \t\r\n\"'<>\\") != std::string_view::npos)
        return std::nullopt;
    return SiteLink { authority, end == std::string_view::npos ? std::string_view() : text.substr(end) };
}

bool IsLetters(std::string_view text, std::size_t minimum, std::size_t maximum)
{
    return text.size() >= minimum && text.size() <= maximum
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// A country or generic ending of a site's domain: "com", "se", "co.uk", "com.au".
bool IsDomainEnding(std::string_view ending)
{
    std::size_t const dot = ending.find('.');
    if (dot == std::string_view::npos)
        return IsLetters(ending, 2, 3);
    std::string_view const first = ending.substr(0, dot);
    return (first == "co" || first == "com") && IsLetters(ending.substr(dot + 1), 2, 2);
}

// The host is the domain or one of its subdomains.
bool IsHostIn(std::string_view host, std::string_view domain)
{
    return host == domain || (host.size() > domain.size() && host.ends_with(domain)
        && host[host.size() - domain.size() - 1] == '.');
}

// The host is "<prefix><ending>" with a domain ending of any country.
bool IsHostWithAnyEnding(std::string_view host, std::string_view prefix)
{
    return host.starts_with(prefix) && IsDomainEnding(host.substr(prefix.size()));
}

bool IsPathIn(std::string_view path, std::string_view folder)
{
    return path.starts_with(folder) && (path.size() == folder.size() || std::string_view("/?#").find(path[folder.size()]) != std::string_view::npos);
}

bool IsValidPosition(double latitude, double longitude)
{
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90
        && std::fabs(longitude) <= 180;
}

std::string ToLowerASCII(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "%2c" and the like as their characters (the text is lower case already); malformed
// escapes stay as they are.
std::string PercentDecoded(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
            if (high >= 0 && low >= 0) {
                decoded.push_back(char(high * 16 + low));
                i += 2;
                continue;
            }
        }
        decoded.push_back(text[i]);
    }
    return decoded;
}

bool IsParameterStart(std::string_view text, std::size_t at)
{
    if (at == 0)
        return true;
    char before = text[at - 1];
    return before == '?' || before == '&' || before == '#' || before == ';' || before == '/';
}

// The text after "key=" where the key begins a parameter, so "sll=" is not "ll=" and
// "out.x=" is not "x=".
std::optional<std::string_view> FindParameter(std::string_view text, std::string_view key)
{
    std::string pattern = std::string(key) + '=';
    for (std::size_t at = text.find(pattern); at != std::string_view::npos; at = text.find(pattern, at + 1))
        if (IsParameterStart(text, at))
            return text.substr(at + pattern.size());
    return std::nullopt;
}

// The text after an element's start tag.
std::optional<std::string_view> FindElement(std::string_view text, std::string_view tag)
{
    std::size_t at = text.find(tag);
    if (at == std::string_view::npos)
        return std::nullopt;
    return text.substr(at + tag.size());
}

// What follows an opening tag that may carry attributes ("<point>", "<point id='p'>").
std::optional<std::string_view> FindOpenTag(std::string_view text, std::string_view tag)
{
    for (std::size_t at = text.find(tag); at != std::string_view::npos; at = text.find(tag, at + 1)) {
        std::size_t const after = at + tag.size();
        if (after < text.size() && (text[after] == '>' || text[after] == ' ' || text[after] == '\t' || text[after] == '\n' || text[after] == '\r')) {
            std::size_t const close = text.find('>', after);
            if (close == std::string_view::npos)
                return std::nullopt;
            return text.substr(close + 1);
        }
    }
    return std::nullopt;
}

Read ReadNumber(std::optional<std::string_view> value, double& result)
{
    if (!value)
        return Read::kAbsent;
    CTextScanner scanner(*value);
    auto number = scanner.Double();
    if (!number)
        return Read::kBad;
    result = *number;
    return Read::kGood;
}

Read ReadNumber(std::optional<std::string_view> value, SInt64& result)
{
    if (!value)
        return Read::kAbsent;
    CTextScanner scanner(*value);
    auto number = scanner.Integer();
    if (!number)
        return Read::kBad;
    result = *number;
    return Read::kGood;
}

// Two values that come together: both or neither.
Read Both(Read first, Read second) { return first == second ? first : Read::kBad; }

// Two numbers joined by the separator: "ll=51.5,-0.12", "cp=51.5~-0.12".
Read ReadPair(std::optional<std::string_view> value, char separator, double& first, double& second)
{
    if (!value)
        return Read::kAbsent;
    CTextScanner scanner(*value);
    auto a = scanner.Double();
    if (!a || !scanner.Literal(separator))
        return Read::kBad;
    auto b = scanner.Double();
    if (!b)
        return Read::kBad;
    first = *a;
    second = *b;
    return Read::kGood;
}

// A site's zoom parameter: absent, the view's level; present, what convert makes of it
// (false refusing the link).
template <typename Number, typename Convert>
bool ReadLevel(std::optional<std::string_view> value, LinkView const& view, double& level, Convert convert)
{
    Number number {};
    switch (ReadNumber(value, number)) {
    case Read::kAbsent:
        level = view.zoom;
        return true;
    case Read::kBad:
        return false;
    case Read::kGood:
        break;
    }
    return convert(number, level);
}

double ScaleLevel(double latitude, double scale)
{
    double ground = kEarthCircumference * std::max(std::cos(latitude * M_PI / 180), 1e-9);
    return std::round(std::log2(ground / (kTileSize * kStandardPixel * scale)));
}

double MercatorY(double latitude)
{
    latitude = std::clamp(latitude, -kMaxMapLatitude, kMaxMapLatitude);
    return std::asinh(std::tan(latitude * M_PI / 180));
}

bool SpanLevel(double latitude, double latitudeSpan, double longitudeSpan, LinkView const& view, double& level)
{
    if (!(latitudeSpan > 0 && latitudeSpan <= 180 && longitudeSpan > 0 && longitudeSpan <= 360))
        return false;
    level = std::log2(360 * view.width / (kTileSize * longitudeSpan));
    double height = MercatorY(latitude + latitudeSpan / 2) - MercatorY(latitude - latitudeSpan / 2);
    if (height > 0)
        level = std::min(level, std::log2(2 * MercatorY(kMaxMapLatitude) * view.height / (kTileSize * height)));
    level = std::floor(level);
    return true;
}

// A site's own level count, refused beyond what any site offers.
bool SiteLevel(SInt64 value, double& level)
{
    if (value < 0 || value > kMaxSiteLevel)
        return false;
    level = double(value);
    return true;
}

// The own link's format as a scanning format: %lf (or %f, %e, %g) for the two doubles,
// %ld (or %d, %i, %u) for the level, white space matching any run of it, %% a percent sign.
bool ScanOwnFormat(std::string_view format, std::string_view text, double& latitude, double& longitude, SInt64& level)
{
    CTextScanner scanner(text);
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            scanner.SkipSpace();
            continue;
        }
        if (c != '%') {
            if (!scanner.Exactly(std::string_view(&format[i], 1)))
                return false;
            continue;
        }
        while (++i < format.size() && (format[i] == 'l' || format[i] == 'h' || format[i] == 'L'))
            ;
        if (i >= format.size())
            return false;
        char conversion = format[i];
        if (conversion == '%') {
            if (!scanner.Literal('%'))
                return false;
            continue;
        }
        bool isDouble = conversion == 'f' || conversion == 'e' || conversion == 'g';
        bool isInteger = conversion == 'd' || conversion == 'i' || conversion == 'u';
        if (conversions < 2 && isDouble) {
            auto value = scanner.Double();
            if (!value)
                return false;
            (conversions == 0 ? latitude : longitude) = *value;
        } else if (conversions == 2 && isInteger) {
            auto value = scanner.Integer();
            if (!value)
                return false;
            level = *value;
        } else {
            return false;
        }
        ++conversions;
    }
    return conversions == 3;
}

bool ParseOwnLink(std::string_view text, LinkView const&, Location& location)
{
    std::string format = ToLowerASCII(CTextUtilities::GetBundleString("URLTarnwickView").GetStdString());
    std::string_view host = std::string_view(format).substr(0, format.find('%'));
    std::size_t at = host.empty() ? 0 : text.find(host);
    if (at == std::string_view::npos)
        return false;
    SInt64 level = -1;
    if (!ScanOwnFormat(format, text.substr(at), location.latitude, location.longitude, level))
        return false;
    if (level < 0 || level > SInt64(kMaxLevel))
        return false;
    location.level = double(level);
    return IsValidPosition(location.latitude, location.longitude);
}

bool ParseMultiMap(std::string_view text, SiteLink const& link, LinkView const& view, Location& location)
{
    if (!IsHostIn(link.host, "multimap.com"))
        return false;
    Read position = Both(ReadNumber(FindParameter(text, "lat"), location.latitude),
        ReadNumber(FindParameter(text, "lon"), location.longitude));
    if (position == Read::kBad)
        return false;
    if (position == Read::kAbsent) {
        // Their British pages give national grid metres instead.
        double easting = 0, northing = 0;
        if (ReadNumber(FindParameter(text, "x"), easting) != Read::kGood
            || ReadNumber(FindParameter(text, "y"), northing) != Read::kGood)
            return false;
        CCoordinate coordinate;
        if (!CBritishGrid::ToWGS84(easting, northing, coordinate))
            return false;
        location.latitude = coordinate.GetLatitude();
        location.longitude = coordinate.GetLongitude();
    }
    if (!IsValidPosition(location.latitude, location.longitude))
        return false;
    return ReadLevel<SInt64>(FindParameter(text, "scale"), view, location.level, [&](SInt64 scale, double& level) {
        if (scale < 1)
            return false;
        level = ScaleLevel(location.latitude, double(scale));
        return true;
    });
}

bool StreetMapScale(SInt64 code, double& scale)
{
    if (code >= 0 && code <= 6) {
        scale = kStreetMapZooms[std::size_t(code)].scale;
        return true;
    }
    if (code < 100 || code > 160)
        return false;
    auto nearest = std::min_element(kStreetMapZooms.begin() + 7, kStreetMapZooms.end(),
        [code](auto const& a, auto const& b) { return std::llabs(a.code - code) < std::llabs(b.code - code); });
    scale = nearest->scale;
    return true;
}

bool ParseStreetMap(std::string_view text, SiteLink const& link, LinkView const& view, Location& location)
{
    if (!IsHostIn(link.host, "streetmap.co.uk"))
        return false;
    SInt64 easting = 0, northing = 0;
    if (ReadNumber(FindParameter(text, "x"), easting) != Read::kGood
        || ReadNumber(FindParameter(text, "y"), northing) != Read::kGood)
        return false;
    CCoordinate coordinate;
    if (!CBritishGrid::ToWGS84(double(easting), double(northing), coordinate))
        return false;
    location.latitude = coordinate.GetLatitude();
    location.longitude = coordinate.GetLongitude();
    return ReadLevel<SInt64>(FindParameter(text, "z"), view, location.level, [&](SInt64 code, double& level) {
        double scale = 0;
        if (!StreetMapScale(code, scale))
            return false;
        level = ScaleLevel(location.latitude, scale);
        return true;
    });
}

// Newer Google links carry ".../@lat,lon,15z" instead of parameters.
bool ReadGoogleAt(std::string_view text, Location& location, std::optional<double>& level)
{
    std::size_t at = text.find("/@");
    if (at == std::string_view::npos)
        return false;
    CTextScanner scanner(text.substr(at + 2));
    auto latitude = scanner.Double();
    if (!latitude || !scanner.Literal(','))
        return false;
    auto longitude = scanner.Double();
    if (!longitude)
        return false;
    location.latitude = *latitude;
    location.longitude = *longitude;
    if (scanner.Literal(','))
        if (auto zoom = scanner.Double(); zoom && scanner.Exactly("z")) {
            if (*zoom < 0 || *zoom > double(kMaxSiteLevel))
                return false;
            level = std::floor(*zoom);
        }
    return true;
}

bool ParseGoogleMaps(std::string_view text, SiteLink const& link, LinkView const& view, Location& location)
{
    bool const mapsHost = IsHostWithAnyEnding(link.host, "maps.google.");
    bool const mapsPath = (IsHostWithAnyEnding(link.host, "google.") || IsHostWithAnyEnding(link.host, "www.google."))
        && IsPathIn(link.path, "/maps");
    if (!mapsHost && !mapsPath)
        return false;
    std::optional<double> atLevel;
    switch (ReadPair(FindParameter(text, "ll"), ',', location.latitude, location.longitude)) {
    case Read::kBad:
        return false;
    case Read::kAbsent:
        if (!ReadGoogleAt(text, location, atLevel))
            return false;
        break;
    case Read::kGood:
        break;
    }
    if (!IsValidPosition(location.latitude, location.longitude))
        return false;
    if (auto zoom = FindParameter(text, "z"))
        return ReadLevel<SInt64>(zoom, view, location.level, &SiteLevel);
    if (atLevel) {
        location.level = *atLevel;
        return true;
    }
    double latitudeSpan = 0, longitudeSpan = 0;
    switch (ReadPair(FindParameter(text, "spn"), ',', latitudeSpan, longitudeSpan)) {
    case Read::kGood:
        return SpanLevel(location.latitude, latitudeSpan, longitudeSpan, view, location.level);
    case Read::kBad:
        return false;
    case Read::kAbsent:
        location.level = view.zoom;
        return true;
    }
    return false;
}

bool ParseGoogleEarth(std::string_view text, LinkView const& view, Location& location)
{
    if (!Contains(text, "<kml") && !Contains(text, "<placemark") && !Contains(text, "<lookat"))
        return false;
    Read position = Both(ReadNumber(FindElement(text, "<latitude>"), location.latitude),
        ReadNumber(FindElement(text, "<longitude>"), location.longitude));
    if (position == Read::kBad)
        return false;
    if (position == Read::kAbsent) {
        // A bare placemark: longitude and latitude (then altitude) of its point. The
        // coordinates of a line or a shape name no one place.
        std::optional<std::string_view> point = FindOpenTag(text, "<point");
        if (!point)
            return false;
        std::string_view const inside = point->substr(0, point->find("</point>"));
        if (ReadPair(FindElement(inside, "<coordinates>"), ',', location.longitude, location.latitude) != Read::kGood)
            return false;
    }
    if (!IsValidPosition(location.latitude, location.longitude))
        return false;
    return ReadLevel<double>(FindElement(text, "<range>"), view, location.level, [](double range, double& level) {
        if (!(range > 0))
            return false;
        level = std::round(std::log2(kEarthRangeAtLevel0 / range));
        return true;
    });
}

bool ParseYahoo(std::string_view text, SiteLink const& link, LinkView const& view, Location& location)
{
    if (!IsHostWithAnyEnding(link.host, "maps.yahoo."))
        return false;
    if (ReadNumber(FindParameter(text, "lat"), location.latitude) != Read::kGood
        || ReadNumber(FindParameter(text, "lon"), location.longitude) != Read::kGood
        || !IsValidPosition(location.latitude, location.longitude))
        return false;
    return ReadLevel<SInt64>(FindParameter(text, "mag"), view, location.level, [](SInt64 magnification, double& level) {
        level = double(18 - magnification);
        return magnification >= 1 && magnification <= 18;
    });
}

bool ParseWindowsLive(std::string_view text, SiteLink const& link, LinkView const& view, Location& location)
{
    bool const liveHost = link.host == "maps.live.com" || link.host == "local.live.com";
    bool const bingMaps = (link.host == "bing.com" || link.host == "www.bing.com") && IsPathIn(link.path, "/maps");
    if (!liveHost && !bingMaps)
        return false;
    if (ReadPair(FindParameter(text, "cp"), '~', location.latitude, location.longitude) != Read::kGood
        || !IsValidPosition(location.latitude, location.longitude))
        return false;
    return ReadLevel<SInt64>(FindParameter(text, "lvl"), view, location.level, &SiteLevel);
}

LinkView GetLinkView(IMapLinkView const* view)
{
    LinkView facts;
    if (!view)
        return facts;
    CGSize size = view->GetMapViewSize();
    // A view not laid out yet fits spans into the default size.
    if (std::isfinite(size.width) && std::isfinite(size.height) && size.width >= 1 && size.height >= 1) {
        facts.width = size.width;
        facts.height = size.height;
    }
    facts.zoom = double(std::min<unsigned long>(view->GetMapZoom(), (unsigned long)kMaxLevel));
    return facts;
}

using SiteParser = bool (*)(std::string_view text, SiteLink const& link, LinkView const& view, Location& location);
} // namespace

OSStatus CParserURL::ParseURL(CString const& text, IMapLinkView* view, CCoordinate& coordinate, unsigned long& zoom)
{
    if (text.IsEmpty() || text.GetLength() > kMaxLinkLength)
        return kNothingParseableErr;
    std::string const whole = ToLowerASCII(text.GetStdString());
    std::string_view const lower = Unquoted(whole);
    std::string decoded = PercentDecoded(lower);
    LinkView facts = GetLinkView(view);
    // The own link is read as its format says; the sites' links after undoing their escapes.
    // A site is known by the host its link names, never by its name elsewhere in the text.
    static constexpr std::array<SiteParser, 5> kSiteForms { &ParseMultiMap, &ParseStreetMap, &ParseGoogleMaps,
        &ParseYahoo, &ParseWindowsLive };
    Location location;
    bool parsed = ParseOwnLink(lower, facts, location);
    std::optional<SiteLink> const link = GetSiteLink(lower);
    for (std::size_t i = 0; !parsed && link && i < kSiteForms.size(); ++i) {
        location = Location();
        parsed = kSiteForms[i](decoded, *link, facts, location);
    }
    if (!parsed) {
        location = Location();
        parsed = ParseGoogleEarth(decoded, facts, location);
    }
    if (!parsed || !IsValidPosition(location.latitude, location.longitude) || !std::isfinite(location.level))
        return kNothingParseableErr;
    coordinate = CCoordinate(location.latitude, location.longitude);
    zoom = (unsigned long)std::clamp(location.level, 0.0, kMaxLevel);
    return noErr;
}

OSStatus CParserURL::ParseViewLink(CString const& text, CCoordinate& coordinate, unsigned long& zoom)
{
    if (text.IsEmpty() || text.GetLength() > kMaxLinkLength)
        return kNothingParseableErr;
    Location location;
    std::string const whole = ToLowerASCII(text.GetStdString());
    if (!ParseOwnLink(Unquoted(whole), LinkView(), location) || !std::isfinite(location.level))
        return kNothingParseableErr;
    coordinate = CCoordinate(location.latitude, location.longitude);
    zoom = (unsigned long)std::clamp(location.level, 0.0, kMaxLevel);
    return noErr;
}
