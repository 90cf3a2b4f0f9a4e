#include "devices/CNMEAParser.h"

#include <charconv>
#include <cmath>

namespace {

// Values beyond these are noise, not a receiver's readings.
constexpr double kMaxKnots = 100000;
constexpr double kMaxDilution = 1000;
constexpr double kMaxAltitude = 1.0e6; // [m]

bool ParseDouble(std::string_view text, double& value)
{
    if (text.empty())
        return false;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && std::isfinite(value);
}

bool ParseInt(std::string_view text, int& value)
{
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "ddmm.mmmm" (latitude) or "dddmm.mmmm" (longitude) with its hemisphere letter.
bool ParseAngle(std::string_view text, std::string_view hemisphere, bool isLatitude, double& degrees)
{
    std::size_t degreeDigits = isLatitude ? 2 : 3;
    if (text.size() < degreeDigits + 2 || hemisphere.size() != 1)
        return false;
    int whole = 0;
    double minutes = 0;
    if (!ParseInt(text.substr(0, degreeDigits), whole) || !ParseDouble(text.substr(degreeDigits), minutes))
        return false;
    if (whole < 0 || minutes < 0 || minutes >= 60)
        return false;
    double value = whole + minutes / 60.0;
    char const side = hemisphere[0];
    bool const negative = isLatitude ? side == 'S' : side == 'W';
    bool const positive = isLatitude ? side == 'N' : side == 'E';
    if (!negative && !positive)
        return false;
    if (value > (isLatitude ? 90.0 : 180.0))
        return false;
    degrees = negative ? -value : value;
    return true;
}

// "hhmmss" with optional fractions of a second.
bool ParseTimeOfDay(std::string_view text, double& seconds)
{
    int hours = 0, minutes = 0;
    double wholeSeconds = 0;
    if (text.size() < 6 || !ParseInt(text.substr(0, 2), hours) || !ParseInt(text.substr(2, 2), minutes)
        || !ParseDouble(text.substr(4), wholeSeconds))
        return false;
    if (hours > 23 || minutes > 59 || wholeSeconds < 0 || wholeSeconds >= 61)
        return false;
    seconds = hours * 3600.0 + minutes * 60.0 + wholeSeconds;
    return true;
}

bool ParseDate(std::string_view text, SInt64& days)
{
    int day = 0, month = 0, year = 0;
    if (text.size() != 6 || !ParseInt(text.substr(0, 2), day) || !ParseInt(text.substr(2, 2), month)
        || !ParseInt(text.substr(4, 2), year))
        return false;
    if (day < 1 || day > 31 || month < 1 || month > 12)
        return false;
    days = CNMEAParser::DaysSinceReference(year < 80 ? 2000 + year : 1900 + year, month, day);
    return true;
}

std::vector<std::string_view> SplitFields(std::string_view body)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = body.find(',', start);
        fields.push_back(body.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

bool IsPositionTalker(std::string_view address)
{
    std::string_view talker = address.substr(0, 2);
    // GPS, combined, GLONASS, Galileo, BeiDou (both spellings), QZSS and NavIC.
    for (std::string_view known : { "GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI" })
        if (talker == known)
            return true;
    return false;
}

SInt64 TodaySinceReference() { return SInt64(std::floor(CDateTime::GetTimeNow().GetTimeInSeconds() / 86400.0)); }

} // namespace

SInt64 CNMEAParser::DaysSinceReference(int year, int month, int day)
{
    // Days from the civil date to 1970-01-01, then to 2001-01-01 (11,323 days later).
    year -= month <= 2;
    SInt64 const era = (year >= 0 ? year : year - 399) / 400;
    SInt64 const yearOfEra = year - era * 400;
    SInt64 const dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    SInt64 const dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 - 11323;
}

bool CNMEAParser::IsValidSentence(std::string_view line)
{
    if (line.size() < 4 || line.front() != '$')
        return false;
    std::size_t star = line.rfind('*');
    if (star == std::string_view::npos || star != line.size() - 3)
        return false;
    int high = HexDigit(line[star + 1]);
    int low = HexDigit(line[star + 2]);
    if (high < 0 || low < 0)
        return false;
    UInt8 sum = 0;
    for (std::size_t i = 1; i < star; ++i)
        sum ^= UInt8(line[i]);
    return sum == UInt8(high * 16 + low);
}

void CNMEAParser::Feed(char const* bytes, std::size_t count, std::vector<CGPSPosVelTime>& fixes)
{
    for (std::size_t i = 0; i < count; ++i) {
        char const c = bytes[i];
        if (c == '$') {
            if (mInSentence)
                ++mBadSentences; // cut short by the next sentence
            mInSentence = true;
            mLineDamaged = false;
            mLine.assign(1, c);
        } else if (!mInSentence) {
            continue; // noise between sentences
        } else if (c == '\n') {
            std::string_view line;
            if (EndLine(line))
                Interpret(line, fixes);
        } else if (c == '\r' || (c >= 0x20 && c < 0x7F)) {
            if (mLine.size() < kMaxSentenceLength)
                mLine.push_back(c);
            else
                mLineDamaged = true;
        } else {
            mLineDamaged = true;
        }
    }
}

bool CNMEAParser::EndLine(std::string_view& line)
{
    mInSentence = false;
    line = mLine;
    // The standard ends a sentence with CR LF; a bare LF is accepted too.
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (mLineDamaged || line.find('\r') != std::string_view::npos || !IsValidSentence(line)) {
        ++mBadSentences;
        return false;
    }
    ++mValidSentences;
    return true;
}

void CNMEAParser::Interpret(std::string_view sentence, std::vector<CGPSPosVelTime>& fixes)
{
    std::string_view body = sentence.substr(1, sentence.size() - 4); // without "$" and "*hh"
    std::vector<std::string_view> fields = SplitFields(body);
    std::string_view address = fields[0];
    if (address.size() != 5 || !IsPositionTalker(address))
        return;
    std::string_view kind = address.substr(2);
    if (kind != "RMC" && kind != "GGA")
        return;
    Moment moment;
    if (fields.size() > 1 && !fields[1].empty() && !ParseTimeOfDay(fields[1], moment.timeOfDay)) {
        ++mBadSentences;
        return;
    }
    // A sentence of another moment ends the one being gathered.
    if (mHasMoment && std::fabs(mMoment.timeOfDay - moment.timeOfDay) > 1e-3)
        Emit(fixes);
    Moment& target = mHasMoment ? mMoment : (mMoment = moment);
    mHasMoment = true;
    bool const read = kind == "RMC" ? ReadRMC(fields, target) : ReadGGA(fields, target);
    if (!read)
        ++mBadSentences;
    if (target.hasRMC && target.hasGGA)
        Emit(fixes);
}

bool CNMEAParser::ReadRMC(std::vector<std::string_view> const& fields, Moment& moment)
{
    if (fields.size() < 10)
        return false;
    bool const active = fields[2] == "A" && !(fields.size() > 12 && fields[12] == "N");
    moment.hasRMC = true;
    if (!active) {
        moment.valid = false;
        return true;
    }
    double latitude = 0, longitude = 0, knots = 0, course = 0;
    SInt64 days = kNoDate;
    if (!ParseAngle(fields[3], fields[4], true, latitude) || !ParseAngle(fields[5], fields[6], false, longitude))
        return false;
    if (!fields[7].empty() && (!ParseDouble(fields[7], knots) || knots < 0 || knots > kMaxKnots))
        return false;
    if (!fields[8].empty() && !ParseDouble(fields[8], course))
        return false;
    if (!fields[9].empty() && !ParseDate(fields[9], days))
        return false;
    moment.hasPosition = true;
    moment.latitude = latitude;
    moment.longitude = longitude;
    moment.speed = knots * kMetresPerSecondPerKnot;
    moment.course = std::fmod(std::fmod(course, 360.0) + 360.0, 360.0);
    if (days != kNoDate) {
        moment.days = days;
        mLastDays = days;
    }
    return true;
}

bool CNMEAParser::ReadGGA(std::vector<std::string_view> const& fields, Moment& moment)
{
    if (fields.size() < 10)
        return false;
    int quality = 0;
    if (!ParseInt(fields[6], quality))
        return false;
    moment.hasGGA = true;
    if (quality <= 0) {
        moment.valid = false;
        return true;
    }
    double latitude = 0, longitude = 0, dilution = 0, altitude = 0;
    if (!ParseAngle(fields[2], fields[3], true, latitude) || !ParseAngle(fields[4], fields[5], false, longitude))
        return false;
    if (!fields[8].empty() && (!ParseDouble(fields[8], dilution) || dilution < 0 || dilution > kMaxDilution))
        return false;
    if (!fields[9].empty() && (!ParseDouble(fields[9], altitude) || std::fabs(altitude) > kMaxAltitude))
        return false;
    moment.hasPosition = true;
    moment.latitude = latitude;
    moment.longitude = longitude;
    moment.dilution = dilution;
    moment.hasAltitude = !fields[9].empty();
    moment.altitude = altitude;
    return true;
}

void CNMEAParser::Emit(std::vector<CGPSPosVelTime>& fixes)
{
    Moment const moment = mMoment;
    mHasMoment = false;
    CDateTime time = CDateTime::GetTimeNow();
    if (moment.timeOfDay >= 0) {
        SInt64 days = moment.days != kNoDate ? moment.days : (mLastDays != kNoDate ? mLastDays : TodaySinceReference());
        time = CDateTime(double(days) * 86400.0 + moment.timeOfDay);
    }
    // The receiver says it has lost its fix: that is news too, or its last position would
    // stand as if it were still there.
    if (!moment.valid) {
        CGPSPosVelTime lost;
        lost.sample = CCoordinatePVT(CCoordinate(), time, { 0, 0, 0 }, 0);
        lost.fix = CGPSPosVelTime::kFixNone;
        fixes.push_back(lost);
        return;
    }
    if (!moment.hasPosition)
        return;
    double const radians = moment.course * M_PI / 180.0;
    CGPSPosVelTime fix;
    fix.sample = CCoordinatePVT(CCoordinate(moment.latitude, moment.longitude, moment.altitude), time,
        { moment.speed * std::sin(radians), moment.speed * std::cos(radians), 0 }, moment.dilution * kUserRangeError);
    fix.heading = moment.course;
    fix.fix = moment.hasGGA && moment.hasAltitude ? CGPSPosVelTime::kFix3D : CGPSPosVelTime::kFix2D;
    fixes.push_back(fix);
}

void CNMEAParser::Flush(std::vector<CGPSPosVelTime>& fixes)
{
    if (!mHasMoment)
        return;
    if (mMoment.waited)
        Emit(fixes);
    else
        mMoment.waited = true;
}

void CNMEAParser::Reset()
{
    mLine.clear();
    mInSentence = false;
    mLineDamaged = false;
    mHasMoment = false;
    mLastDays = kNoDate;
    mValidSentences = 0;
    mBadSentences = 0;
}
