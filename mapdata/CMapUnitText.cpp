#include "mapdata/CMapUnitText.h"

#include "foundation/CTextUtilities.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr double kMetresPerMile = 1609.344;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kSecondsPerHour = 3600;

CString FormatNumber(char const* key, double value)
{
    CString text;
    text.Format(CTextUtilities::GetBundleString(key).GetUTF8(), value);
    return text;
}

bool IsImperial(MapUnits units)
{
    return units == kMapUnitsImperial || units == kMapUnitsMiles || units == kMapUnitsFeet;
}

// A distance's number as a reader wants it: rounded to the decimals given, a
// decimal that reads ".0" left out, thousands grouped, and no "-0".
std::string DistanceNumber(double value, int decimals)
{
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, std::fmin(std::fabs(value), 1e15));
    std::string text = digits;
    if (text.ends_with(".0"))
        text.resize(text.size() - 2);
    std::size_t const point = std::min(text.find('.'), text.size());
    for (std::size_t at = point; at > 3; at -= 3)
        text.insert(at - 3, ",");
    if (value < 0 && text.find_first_of("123456789") != std::string::npos)
        text.insert(0, "-");
    return text;
}

// The bundle's format for a unit (one number conversion, as "%.0f km") with the number
// written in place of its conversion; the unit's own name when the format is not of that kind.
CString DistanceText(char const* key, std::string const& number, char const* unit)
{
    std::string const format = CTextUtilities::GetBundleString(key).GetStdString();
    std::vector<CTextUtilities::FormatConversion> const conversions = CTextUtilities::GetFormatConversions(format);
    std::size_t start = format.find('%');
    while (start != std::string::npos && start + 1 < format.size() && format[start + 1] == '%')
        start = format.find('%', start + 2);
    std::size_t const end
        = start == std::string::npos ? std::string::npos : format.find_first_of("aAeEfFgG", start + 1);
    if (conversions.size() != 1 || end == std::string::npos || conversions[0].letters != format.substr(end, 1))
        return CString((number + " " + unit).c_str());
    std::string text = format.substr(0, start) + number + format.substr(end + 1);
    // What was a literal percent sign in the format is one in the text.
    for (std::size_t at = text.find("%%"); at != std::string::npos; at = text.find("%%", at + 1))
        text.erase(at, 1);
    return CString(text.c_str());
}

// Whole numbers from 10 on, tenths below.
int DecimalsFor(double value) { return std::fabs(value) < 9.95 ? 1 : 0; }
} // namespace

MapUnits CMapUnitText::ResolveStoredUnits(SInt32 stored)
{
    if (stored < kMapUnitsMetric || stored > kMapUnitsFeet || stored == kMapUnitsUser)
        return kMapUnitsMetric;
    return MapUnits(stored);
}

// Metres and feet to the unit, whole; kilometres and miles to a tenth below ten and whole
// from ten: 850 m, 1.9 km, 12 km, 1,250 km. A distance that rounds to a whole kilometre or
// mile is given in it.
CString CMapUnitText::GetDistanceString(double metres, MapUnits units)
{
    // Non-finite distances would reach the text as "nan": they read as nothing measured.
    if (!std::isfinite(metres))
        metres = 0;
    if (IsImperial(units)) {
        double const feet = metres / kMetresPerFoot;
        if (units == kMapUnitsFeet || (units != kMapUnitsMiles && std::fabs(std::round(feet)) < 5280)) {
            std::string const number = DistanceNumber(feet, 0);
            return DistanceText(number == "1" ? "MapDistanceFeet1" : "MapDistanceFeetN", number, "feet");
        }
        double const miles = metres / kMetresPerMile;
        std::string const number = DistanceNumber(miles, DecimalsFor(miles));
        return DistanceText(number == "1" ? "MapDistanceMiles1" : "MapDistanceMilesN", number, "miles");
    }
    if (units == kMapUnitsMetres || (units != kMapUnitsKilometres && std::fabs(std::round(metres)) < 1000))
        return DistanceText("MapDistanceMetres", DistanceNumber(metres, 0), "m");
    double const kilometres = metres / 1000;
    return DistanceText("MapDistanceKm", DistanceNumber(kilometres, DecimalsFor(kilometres)), "km");
}

CString CMapUnitText::GetVelocityString(double metresPerSecond, MapUnits units)
{
    if (!std::isfinite(metresPerSecond))
        metresPerSecond = 0;
    if (IsImperial(units))
        return FormatNumber("MapVelocityMph", metresPerSecond * kSecondsPerHour / kMetresPerMile);
    return FormatNumber("MapVelocityKmh", metresPerSecond * kSecondsPerHour / 1000);
}

CString CMapUnitText::GetTimeString(CDateTime const& date, DateFormat format)
{
    double seconds = date.GetTimeInSeconds();
    if (!date.IsValid() || !std::isfinite(seconds))
        return CTextUtilities::GetBundleString("UnknownTime");
    if (format == kDateFormatDateTime) {
        CString text = date.GetTimeAsString(true, true, CDateTime::kDateFormShort, true);
        return text.IsEmpty() ? CTextUtilities::GetBundleString("UnknownTime") : text;
    }
    // A duration: whole seconds, with days once it passes 24 hours.
    long long total = std::llround(std::fmin(std::fabs(seconds), 1e15));
    long long days = total / 86400, hours = total / 3600 % 24, minutes = total / 60 % 60;
    CString text;
    if (days > 0)
        text.Format(CTextUtilities::GetBundleString("MapDurationDays").GetUTF8(), days, hours, minutes, total % 60);
    else
        text.Format(CTextUtilities::GetBundleString("MapDuration").GetUTF8(), hours, minutes, total % 60);
    return seconds < 0 ? CString("-") + text : text;
}
