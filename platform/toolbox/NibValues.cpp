#include "toolbox/NibValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace tw::toolbox::nib {

namespace {

    std::vector<std::string_view> Split(std::string_view text, char separator)
    {
        std::vector<std::string_view> parts;
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t const end = text.find(separator, start);
            std::string_view const part = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
            if (!part.empty())
                parts.push_back(part);
            if (end == std::string_view::npos)
                break;
            start = end + 1;
        }
        return parts;
    }

} // namespace

bool ReadNumber(std::string_view text, double* out)
{
    double value = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc {} || end != text.data() + text.size() || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

bool ReadInteger(std::string_view text, SInt64* out)
{
    SInt64 value = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc {} || end != text.data() + text.size())
        return false;
    *out = value;
    return true;
}

bool ReadRect(std::string_view text, CGRect* out)
{
    std::vector<std::string_view> const parts = Split(text, ' ');
    double v[4];
    if (parts.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i)
        if (!ReadNumber(parts[i], &v[i]) || std::abs(v[i]) > 100000)
            return false;
    if (v[2] < 0 || v[3] < 0)
        return false;
    *out = CGRectMake(v[0], v[1], v[2], v[3]);
    return true;
}

bool ReadCode(std::string_view text, OSType* out)
{
    if (text.size() != 4)
        return false;
    OSType code = 0;
    for (char c : text)
        code = (code << 8) | static_cast<unsigned char>(c);
    *out = code;
    return true;
}

bool ReadBool(std::string_view text, bool* out)
{
    if (text == "true" || text == "yes" || text == "1")
        *out = true;
    else if (text == "false" || text == "no" || text == "0")
        *out = false;
    else
        return false;
    return true;
}

bool ReadControlID(std::string_view text, HIViewID* out)
{
    std::size_t const colon = text.find(':');
    SInt64 number = 0;
    if (!ReadCode(text.substr(0, colon), &out->signature))
        return false;
    if (colon != std::string_view::npos
        && (!ReadInteger(text.substr(colon + 1), &number) || number < INT32_MIN || number > INT32_MAX))
        return false;
    out->id = static_cast<SInt32>(number);
    return true;
}

bool ReadWords(std::string_view text, std::vector<Word> const& table, UInt32* out)
{
    UInt32 bits = 0;
    for (std::string_view word : Split(text, ' ')) {
        auto const it = std::find_if(table.begin(), table.end(), [&](Word const& w) { return word == w.word; });
        if (it == table.end())
            return false;
        bits |= it->bits;
    }
    *out = bits;
    return true;
}

bool ReadLayout(std::string_view text, HILayoutInfo* out)
{
    HILayoutInfo layout {};
    for (std::string_view part : Split(text, ' ')) {
        std::size_t const colon = part.find(':');
        if (colon == std::string_view::npos)
            return false;
        std::string_view const side = part.substr(0, colon), kind = part.substr(colon + 1);
        HIBindingKind const bind = kind == "min" ? kHILayoutBindMin : kind == "max" ? kHILayoutBindMax : 99;
        HISideBinding* target = side == "top" ? &layout.binding.top
            : side == "left"                  ? &layout.binding.left
            : side == "bottom"                ? &layout.binding.bottom
            : side == "right"                 ? &layout.binding.right
                                              : nullptr;
        if (!target || bind == 99)
            return false;
        target->kind = bind;
    }
    *out = layout;
    return true;
}

CFStringRef CreateText(std::string_view utf8) { return cf::CreateString(utf8); }

} // namespace tw::toolbox::nib
