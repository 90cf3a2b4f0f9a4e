#include "model/CMapCodingUtilities.h"

#include "foundation/CTextScanner.h"

#include <charconv>
#include <cmath>

namespace {

// Reads "{a, b, ...}" into values; the last `optional` values may be missing.
bool ReadNumbers(CString const& text, double* values, int count, int optional)
{
    std::string bytes = text.GetUTF8();
    CTextScanner scanner(bytes);
    if (!scanner.Literal('{'))
        return false;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !scanner.Literal(',')) {
            if (i < count - optional)
                return false;
            values[i] = 0;
            continue;
        }
        auto value = scanner.Double();
        if (!value)
            return false;
        values[i] = *value;
    }
    return scanner.Literal('}') && scanner.AtEndIgnoringSpace();
}

} // namespace

void CMapCodingUtilities::AppendNumber(std::string& text, double value)
{
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value);
    text.append(buffer, error == std::errc() ? end : buffer);
}

CString CMapCodingUtilities::EncodeCoordinate(CCoordinate const& coordinate)
{
    std::string text = "{";
    AppendNumber(text, coordinate.GetLatitude());
    text += ", ";
    AppendNumber(text, coordinate.GetLongitude());
    text += ", ";
    AppendNumber(text, coordinate.GetAltitude());
    text += "}";
    return CString(text.c_str());
}

bool CMapCodingUtilities::DecodeCoordinate(CString const& text, CCoordinate& coordinate)
{
    double values[3];
    if (!ReadNumbers(text, values, 3, 1) || !IsValidLatitude(values[0]) || !IsValidLongitude(values[1]))
        return false;
    coordinate = CCoordinate(values[0], values[1], values[2]);
    return true;
}

CString CMapCodingUtilities::EncodeBounds(CCoordinateRect const& bounds)
{
    std::string text = "{";
    AppendNumber(text, bounds.GetTopLeft().GetLatitude());
    text += ", ";
    AppendNumber(text, bounds.GetTopLeft().GetLongitude());
    text += ", ";
    AppendNumber(text, bounds.GetBottomRight().GetLatitude());
    text += ", ";
    AppendNumber(text, bounds.GetBottomRight().GetLongitude());
    text += "}";
    return CString(text.c_str());
}

bool CMapCodingUtilities::DecodeBounds(CString const& text, CCoordinateRect& bounds)
{
    double v[4]; // north, west, south, east
    if (!ReadNumbers(text, v, 4, 0))
        return false;
    if (!IsValidLatitude(v[0]) || !IsValidLatitude(v[2]) || !IsValidLongitude(v[1]) || !IsValidLongitude(v[3]))
        return false;
    if (v[0] < v[2] || v[1] > v[3])
        return false;
    bounds = CCoordinateRect(CCoordinate(v[0], v[1]), CCoordinate(v[2], v[3]));
    return true;
}

OSType CMapCodingUtilities::GetCode(CFDictionary const& properties, CFDictionary::Key key, bool (*isKnown)(OSType))
{
    OSType code = properties.GetValueOSType(key);
    if (code == 0 || isKnown(code))
        return code;
    OSType swapped = __builtin_bswap32(code);
    return isKnown(swapped) ? swapped : code;
}

bool CMapCodingUtilities::IsValidLatitude(double degrees) { return std::isfinite(degrees) && std::fabs(degrees) <= 90; }

bool CMapCodingUtilities::IsValidLongitude(double degrees)
{
    return std::isfinite(degrees) && std::fabs(degrees) <= 180;
}
