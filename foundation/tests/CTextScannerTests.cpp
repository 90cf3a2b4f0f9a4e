#include "foundation/CTextScanner.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// The scanner's number and where it stopped, against from_chars on the same text: the same
// bits (the sign of zero too) and the same rest, or both refuse.
void ExpectAsFromChars(std::string const& text)
{
    double expected = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), expected);
    bool const valid = error == std::errc() && std::isfinite(expected);
    CTextScanner scanner(text);
    std::optional<double> const value = scanner.Double();
    ASSERT_EQ(value.has_value(), valid) << text;
    if (!valid)
        return;
    EXPECT_EQ(std::memcmp(&*value, &expected, sizeof expected), 0) << text << ": " << *value << " against " << expected;
    std::string const rest(end, text.data() + text.size());
    EXPECT_TRUE(scanner.Exactly(rest) && scanner.AtEnd()) << text << " should leave \"" << rest << "\"";
}

} // namespace

TEST(CTextScanner, DecimalsReadAsFromCharsReadsThem)
{
    std::vector<std::string> texts = { "0", "-0", "0.0", "-0.0", "5.", "-5.", ".5", "-.5", "1e5", "1.5E-3", "2.5e",
        "2.5e+", "1.5x", "0x10", "inf", "-inf", "nan", "-", ".", "", "9007199254740992", "9007199254740993",
        "-9007199254740993", "0.9007199254740993", "1234567890123456789", "12345678901234567890",
        "0.0000000000000000000001", "0.00000000000000000000001", "1.0000000000000000000001",
        "0000000000000000000000000001.5", "57.69, 12.03", "1.000000 0.500000", "0.1", "0.2", "0.3", "-12.375",
        "179769313486231570000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000",
        "1e400", "4.9e-324", "1e-400", "1.2.3", "--1", "3.14159265358979323846" };
    std::mt19937_64 random(20261207);
    char buffer[64];
    for (int i = 0; i < 20000; ++i) {
        double const value = std::ldexp(double(random() >> 11), int(random() % 80) - 60) * (random() % 2 ? -1 : 1);
        int const places = int(random() % 24);
        std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
        texts.emplace_back(buffer);
        // Digit strings of every length with the point anywhere, the longest past the fast reach.
        std::string digits;
        int const length = 1 + int(random() % 24);
        for (int d = 0; d < length; ++d)
            digits += char('0' + random() % 10);
        digits.insert(1 + random() % std::size_t(length), ".");
        if (digits.back() == '.')
            digits += '7';
        texts.push_back(digits);
    }
    for (std::string const& text : texts)
        ExpectAsFromChars(text);
}
