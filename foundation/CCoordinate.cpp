#include "foundation/CCoordinate.h"

#include "foundation/CTextScanner.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRelativeTolerance = 1e-8;
// Values this close count as equal even near zero, where a relative test alone fails.
constexpr double kAbsoluteTolerance = 1e-12;

CString DefaultFormat(double degrees, bool)
{
    CString text;
    text.Format("%.6f", degrees);
    return text;
}

bool DefaultParse(CString const& text, bool, double& degrees)
{
    std::string bytes = text.GetUTF8();
    CTextScanner scanner(bytes);
    auto value = scanner.Double();
    if (!value || !scanner.AtEndIgnoringSpace())
        return false;
    degrees = *value;
    return true;
}

CCoordinate::FormatHook sFormat = DefaultFormat;
CCoordinate::ParseHook sParse = DefaultParse;

bool Near(double a, double b)
{
    double difference = std::fabs(a - b);
    return difference <= kAbsoluteTolerance || difference <= kRelativeTolerance * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

CCoordinate::CCoordinate(double latitude, double longitude, double altitude)
    : mLatitude(latitude)
    , mLongitude(longitude)
    , mAltitude(altitude)
{
}

CString CCoordinate::GetString() const
{
    CString text;
    text.Format("{%lf, %lf, %lf}", mLatitude, mLongitude, mAltitude);
    return text;
}

void CCoordinate::SetString(CString const& text)
{
    std::string bytes = text.GetUTF8();
    CTextScanner scanner(bytes);
    double values[3] = {};
    bool ok = scanner.Literal('{');
    for (int i = 0; ok && i < 3; ++i) {
        auto value = scanner.Double();
        ok = value && (i == 2 || scanner.Literal(','));
        values[i] = value.value_or(0);
    }
    // Non-finite values never get in: they would poison every projection downstream.
    if (!ok)
        values[0] = values[1] = values[2] = 0;
    mLatitude = values[0];
    mLongitude = values[1];
    mAltitude = values[2];
}

CString CCoordinate::GetLatitudeString() const { return sFormat(mLatitude, true); }

CString CCoordinate::GetLongitudeString() const { return sFormat(mLongitude, false); }

bool CCoordinate::SetLatitudeString(CString const& text) { return SetFromText(text, true); }

bool CCoordinate::SetLongitudeString(CString const& text) { return SetFromText(text, false); }

bool CCoordinate::SetFromText(CString const& text, bool isLatitude)
{
    double degrees = 0;
    if (!sParse(text, isLatitude, degrees) || !std::isfinite(degrees))
        return false;
    if (std::fabs(degrees) > (isLatitude ? 90.0 : 180.0))
        return false;
    (isLatitude ? mLatitude : mLongitude) = degrees;
    return true;
}

bool CCoordinate::operator==(CCoordinate const& other) const
{
    return Near(mLatitude, other.mLatitude) && Near(mLongitude, other.mLongitude) && Near(mAltitude, other.mAltitude);
}

void CCoordinate::SetTextHooks(FormatHook format, ParseHook parse)
{
    sFormat = format ? format : DefaultFormat;
    sParse = parse ? parse : DefaultParse;
}
