#include "foundation/CTextScanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Plain decimals ("-12.5", "0.500000"), most of what files hold, without from_chars: a whole
// number of at most 2^53 divided by a power of ten up to 10^22 are both exact, so the one
// division rounds as from_chars would. Null for anything else (exponents, long digit strings,
// "inf", ".5"), which from_chars then reads.
char const* PlainDecimal(char const* text, char const* end, double& value)
{
    static constexpr double kPowers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14,
        1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    constexpr UInt64 kExact = UInt64(1) << 53;
    char const* p = text;
    bool const negative = p < end && *p == '-';
    if (negative)
        ++p;
    UInt64 whole = 0;
    int digits = 0;
    for (; p < end && IsDigit(*p); ++p, ++digits)
        whole = whole * 10 + UInt64(*p - '0');
    if (digits == 0)
        return nullptr;
    int places = 0;
    if (p < end && *p == '.') {
        ++p;
        for (; p < end && IsDigit(*p); ++p, ++places)
            whole = whole * 10 + UInt64(*p - '0');
        if (places == 0)
            return nullptr;
    }
    // 19 digits cannot overflow; an exponent is left to from_chars.
    if (digits + places > 19 || places > 22 || whole > kExact || (p < end && (*p == 'e' || *p == 'E')))
        return nullptr;
    value = double(whole) / kPowers[places];
    if (negative)
        value = -value;
    return p;
}

} // namespace

CTextScanner::CTextScanner(std::string_view text)
    : mText(text)
{
}

void CTextScanner::SkipSpace()
{
    while (mPos < mText.size() && IsSpace(mText[mPos]))
        ++mPos;
}

bool CTextScanner::Literal(char c)
{
    SkipSpace();
    if (mPos < mText.size() && mText[mPos] == c) {
        ++mPos;
        return true;
    }
    return false;
}

bool CTextScanner::Exactly(std::string_view text)
{
    if (mText.substr(mPos, text.size()) != text)
        return false;
    mPos += text.size();
    return true;
}

std::optional<double> CTextScanner::Double()
{
    SkipSpace();
    std::size_t start = mPos;
    // from_chars takes no leading '+', which printf-style text may carry.
    if (start < mText.size() && mText[start] == '+')
        ++start;
    double value = 0;
    if (char const* const end = PlainDecimal(mText.data() + start, mText.data() + mText.size(), value)) {
        mPos = std::size_t(end - mText.data());
        return value;
    }
    auto [end, error] = std::from_chars(mText.data() + start, mText.data() + mText.size(), value);
    if (error != std::errc() || !std::isfinite(value))
        return std::nullopt;
    mPos = std::size_t(end - mText.data());
    return value;
}

std::optional<SInt64> CTextScanner::Integer()
{
    SkipSpace();
    std::size_t start = mPos;
    if (start < mText.size() && mText[start] == '+')
        ++start;
    SInt64 value = 0;
    auto [end, error] = std::from_chars(mText.data() + start, mText.data() + mText.size(), value);
    if (error != std::errc())
        return std::nullopt;
    mPos = std::size_t(end - mText.data());
    return value;
}

std::optional<UInt64> CTextScanner::Hex(int maxDigits)
{
    std::size_t length = std::min<std::size_t>(mText.size() - mPos, std::size_t(maxDigits));
    UInt64 value = 0;
    auto [end, error] = std::from_chars(mText.data() + mPos, mText.data() + mPos + length, value, 16);
    if (error != std::errc())
        return std::nullopt;
    mPos = std::size_t(end - mText.data());
    return value;
}

bool CTextScanner::AtEndIgnoringSpace()
{
    SkipSpace();
    return AtEnd();
}
