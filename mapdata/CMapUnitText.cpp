#include "mapdata/CMapUnitText.h"

#include "foundation/CTextUtilities.h"

#include <cmath>

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
} // namespace

MapUnits CMapUnitText::ResolveStoredUnits(SInt32 stored)
{
    if (stored < kMapUnitsMetric || stored > kMapUnitsFeet || stored == kMapUnitsUser)
        return kMapUnitsMetric;
    return MapUnits(stored);
}

CString CMapUnitText::GetDistanceString(double metres, MapUnits units)
{
    // Non-finite distances would reach the text as "nan": they read as nothing measured.
    if (!std::isfinite(metres))
        metres = 0;
    if (IsImperial(units)) {
        double miles = std::trunc(metres / kMetresPerMile);
        if (units == kMapUnitsMiles || (units != kMapUnitsFeet && std::fabs(metres) > kMetresPerMile))
            return FormatNumber(std::fabs(miles) == 1 ? "MapDistanceMiles1" : "MapDistanceMilesN", miles);
        double feet = std::trunc(metres / kMetresPerFoot);
        return FormatNumber(std::fabs(feet) == 1 ? "MapDistanceFeet1" : "MapDistanceFeetN", feet);
    }
    if (units == kMapUnitsKilometres || (units != kMapUnitsMetres && std::fabs(metres) > 1000))
        return FormatNumber("MapDistanceKm", std::trunc(metres / 1000));
    return FormatNumber("MapDistanceMetres", std::trunc(metres));
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
