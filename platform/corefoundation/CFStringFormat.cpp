// CFStringCreateWithFormat: printf directives plus %@, %C and %S, with positional arguments.

#include "corefoundation/CFString.h"
#include "corefoundation/StringFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using tw::cf::FormatArgKind;
using tw::cf::FormatDirective;

union ArgValue {
    int i;
    long l;
    long long ll;
    std::size_t z;
    std::intmax_t j;
    std::ptrdiff_t t;
    double d;
    long double ld;
    void const* p;
};

std::vector<ArgValue> FetchArgs(std::vector<FormatArgKind> const& kinds, va_list args)
{
    std::vector<ArgValue> values(kinds.size());
    for (size_t n = 0; n < kinds.size(); ++n) {
        ArgValue& v = values[n];
        switch (kinds[n]) {
        case FormatArgKind::Long:
            v.l = va_arg(args, long);
            break;
        case FormatArgKind::LongLong:
            v.ll = va_arg(args, long long);
            break;
        case FormatArgKind::SizeT:
            v.z = va_arg(args, std::size_t);
            break;
        case FormatArgKind::IntMax:
            v.j = va_arg(args, std::intmax_t);
            break;
        case FormatArgKind::PtrDiff:
            v.t = va_arg(args, std::ptrdiff_t);
            break;
        case FormatArgKind::Double:
            v.d = va_arg(args, double);
            break;
        case FormatArgKind::LongDouble:
            v.ld = va_arg(args, long double);
            break;
        case FormatArgKind::Pointer:
            v.p = va_arg(args, void const*);
            break;
        default:
            v.i = va_arg(args, int);
            break; // a number no directive uses is taken as an int
        }
    }
    return values;
}

// Formats one numeric or pointer directive with the C library.
std::u16string FormatWithPrintf(
    FormatDirective const& d, int width, int precision, ArgValue const& v, FormatArgKind kind)
{
    std::string pattern = "%" + d.flags;
    if (width >= 0)
        pattern += std::to_string(width);
    if (precision >= 0)
        pattern += "." + std::to_string(precision);
    pattern += d.length + d.conversion;
    auto run = [&](char* out, size_t size) -> int {
        switch (kind) {
        case FormatArgKind::Long:
            return std::snprintf(out, size, pattern.c_str(), v.l);
        case FormatArgKind::LongLong:
            return std::snprintf(out, size, pattern.c_str(), v.ll);
        case FormatArgKind::SizeT:
            return std::snprintf(out, size, pattern.c_str(), v.z);
        case FormatArgKind::IntMax:
            return std::snprintf(out, size, pattern.c_str(), v.j);
        case FormatArgKind::PtrDiff:
            return std::snprintf(out, size, pattern.c_str(), v.t);
        case FormatArgKind::Double:
            return std::snprintf(out, size, pattern.c_str(), v.d);
        case FormatArgKind::LongDouble:
            return std::snprintf(out, size, pattern.c_str(), v.ld);
        case FormatArgKind::Pointer:
            return std::snprintf(out, size, pattern.c_str(), v.p);
        default:
            return std::snprintf(out, size, pattern.c_str(), v.i);
        }
    };
    char small[128];
    int const needed = run(small, sizeof small);
    if (needed < 0)
        return {};
    if (size_t(needed) < sizeof small)
        return tw::cf::UTF8ToUTF16(std::string_view(small, size_t(needed)));
    std::string big(size_t(needed) + 1, '\0');
    run(big.data(), big.size());
    big.resize(size_t(needed));
    return tw::cf::UTF8ToUTF16(big);
}

std::u16string WideText(wchar_t const* wide, size_t count)
{
    std::u16string text;
    for (size_t k = 0; k < count; ++k) {
        auto c = char32_t(wide[k]);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            text += char16_t(0xD800 + ((c - 0x10000) >> 10));
            text += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += c <= 0xFFFF ? char16_t(c) : u'\uFFFD';
        }
    }
    return text;
}

std::u16string TextArgument(FormatDirective const& d, int precision, ArgValue const& v)
{
    switch (d.conversion) {
    case '@': {
        CFStringRef description = CFCopyDescription(static_cast<CFTypeRef>(v.p));
        std::u16string text = description ? description->Text() : u"(null)";
        CFRelease(description);
        return text;
    }
    case 'C':
        return std::u16string(1, char16_t(v.i));
    case 'c':
        if (d.length == "l")
            return WideText(reinterpret_cast<wchar_t const*>(&v.i), 1);
        return tw::cf::UTF8ToUTF16(std::string(1, char(v.i)));
    case 'S': {
        auto const* units = static_cast<char16_t const*>(v.p);
        if (!units)
            return u"(null)";
        size_t n = 0;
        while (units[n] && (precision < 0 || n < size_t(precision)))
            ++n;
        return std::u16string(units, n);
    }
    default: { // 's': UTF-8 bytes (wide characters for %ls); the precision bounds how many are read
        if (d.length == "l") {
            auto const* wide = static_cast<wchar_t const*>(v.p);
            if (!wide)
                return u"(null)";
            return WideText(wide, precision < 0 ? std::wcslen(wide) : wcsnlen(wide, size_t(precision)));
        }
        auto const* bytes = static_cast<char const*>(v.p);
        if (!bytes)
            return u"(null)";
        size_t const n = precision < 0 ? std::strlen(bytes) : strnlen(bytes, size_t(precision));
        return tw::cf::UTF8ToUTF16(std::string_view(bytes, n));
    }
    }
}

std::u16string FormatDirectiveText(
    FormatDirective const& d, std::vector<ArgValue> const& values, std::vector<FormatArgKind> const& kinds)
{
    if (d.conversion == 'n')
        return {}; // %n writes through a pointer: never honoured
    int width = d.width;
    int precision = d.precision;
    bool leftAlign = d.flags.find('-') != std::string::npos;
    if (d.widthArg >= 0) {
        width = values[size_t(d.widthArg)].i;
        if (width < 0) {
            leftAlign = true;
            width = width == INT32_MIN ? 0 : -width;
        }
    }
    if (d.precisionArg >= 0)
        precision = std::max(-1, values[size_t(d.precisionArg)].i);
    ArgValue const& v = values[size_t(d.arg)];
    if (std::strchr("@CScs", d.conversion) == nullptr) {
        FormatDirective plain = d;
        if (leftAlign)
            plain.flags += '-';
        return FormatWithPrintf(plain, width, precision, v, kinds[size_t(d.arg)]);
    }
    std::u16string text = TextArgument(d, precision, v);
    if (d.conversion == '@' && precision >= 0 && text.size() > size_t(precision))
        text.resize(size_t(precision));
    if (width > 0 && text.size() < size_t(width))
        text.insert(leftAlign ? text.size() : 0, size_t(width) - text.size(), u' ');
    return text;
}

} // namespace

CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef, CFDictionaryRef, CFStringRef format, va_list arguments)
{
    if (!format)
        return nullptr;
    std::u16string_view const f = format->Text();
    tw::cf::ParsedFormat const parsed = tw::cf::ParseFormat(f);
    va_list copy;
    va_copy(copy, arguments);
    std::vector<ArgValue> const values = FetchArgs(parsed.args, copy);
    va_end(copy);
    std::u16string out;
    size_t at = 0;
    for (FormatDirective const& d : parsed.directives) {
        out.append(f.substr(at, d.start - at));
        at = d.end;
        if (d.conversion == '%')
            out += u'%';
        else if (d.conversion == 0)
            out.append(f.substr(d.start, d.end - d.start));
        else
            out += FormatDirectiveText(d, values, parsed.args);
    }
    out.append(f.substr(at));
    return new tw::cf::String(std::move(out));
}

CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions, CFStringRef format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    CFStringRef s = CFStringCreateWithFormatAndArguments(alloc, formatOptions, format, arguments);
    va_end(arguments);
    return s;
}
