#include "mapdata/CCoordinateText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {
char const kDegreeSign[] = "\xC2\xB0";

struct Scan {
    std::vector<std::string> numbers;
    char hemisphere = 0; // 'N', 'S', 'E', 'W' or 0
    bool negative = false;
};

// Splits the text into numbers, a sign and one hemisphere letter; false on anything else.
bool ScanText(std::string const& text, Scan& scan)
{
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = text[i];
        if (std::isdigit(c) || c == '.') {
            std::size_t end = i;
            while (end < text.size() && (std::isdigit((unsigned char)text[end]) || text[end] == '.'))
                ++end;
            scan.numbers.push_back(text.substr(i, end - i));
            i = end;
        } else if (c == '-' && scan.numbers.empty() && !scan.negative) {
            scan.negative = true;
            ++i;
        } else if (c == '+' && scan.numbers.empty()) {
            ++i;
        } else if (std::strchr("NSEWnsew", c) && c != 0 && scan.hemisphere == 0) {
            scan.hemisphere = char(std::toupper(c));
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\'' || c == '"' || c == ':') {
            ++i;
        } else if (text.compare(i, 2, kDegreeSign) == 0) {
            i += 2;
        } else if (text.compare(i, 3, "\xE2\x80\xB2") == 0 || text.compare(i, 3, "\xE2\x80\xB3") == 0) {
            i += 3; // prime and double prime
        } else {
            return false;
        }
    }
    return !scan.numbers.empty() && scan.numbers.size() <= 3;
}

std::optional<double> ToNumber(std::string const& text)
{
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}
} // namespace

CString CCoordinateText::Format(double degrees, bool isLatitude, MapCoordinates format)
{
    char hemisphere = isLatitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
    double value = std::fabs(degrees);
    CString text;
    if (!std::isfinite(value))
        return text;
    // Rounded once in the smallest unit shown, so 59.99999' carries into the degrees.
    if (format == kMapCoordinatesDegreesMinutes) {
        long long units = std::llround(value * 60 * 10000);
        text.Format(
            "%lld%s %02lld.%04lld' %c", units / 600000, kDegreeSign, units / 10000 % 60, units % 10000, hemisphere);
    } else if (format == kMapCoordinatesDegreesMinutesSeconds) {
        long long units = std::llround(value * 3600 * 100);
        text.Format("%lld%s %02lld' %02lld.%02lld\" %c", units / 360000, kDegreeSign, units / 6000 % 60,
            units / 100 % 60, units % 100, hemisphere);
    } else {
        text.Format("%.6f%s %c", value, kDegreeSign, hemisphere);
    }
    return text;
}

std::optional<double> CCoordinateText::Parse(CString const& text, bool isLatitude)
{
    Scan scan;
    if (!ScanText(text.GetStdString(), scan))
        return std::nullopt;
    bool latitudeLetter = scan.hemisphere == 'N' || scan.hemisphere == 'S';
    if (scan.hemisphere != 0 && (latitudeLetter != isLatitude || scan.negative))
        return std::nullopt;
    // Degrees, then minutes and seconds below 60; only the last number may have a fraction.
    double value = 0;
    double scale = 1;
    for (std::size_t i = 0; i < scan.numbers.size(); ++i) {
        bool last = i + 1 == scan.numbers.size();
        if (!last && scan.numbers[i].find('.') != std::string::npos)
            return std::nullopt;
        auto number = ToNumber(scan.numbers[i]);
        if (!number || (i > 0 && *number >= 60))
            return std::nullopt;
        value += *number / scale;
        scale *= 60;
    }
    if (scan.negative || scan.hemisphere == 'S' || scan.hemisphere == 'W')
        value = -value;
    if (std::fabs(value) > (isLatitude ? 90 : 180))
        return std::nullopt;
    return value;
}
