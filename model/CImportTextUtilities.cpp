#include "model/CImportTextUtilities.h"

#include "model/CMapCodingUtilities.h"

#include <charconv>
#include <cmath>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

std::string_view CImportTextUtilities::Trim(std::string_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<double> CImportTextUtilities::ReadNumber(std::string_view text)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool CImportTextUtilities::ReadCoordinate(char const** attributes, std::string_view latitudeName,
    std::string_view longitudeName, double& latitude, double& longitude)
{
    std::optional<double> lat, lon;
    for (char const** attribute = attributes; attribute[0]; attribute += 2) {
        if (latitudeName == attribute[0])
            lat = ReadNumber(attribute[1]);
        else if (longitudeName == attribute[0])
            lon = ReadNumber(attribute[1]);
    }
    if (!lat || !lon || !CMapCodingUtilities::IsValidLatitude(*lat) || !CMapCodingUtilities::IsValidLongitude(*lon))
        return false;
    latitude = *lat;
    longitude = *lon;
    return true;
}

CString CImportTextUtilities::MakeString(std::string_view text)
{
    if (text.empty())
        return CString();
    return CString(text.data(), text.size(), kCFStringEncodingUTF8);
}
