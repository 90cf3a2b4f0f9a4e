#include "model/CParserGPX.h"

#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "model/CImportTextUtilities.h"
#include "model/CSymbolNameUtilities.h"

#include <cmath>
#include <memory>
#include <optional>

namespace {

constexpr double kMaxElevation = 1e6; // [m]
constexpr double kMaxSpeed = 1e5; // [m/s]
constexpr double kDegreesToRadians = M_PI / 180;

bool IsGPXNamespace(std::string_view uri)
{
    return uri.empty() || uri == CParserGPX::kNamespace11 || uri == CParserGPX::kNamespace10;
}

// The elements whose meaning depends on where they are; everything else is skipped.
enum class Node : UInt8 { Root, Waypoint, Route, RoutePoint, Track, Segment, TrackPoint, Field, Link };

enum class Field : UInt8 { None, Elevation, Time, Name, Description, Comment, Symbol, URL, Speed, Course };

struct PointValues {
    double latitude = 0;
    double longitude = 0;
    std::optional<double> elevation;
    std::optional<double> time; // [s since 2001-01-01 UTC]
    std::optional<double> speed; // [m/s]
    std::optional<double> course; // [deg]
};

// Texts of the object being read (a waypoint, route point, route or track).
struct ObjectTexts {
    std::string name;
    std::string description;
    std::string comment;
    std::string symbol;
    std::string url;

    void Clear()
    {
        name.clear();
        description.clear();
        comment.clear();
        symbol.clear();
        url.clear();
    }
};

class CGPXReader : public CXMLStreamReader {
public:
    // Routes go before their waypoints, so no route hears each of its points leave.
    ~CGPXReader() override
    {
        while (!mObjects.empty())
            mObjects.pop_back();
    }

    std::vector<std::unique_ptr<CMapObject>> mObjects;

protected:
    void StartElement(std::string_view uri, std::string_view localName, char const** attributes) override;
    void EndElement(std::string_view uri, std::string_view localName) override;

private:
    void StartPoint(Node node, char const** attributes);
    void StartField(Field field, Node owner);
    void StartInPoint(std::string_view localName, char const** attributes);
    void StartInContainer(std::string_view localName, char const** attributes);
    void EndField();
    void EndWaypoint();
    void EndRoutePoint();
    void EndTrackPoint();
    void EndRoute();
    void EndTrack();
    std::unique_ptr<CMapWaypoint> MakeWaypoint() const;
    bool Add(std::unique_ptr<CMapObject> object);
    void ApplyTexts(CMapObject& object, ObjectTexts const& texts) const;

    std::vector<Node> mStack; // the open elements that matter
    UInt32 mSkipDepth = 0; // > 0 inside a skipped element
    Field mField = Field::None;
    bool mFieldOfPoint = false;
    PointValues mPoint;
    ObjectTexts mPointTexts;
    ObjectTexts mContainerTexts; // of the route or track being read
    std::vector<CMapWaypoint*> mRoutePoints; // owned by mObjects
    std::vector<CCoordinatePVT> mSamples;
    std::size_t mTrackPoints = 0;
};

void CGPXReader::StartElement(std::string_view uri, std::string_view localName, char const** attributes)
{
    if (mSkipDepth > 0) {
        ++mSkipDepth;
        return;
    }
    if (mStack.empty()) {
        if (!CParserGPX::IsRootElement(uri, localName))
            Fail(kImportNotRecognisedErr);
        else
            mStack.push_back(Node::Root);
        return;
    }
    // Extensions, other namespaces and markup inside a text are skipped whole.
    if (!IsGPXNamespace(uri) || localName == "extensions" || mStack.back() == Node::Field) {
        mSkipDepth = 1;
        return;
    }
    switch (mStack.back()) {
    case Node::Root:
        if (localName == "wpt")
            StartPoint(Node::Waypoint, attributes);
        else if (localName == "rte" || localName == "trk") {
            mContainerTexts.Clear();
            mRoutePoints.clear();
            mSamples.clear();
            mStack.push_back(localName == "rte" ? Node::Route : Node::Track);
        } else
            mSkipDepth = 1; // metadata and the file's own name, time and bounds
        break;
    case Node::Waypoint:
    case Node::RoutePoint:
    case Node::TrackPoint:
        StartInPoint(localName, attributes);
        break;
    case Node::Route:
        if (localName == "rtept")
            StartPoint(Node::RoutePoint, attributes);
        else
            StartInContainer(localName, attributes);
        break;
    case Node::Track:
        if (localName == "trkseg")
            mStack.push_back(Node::Segment);
        else
            StartInContainer(localName, attributes);
        break;
    case Node::Segment:
        if (localName == "trkpt")
            StartPoint(Node::TrackPoint, attributes);
        else
            mSkipDepth = 1;
        break;
    default:
        mSkipDepth = 1;
        break;
    }
}

void CGPXReader::StartPoint(Node node, char const** attributes)
{
    mPoint = PointValues();
    if (!CImportTextUtilities::ReadCoordinate(attributes, "lat", "lon", mPoint.latitude, mPoint.longitude)) {
        Fail(kImportValueErr);
        return;
    }
    if (node != Node::TrackPoint)
        mPointTexts.Clear();
    mStack.push_back(node);
}

void CGPXReader::StartField(Field field, Node owner)
{
    mField = field;
    mFieldOfPoint = owner != Node::Route && owner != Node::Track;
    mStack.push_back(Node::Field);
    BeginText();
}

void CGPXReader::StartInPoint(std::string_view localName, char const** attributes)
{
    Node owner = mStack.back();
    if (localName == "ele")
        StartField(Field::Elevation, owner);
    else if (localName == "time")
        StartField(Field::Time, owner);
    else if (localName == "speed")
        StartField(Field::Speed, owner);
    else if (localName == "course")
        StartField(Field::Course, owner);
    else if (owner == Node::TrackPoint)
        mSkipDepth = 1; // a track point's texts are not kept
    else if (localName == "name")
        StartField(Field::Name, owner);
    else if (localName == "desc")
        StartField(Field::Description, owner);
    else if (localName == "cmt")
        StartField(Field::Comment, owner);
    else if (localName == "sym")
        StartField(Field::Symbol, owner);
    else if (localName == "url")
        StartField(Field::URL, owner);
    else if (localName == "link") {
        if (char const* href = FindAttribute(attributes, "href"); href && mPointTexts.url.empty())
            mPointTexts.url = CImportTextUtilities::Trim(href);
        mStack.push_back(Node::Link);
    } else
        mSkipDepth = 1;
}

void CGPXReader::StartInContainer(std::string_view localName, char const** attributes)
{
    Node owner = mStack.back();
    if (localName == "name")
        StartField(Field::Name, owner);
    else if (localName == "desc")
        StartField(Field::Description, owner);
    else if (localName == "cmt")
        StartField(Field::Comment, owner);
    else if (localName == "url")
        StartField(Field::URL, owner);
    else if (localName == "link") {
        if (char const* href = FindAttribute(attributes, "href"); href && mContainerTexts.url.empty())
            mContainerTexts.url = CImportTextUtilities::Trim(href);
        mStack.push_back(Node::Link);
    } else
        mSkipDepth = 1;
}

void CGPXReader::EndElement(std::string_view, std::string_view)
{
    if (mSkipDepth > 0) {
        --mSkipDepth;
        return;
    }
    if (mStack.empty())
        return;
    Node node = mStack.back();
    mStack.pop_back();
    switch (node) {
    case Node::Field:
        EndField();
        break;
    case Node::Waypoint:
        EndWaypoint();
        break;
    case Node::RoutePoint:
        EndRoutePoint();
        break;
    case Node::TrackPoint:
        EndTrackPoint();
        break;
    case Node::Route:
        EndRoute();
        break;
    case Node::Track:
        EndTrack();
        break;
    default:
        break;
    }
}

void CGPXReader::EndField()
{
    std::string_view text = CImportTextUtilities::Trim(GetText());
    ObjectTexts& texts = mFieldOfPoint ? mPointTexts : mContainerTexts;
    Field field = std::exchange(mField, Field::None);
    switch (field) {
    case Field::Elevation:
        if (auto value = CImportTextUtilities::ReadNumber(text); value && std::fabs(*value) <= kMaxElevation)
            mPoint.elevation = value;
        break;
    case Field::Time:
        if (double seconds = 0; CParserGPX::ParseTime(text, seconds))
            mPoint.time = seconds;
        break;
    case Field::Speed:
        if (auto value = CImportTextUtilities::ReadNumber(text); value && *value >= 0 && *value <= kMaxSpeed)
            mPoint.speed = value;
        break;
    case Field::Course:
        if (auto value = CImportTextUtilities::ReadNumber(text); value && *value >= 0 && *value <= 360)
            mPoint.course = value;
        break;
    case Field::Name:
        texts.name = text;
        break;
    case Field::Description:
        texts.description = text;
        break;
    case Field::Comment:
        texts.comment = text;
        break;
    case Field::Symbol:
        texts.symbol = text;
        break;
    case Field::URL:
        if (texts.url.empty())
            texts.url = text;
        break;
    case Field::None:
        break;
    }
}

std::unique_ptr<CMapWaypoint> CGPXReader::MakeWaypoint() const
{
    auto waypoint = std::make_unique<CMapWaypoint>();
    waypoint->SetPosition(CCoordinate(mPoint.latitude, mPoint.longitude, mPoint.elevation.value_or(0)));
    ApplyTexts(*waypoint, mPointTexts);
    if (!mPointTexts.symbol.empty())
        waypoint->SetSymbol(CSymbolNameUtilities::GetSymbol(mPointTexts.symbol));
    return waypoint;
}

void CGPXReader::ApplyTexts(CMapObject& object, ObjectTexts const& texts) const
{
    object.SetName(CImportTextUtilities::MakeString(texts.name));
    object.SetDescription(CImportTextUtilities::MakeString(texts.description.empty() ? texts.comment : texts.description));
    object.SetURL(CImportTextUtilities::MakeString(texts.url));
}

bool CGPXReader::Add(std::unique_ptr<CMapObject> object)
{
    if (mObjects.size() >= CParserGPX::kMaxObjects) {
        Fail(kImportLimitErr);
        return false;
    }
    mObjects.push_back(std::move(object));
    return true;
}

void CGPXReader::EndWaypoint() { Add(MakeWaypoint()); }

void CGPXReader::EndRoutePoint()
{
    if (mRoutePoints.size() >= CParserGPX::kMaxRoutePoints) {
        Fail(kImportLimitErr);
        return;
    }
    auto waypoint = MakeWaypoint();
    CMapWaypoint* point = waypoint.get();
    if (Add(std::move(waypoint)))
        mRoutePoints.push_back(point);
}

void CGPXReader::EndTrackPoint()
{
    if (++mTrackPoints > CParserGPX::kMaxTrackPoints) {
        Fail(kImportLimitErr);
        return;
    }
    CCoordinatePVT::Velocity velocity {};
    if (mPoint.speed) {
        // Without a course the speed still counts; its direction is unknown.
        double course = mPoint.course.value_or(0) * kDegreesToRadians;
        velocity = { *mPoint.speed * std::sin(course), *mPoint.speed * std::cos(course), 0 };
    }
    mSamples.emplace_back(CCoordinate(mPoint.latitude, mPoint.longitude, mPoint.elevation.value_or(0)),
        CDateTime(mPoint.time.value_or(0)), velocity);
}

void CGPXReader::EndRoute()
{
    if (mRoutePoints.empty())
        return; // a route without points shows nothing and cannot be edited
    auto route = std::make_unique<CMapRoute>();
    ApplyTexts(*route, mContainerTexts);
    for (std::size_t i = 0; i < mRoutePoints.size(); ++i)
        route->AddWaypoint(-1, mRoutePoints[i], i + 1 == mRoutePoints.size());
    mRoutePoints.clear();
    Add(std::move(route));
}

void CGPXReader::EndTrack()
{
    if (mSamples.empty())
        return;
    auto track = std::make_unique<CMapTrack>();
    ApplyTexts(*track, mContainerTexts);
    track->SetSamples(std::move(mSamples));
    mSamples = {};
    Add(std::move(track));
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long DaysFromCivil(long long year, unsigned month, unsigned day)
{
    year -= month <= 2;
    long long era = (year >= 0 ? year : year - 399) / 400;
    unsigned yearOfEra = unsigned(year - era * 400);
    unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + (long long)(dayOfEra)-719468;
}

bool ReadDigits(std::string_view text, std::size_t at, std::size_t count, unsigned& value)
{
    if (at + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + unsigned(text[i] - '0');
    }
    return true;
}

} // namespace

bool CParserGPX::IsRootElement(std::string_view uri, std::string_view localName)
{
    return localName == "gpx" && IsGPXNamespace(uri);
}

bool CParserGPX::ParseTime(std::string_view text, double& seconds)
{
    static constexpr unsigned kDaysInMonth[] = { 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    unsigned year, month, day, hour, minute, second;
    if (!ReadDigits(text, 0, 4, year) || text.size() < 19 || text[4] != '-' || !ReadDigits(text, 5, 2, month)
        || text[7] != '-' || !ReadDigits(text, 8, 2, day) || (text[10] != 'T' && text[10] != 't' && text[10] != ' ')
        || !ReadDigits(text, 11, 2, hour) || text[13] != ':' || !ReadDigits(text, 14, 2, minute) || text[16] != ':'
        || !ReadDigits(text, 17, 2, second))
        return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year == 0 || month < 1 || month > 12 || day < 1 || day > kDaysInMonth[month - 1]
        || (month == 2 && day == 29 && !leap) || hour > 23 || minute > 59 || second > 60)
        return false;
    std::size_t at = 19;
    double fraction = 0;
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        double scale = 0.1;
        std::size_t start = ++at;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, scale *= 0.1)
            fraction += (text[at] - '0') * scale;
        if (at == start || at - start > 12)
            return false;
    }
    long long offset = 0; // [s] east of UTC
    if (at < text.size() && (text[at] == 'Z' || text[at] == 'z')) {
        ++at;
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        int sign = text[at] == '-' ? -1 : 1;
        unsigned zoneHours, zoneMinutes = 0;
        if (!ReadDigits(text, at + 1, 2, zoneHours) || zoneHours > 14)
            return false;
        at += 3;
        if (at < text.size() && text[at] == ':')
            ++at;
        if (at < text.size()) {
            if (!ReadDigits(text, at, 2, zoneMinutes) || zoneMinutes > 59)
                return false;
            at += 2;
        }
        offset = sign * (long long)(zoneHours * 3600 + zoneMinutes * 60);
    }
    if (at != text.size())
        return false;
    static long long const kReferenceDay = DaysFromCivil(2001, 1, 1);
    long long days = DaysFromCivil(year, month, day) - kReferenceDay;
    seconds = double(days * 86400 + hour * 3600 + minute * 60 + second - offset) + fraction;
    return true;
}

bool CParserGPX::CanParse(CFile const& file) const
{
    std::string uri, root;
    return CXMLStreamReader::ReadRootElement(file, uri, root) == noErr && IsRootElement(uri, root);
}

OSStatus CParserGPX::ParseFile(CFile const& file, std::vector<CMapObject*>& objects)
{
    CGPXReader reader;
    OSStatus status = reader.ReadFile(file);
    NoteError(reader);
    if (status != noErr)
        return status;
    if (!reader.HasRoot())
        return kImportNotRecognisedErr;
    objects.reserve(objects.size() + reader.mObjects.size());
    for (auto& object : reader.mObjects)
        objects.push_back(object.release());
    return noErr;
}
