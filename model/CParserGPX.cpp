#include "model/CParserGPX.h"

#include "model/CGPXReader.h"
#include "model/CImportTextUtilities.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "model/CSymbolNameUtilities.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace {

class CObjectBuilder {
public:
    std::vector<std::unique_ptr<CMapObject>> mObjects;

    // Routes go before their waypoints, so no route hears each of its points leave.
    ~CObjectBuilder()
    {
        while (!mObjects.empty())
            mObjects.pop_back();
    }

    void Add(CGPXReader::Record& record)
    {
        if (auto* point = std::get_if<CGPXReader::Point>(&record))
            mObjects.push_back(MakeWaypoint(*point));
        else if (auto* route = std::get_if<CGPXReader::Route>(&record))
            AddRoute(*route);
        else
            AddTrack(std::get<CGPXReader::Track>(record));
    }

private:
    void AddTrack(CGPXReader::Track& record)
    {
        auto track = std::make_unique<CMapTrack>();
        ApplyTexts(*track, record.texts);
        track->SetSamples(std::move(record.samples));
        mObjects.push_back(std::move(track));
    }

    static void ApplyTexts(CMapObject& object, CGPXReader::Texts const& texts)
    {
        object.SetName(CImportTextUtilities::MakeString(texts.name));
        object.SetDescription(
            CImportTextUtilities::MakeString(texts.description.empty() ? texts.comment : texts.description));
        object.SetURL(CImportTextUtilities::MakeString(texts.url));
    }

    static std::unique_ptr<CMapWaypoint> MakeWaypoint(CGPXReader::Point const& point)
    {
        auto waypoint = std::make_unique<CMapWaypoint>();
        waypoint->SetPosition(CCoordinate(point.latitude, point.longitude, point.elevation.value_or(0)));
        ApplyTexts(*waypoint, point.texts);
        if (!point.texts.symbol.empty())
            waypoint->SetSymbol(CSymbolNameUtilities::GetSymbol(point.texts.symbol));
        return waypoint;
    }

    void AddRoute(CGPXReader::Route const& record)
    {
        auto route = std::make_unique<CMapRoute>();
        ApplyTexts(*route, record.texts);
        for (std::size_t i = 0; i < record.points.size(); ++i) {
            auto waypoint = MakeWaypoint(record.points[i]);
            route->AddWaypoint(-1, waypoint.get(), i + 1 == record.points.size());
            mObjects.push_back(std::move(waypoint));
        }
        mObjects.push_back(std::move(route));
    }
};

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long DaysFromCivil(long long year, unsigned month, unsigned day)
{
    year -= month <= 2;
    long long era = (year >= 0 ? year : year - 399) / 400;
    auto yearOfEra = unsigned(year - era * 400);
    unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + (long long)dayOfEra - 719468;
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

// "hh:mm", "hhmm" or "hh" after the sign of a zone offset; false when malformed.
bool ReadZoneOffset(std::string_view text, std::size_t& at, long long& offset)
{
    int sign = text[at] == '-' ? -1 : 1;
    unsigned hours = 0, minutes = 0;
    if (!ReadDigits(text, at + 1, 2, hours) || hours > 14)
        return false;
    at += 3;
    if (at < text.size() && text[at] == ':')
        ++at;
    if (at < text.size()) {
        if (!ReadDigits(text, at, 2, minutes) || minutes > 59)
            return false;
        at += 2;
    }
    offset = sign * (long long)(hours * 3600 + minutes * 60);
    return true;
}

} // namespace

namespace {
std::atomic<std::size_t> sMaxObjects { CParserGPX::kMaxObjects };
std::atomic<std::size_t> sMaxTrackPoints { CParserGPX::kMaxTrackPoints };
}

std::size_t CParserGPX::GetMaxObjects() { return sMaxObjects.load(std::memory_order_relaxed); }

void CParserGPX::SetMaxObjectsForTesting(std::size_t limit)
{
    sMaxObjects.store(limit != 0 ? limit : kMaxObjects, std::memory_order_relaxed);
}

std::size_t CParserGPX::GetMaxTrackPoints() { return sMaxTrackPoints.load(std::memory_order_relaxed); }

void CParserGPX::SetMaxTrackPointsForTesting(std::size_t limit)
{
    sMaxTrackPoints.store(limit != 0 ? limit : kMaxTrackPoints, std::memory_order_relaxed);
}

bool CParserGPX::IsRootElement(std::string_view uri, std::string_view localName)
{
    return localName == "gpx" && (uri.empty() || uri == kNamespace11 || uri == kNamespace10);
}

bool CParserGPX::ParseTime(std::string_view text, double& seconds)
{
    static constexpr unsigned kDaysInMonth[] = { 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    unsigned year, month, day, hour, minute, second;
    if (text.size() < 19 || !ReadDigits(text, 0, 4, year) || text[4] != '-' || !ReadDigits(text, 5, 2, month)
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
        std::size_t start = ++at;
        for (double scale = 0.1; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, scale *= 0.1)
            fraction += (text[at] - '0') * scale;
        if (at == start || at - start > 12)
            return false;
    }
    long long offset = 0; // [s] east of UTC
    if (at < text.size() && (text[at] == 'Z' || text[at] == 'z'))
        ++at;
    else if (at < text.size() && (text[at] == '+' || text[at] == '-') && !ReadZoneOffset(text, at, offset))
        return false;
    if (at != text.size())
        return false;
    static long long const kReferenceDay = DaysFromCivil(2001, 1, 1);
    long long days = DaysFromCivil(year, month, day) - kReferenceDay;
    seconds = double(days * 86400 + hour * 3600 + minute * 60 + second - offset) + fraction;
    // The zero date stands for "unknown" everywhere: a fix taken at that very moment is
    // kept a microsecond later, where it still reads as the time it was.
    if (seconds == 0)
        seconds = kReferenceMomentTime;
    
    return true;
}

bool CParserGPX::CanParse(CFile const& file) const
{
    std::string uri, root;
    return CXMLStreamReader::ReadRootElement(file, uri, root) == noErr && IsRootElement(uri, root);
}

OSStatus CParserGPX::ParseFile(CFile const& file, std::vector<CMapObject*>& objects)
{
    std::vector<CGPXReader::Record> records;
    OSStatus status = kImportPieceErr;
    SInt64 size = file.GetForkSize();
    if (size >= SInt64(kPiecesFileSize))
        status = ReadInPieces(
            file, kMinPieceSize, std::min(8u, std::thread::hardware_concurrency()), records, mMonitor);
    if (status == kImportPieceErr) {
        CGPXReader reader;
        reader.SetMonitor(mMonitor);
        status = reader.ReadFile(file);
        NoteError(reader);
        // Bytes that never made an element are no GPX file, whatever its name.
        if ((status == noErr || status == kImportMalformedErr) && !reader.HasRoot())
            status = kImportNotRecognisedErr;
        records = std::move(reader.mRecords);
    }
    if (status != noErr)
        return status;
    CObjectBuilder builder;
    if (mMonitor)
        mMonitor->toMake = records.size();
    for (std::size_t i = 0; i < records.size(); ++i) {
        builder.Add(records[i]);
        if (mMonitor && i % 1024 == 1023) {
            if (mMonitor->cancelled)
                return userCanceledErr;
            mMonitor->made = i + 1;
        }
    }
    records.clear();
    objects.reserve(objects.size() + builder.mObjects.size());
    for (auto& object : builder.mObjects)
        objects.push_back(object.release());
    builder.mObjects.clear();
    return noErr;
}
