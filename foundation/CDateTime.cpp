#include "foundation/CDateTime.h"

#include <cmath>
#include <ctime>
#include <optional>

namespace {

constexpr char const* kDayNames[7] = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };
constexpr char const* kMonthNames[12] = { "January", "February", "March", "April", "May", "June", "July", "August",
    "September", "October", "November", "December" };
// Well inside the range of time_t and of the calendar functions.
constexpr double kLimit = 1.0e12; // [s]

std::optional<std::tm> LocalTime(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > kLimit)
        return std::nullopt;
    std::time_t t = std::time_t(std::floor(seconds + kCFAbsoluteTimeIntervalSince1970));
    std::tm parts {};
    if (!localtime_r(&t, &parts))
        return std::nullopt;
    return parts;
}

CString DateText(std::tm const& t, signed char form)
{
    CString text;
    int year = t.tm_year + 1900;
    switch (form) {
    case CDateTime::kDateFormLong:
        text.Format("%s, %s %d, %d", kDayNames[t.tm_wday], kMonthNames[t.tm_mon], t.tm_mday, year);
        break;
    case CDateTime::kDateFormAbbreviated:
        text.Format("%.3s, %.3s %d, %d", kDayNames[t.tm_wday], kMonthNames[t.tm_mon], t.tm_mday, year);
        break;
    default:
        text.Format("%d/%d/%02d", t.tm_mon + 1, t.tm_mday, ((year % 100) + 100) % 100);
        break;
    }
    return text;
}

CString TimeText(std::tm const& t, bool seconds)
{
    int hour = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    char const* half = t.tm_hour < 12 ? "AM" : "PM";
    CString text;
    if (seconds)
        text.Format("%d:%02d:%02d %s", hour, t.tm_min, t.tm_sec, half);
    else
        text.Format("%d:%02d %s", hour, t.tm_min, half);
    return text;
}

} // namespace

CDateTime::CDateTime(double seconds)
    : mSeconds(seconds)
{
}

CDateTime CDateTime::GetTimeNow() { return CDateTime(CFAbsoluteTimeGetCurrent()); }

SInt32 CDateTime::GetYear() const
{
    auto parts = LocalTime(mSeconds);
    return parts ? parts->tm_year + 1900 : 0;
}

CString CDateTime::GetTimeAsString(bool date, bool time, signed char dateForm, bool seconds) const
{
    auto parts = LocalTime(mSeconds);
    if (!parts || (!date && !time))
        return CString();
    if (!time)
        return DateText(*parts, dateForm);
    if (!date)
        return TimeText(*parts, seconds);
    return DateText(*parts, dateForm) + CString(" ") + TimeText(*parts, seconds);
}
