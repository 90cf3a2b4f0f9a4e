#include "corefoundation/CFNumber.h"
#include "corefoundation/CFString.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>

namespace tw::cf {

bool Date::Equals(Object const& other) const { return time == static_cast<Date const&>(other).time; }

CFHashCode Date::Hash() const { return CFHashCode(std::hash<double> {}(time)); }

String* Date::CopyDescription() const
{
    // UTC, e.g. "2001-01-01 00:00:00 +0000".
    double const unix = std::floor(time + kCFAbsoluteTimeIntervalSince1970);
    std::time_t seconds = 0;
    if (std::isfinite(unix) && std::fabs(unix) < 1e15)
        seconds = std::time_t(unix);
    std::tm parts {};
    gmtime_r(&seconds, &parts);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d +0000", parts.tm_year + 1900, parts.tm_mon + 1,
        parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return CreateString(text);
}

} // namespace tw::cf

CFTypeID CFDateGetTypeID() { return kTWTypeIDDate; }

CFDateRef CFDateCreate(CFAllocatorRef, CFAbsoluteTime at) { return new tw::cf::Date(at); }

CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef d) { return d ? d->time : 0; }

CFComparisonResult CFDateCompare(CFDateRef a, CFDateRef b, void*)
{
    double const ta = CFDateGetAbsoluteTime(a);
    double const tb = CFDateGetAbsoluteTime(b);
    return ta < tb ? kCFCompareLessThan : ta > tb ? kCFCompareGreaterThan : kCFCompareEqualTo;
}

CFAbsoluteTime CFAbsoluteTimeGetCurrent()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec) - kCFAbsoluteTimeIntervalSince1970 + double(now.tv_nsec) * 1e-9;
}
