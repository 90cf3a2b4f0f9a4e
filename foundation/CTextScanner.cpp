#include "foundation/CTextScanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

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
