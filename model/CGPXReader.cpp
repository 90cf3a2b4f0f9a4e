#include "model/CGPXReader.h"

#include "model/CImportTextUtilities.h"
#include "model/CParserGPX.h"

#include <cmath>

namespace {

constexpr double kMaxElevation = 1e6; // [m]
constexpr double kMaxSpeed = 1e5; // [m/s]
constexpr double kDegreesToRadians = M_PI / 180;
constexpr UInt32 kPieceDepth = 3; // a piece starts inside gpx, trk and trkseg

bool IsGPXNamespace(std::string_view uri)
{
    return uri.empty() || uri == CParserGPX::kNamespace11 || uri == CParserGPX::kNamespace10;
}

// The qualified name of a start tag's markup ("<g:trk a='1'>" gives "g:trk").
std::string_view MarkupName(std::string_view markup)
{
    std::size_t end = markup.find_first_of(" \t\r\n/>", 1);
    return markup.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
}

} // namespace

void CGPXReader::SetPiece(std::vector<std::string> const& prefixMarkup)
{
    mPiece = true;
    mPrefixMarkup = prefixMarkup;
}

void CGPXReader::StartElement(std::string_view uri, std::string_view localName, char const** attributes)
{
    if (mSkipDepth > 0) {
        ++mSkipDepth;
        return;
    }
    UInt32 depth = GetDepth();
    if (mPiece && depth <= kPieceDepth) {
        mOpenMarkup.resize(depth - 1);
        mOpenMarkup.push_back(GetEventMarkup());
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
    StartChild(localName, attributes);
}

void CGPXReader::StartChild(std::string_view localName, char const** attributes)
{
    switch (mStack.back()) {
    case Node::Root:
        if (localName == "wpt") {
            StartPoint(Node::Waypoint, attributes);
        } else if (localName == "rte") {
            mRoute = Route();
            mStack.push_back(Node::Route);
        } else if (localName == "trk") {
            mTrack = Track();
            // In a piece, the first track is the one opened before the piece by its prefix.
            mContinuing = mPiece && !mPrefixMarkup.empty() && IsInPrefix();
            mStack.push_back(Node::Track);
        } else {
            mSkipDepth = 1; // metadata and the file's own name, time and bounds
        }
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
    if (!CImportTextUtilities::ReadCoordinate(attributes, "lat", "lon", mPoint.latitude, mPoint.longitude)) {
        Fail(kImportValueErr);
        return;
    }
    mPoint.elevation.reset();
    mTime.reset();
    mSpeed.reset();
    mCourse.reset();
    if (node != Node::TrackPoint)
        mPoint.texts = Texts();
    mStack.push_back(node);
}

void CGPXReader::StartField(Field field)
{
    mField = field;
    mStack.push_back(Node::Field);
    BeginText();
}

void CGPXReader::StartLink(char const** attributes)
{
    Texts& texts = CurrentTexts();
    if (char const* href = FindAttribute(attributes, "href"); href && texts.url.empty())
        texts.url = CImportTextUtilities::Trim(href);
    mStack.push_back(Node::Link); // its own text and type are skipped
}

void CGPXReader::StartInPoint(std::string_view localName, char const** attributes)
{
    if (localName == "ele")
        StartField(Field::Elevation);
    else if (localName == "time")
        StartField(Field::Time);
    else if (localName == "speed")
        StartField(Field::Speed);
    else if (localName == "course")
        StartField(Field::Course);
    else if (mStack.back() == Node::TrackPoint)
        mSkipDepth = 1; // a track point's texts are not kept
    else if (localName == "sym")
        StartField(Field::Symbol);
    else
        StartInContainer(localName, attributes);
}

void CGPXReader::StartInContainer(std::string_view localName, char const** attributes)
{
    if (localName == "name")
        StartField(Field::Name);
    else if (localName == "desc")
        StartField(Field::Description);
    else if (localName == "cmt")
        StartField(Field::Comment);
    else if (localName == "url")
        StartField(Field::URL);
    else if (localName == "link")
        StartLink(attributes);
    else
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
        if (Count(1))
            mRecords.emplace_back(std::move(mPoint));
        break;
    case Node::RoutePoint:
        if (mRoute.points.size() >= CParserGPX::kMaxRoutePoints)
            Fail(kImportRoutePointCountErr);
        else if (Count(1))
            mRoute.points.push_back(std::move(mPoint));
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

CGPXReader::Texts& CGPXReader::CurrentTexts()
{
    for (auto node = mStack.rbegin(); node != mStack.rend(); ++node) {
        if (*node == Node::Waypoint || *node == Node::RoutePoint)
            return mPoint.texts;
        if (*node == Node::Route)
            return mRoute.texts;
    }
    return mTrack.texts;
}

void CGPXReader::EndField()
{
    std::string_view text = CImportTextUtilities::Trim(GetText());
    switch (std::exchange(mField, Field::None)) {
    case Field::Elevation:
        if (auto value = CImportTextUtilities::ReadNumber(text); value && std::fabs(*value) <= kMaxElevation)
            mPoint.elevation = value;
        break;
    case Field::Time:
        if (double seconds = 0; CParserGPX::ParseTime(text, seconds))
            mTime = seconds;
        break;
    case Field::Speed:
        if (auto value = CImportTextUtilities::ReadNumber(text); value && *value >= 0 && *value <= kMaxSpeed)
            mSpeed = value;
        break;
    case Field::Course:
        if (auto value = CImportTextUtilities::ReadNumber(text); value && *value >= 0 && *value <= 360)
            mCourse = value;
        break;
    case Field::Name:
        CurrentTexts().name = text;
        break;
    case Field::Description:
        CurrentTexts().description = text;
        break;
    case Field::Comment:
        CurrentTexts().comment = text;
        break;
    case Field::Symbol:
        CurrentTexts().symbol = text;
        break;
    case Field::URL:
        if (Texts& texts = CurrentTexts(); texts.url.empty())
            texts.url = text;
        break;
    case Field::None:
        break;
    }
}

void CGPXReader::EndTrackPoint()
{
    if (++mTrackPoints > CParserGPX::GetMaxTrackPoints()) {
        Fail(kImportTrackPointCountErr);
        return;
    }
    CCoordinatePVT::Velocity velocity {};
    if (mSpeed) {
        // Without a course the speed still counts; its direction is unknown.
        double course = mCourse.value_or(0) * kDegreesToRadians;
        velocity = { *mSpeed * std::sin(course), *mSpeed * std::cos(course), 0 };
    }
    mTrack.samples.emplace_back(CCoordinate(mPoint.latitude, mPoint.longitude, mPoint.elevation.value_or(0)),
        CDateTime(mTime.value_or(0)), velocity);
}

void CGPXReader::EndRoute()
{
    // A route without points shows nothing and cannot be edited.
    if (!mRoute.points.empty() && Count(1))
        mRecords.emplace_back(std::move(mRoute));
    mRoute = Route();
}

void CGPXReader::EndTrack()
{
    if (mContinuing) {
        mContinuing = false;
        mHeadSamples = std::move(mTrack.samples);
        mHeadClosed = !mClosing;
    } else if (mClosing) {
        mTail = std::move(mTrack); // still open: the next piece continues it
    } else if (!mTrack.samples.empty() && Count(1)) {
        mRecords.emplace_back(std::move(mTrack));
    }
    mTrack = Track();
}

bool CGPXReader::Count(std::size_t objects)
{
    mObjectCount += objects;
    if (mObjectCount <= CParserGPX::GetMaxObjects())
        return true;
    Fail(kImportObjectCountErr);
    return false;
}

// The piece must end inside a track segment, outside any point, under exactly the markup
// the next piece's prefix repeats: then closing the three elements here is what the file
// does later, and the next piece starts where this one stops.
bool CGPXReader::ClosePiece(std::string& suffix)
{
    if (mSkipDepth != 0 || mField != Field::None || mStack.size() != 3 || mStack[1] != Node::Track
        || mStack[2] != Node::Segment || mOpenMarkup != mPrefixMarkup)
        return false;
    suffix.clear();
    for (std::size_t i = mOpenMarkup.size(); i-- > 0;) {
        suffix += "</";
        suffix += MarkupName(mOpenMarkup[i]);
        suffix += '>';
    }
    mClosing = true;
    return true;
}
