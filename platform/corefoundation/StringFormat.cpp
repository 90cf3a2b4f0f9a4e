#include "corefoundation/StringFormat.h"

#include <string_view>

namespace tw::cf {

namespace {

    bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

    int ReadNumber(std::u16string_view f, size_t& i)
    {
        int value = 0;
        while (i < f.size() && IsDigit(f[i])) {
            if (value < 100000) // widths past this are nonsense: keep it bounded
                value = value * 10 + (f[i] - u'0');
            ++i;
        }
        return value;
    }

    // "n$" at f[i]: the 0-based argument number, or -1 (and i unchanged).
    int ReadPosition(std::u16string_view f, size_t& i)
    {
        size_t j = i;
        if (j >= f.size() || !IsDigit(f[j]) || f[j] == u'0')
            return -1;
        int const n = ReadNumber(f, j);
        if (j >= f.size() || f[j] != u'$')
            return -1;
        i = j + 1;
        return n - 1;
    }

    std::string ReadLength(std::u16string_view f, size_t& i)
    {
        static constexpr std::string_view kLengths[] = { "hh", "ll", "h", "l", "q", "L", "z", "j", "t" };
        for (std::string_view length : kLengths) {
            bool match = i + length.size() <= f.size();
            for (size_t k = 0; match && k < length.size(); ++k)
                match = f[i + k] == char16_t(length[k]);
            if (match) {
                i += length.size();
                return length == "q" ? "ll" : std::string(length);
            }
        }
        return {};
    }

    FormatArgKind KindOf(char conversion, std::string const& length)
    {
        switch (conversion) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            if (length == "l")
                return FormatArgKind::Long;
            if (length == "ll")
                return FormatArgKind::LongLong;
            if (length == "z")
                return FormatArgKind::SizeT;
            if (length == "j")
                return FormatArgKind::IntMax;
            if (length == "t")
                return FormatArgKind::PtrDiff;
            return FormatArgKind::Int;
        case 'c':
        case 'C':
            return FormatArgKind::Int;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            return length == "L" ? FormatArgKind::LongDouble : FormatArgKind::Double;
        case 's':
        case 'S':
        case 'p':
        case '@':
        case 'n':
            return FormatArgKind::Pointer;
        default:
            return FormatArgKind::None;
        }
    }

    constexpr int kMaxArgs = 256;

    void NoteArg(ParsedFormat& parsed, int arg, FormatArgKind kind)
    {
        if (arg < 0 || arg >= kMaxArgs)
            return;
        if (size_t(arg) >= parsed.args.size())
            parsed.args.resize(size_t(arg) + 1, FormatArgKind::None);
        if (parsed.args[size_t(arg)] == FormatArgKind::None)
            parsed.args[size_t(arg)] = kind;
    }

    // '*' or '*n$' at f[i]: the argument number it takes.
    int ReadStar(std::u16string_view f, size_t& i, int& next, ParsedFormat& parsed)
    {
        ++i;
        int arg = ReadPosition(f, i);
        if (arg < 0)
            arg = next++;
        NoteArg(parsed, arg, FormatArgKind::Int);
        return arg;
    }

    FormatDirective ParseDirective(std::u16string_view f, size_t start, int& next, ParsedFormat& parsed)
    {
        FormatDirective d;
        d.start = start;
        size_t i = start + 1;
        int const position = ReadPosition(f, i);
        while (i < f.size() && std::u16string_view(u"-+ #0'").find(f[i]) != std::u16string_view::npos)
            d.flags += char(f[i++]);
        if (i < f.size() && f[i] == u'*')
            d.widthArg = ReadStar(f, i, next, parsed);
        else if (i < f.size() && IsDigit(f[i]))
            d.width = ReadNumber(f, i);
        if (i < f.size() && f[i] == u'.') {
            ++i;
            if (i < f.size() && f[i] == u'*')
                d.precisionArg = ReadStar(f, i, next, parsed);
            else
                d.precision = ReadNumber(f, i);
        }
        d.length = ReadLength(f, i);
        char16_t const c = i < f.size() ? f[i] : 0;
        FormatArgKind const kind = c < 0x80 ? KindOf(char(c), d.length) : FormatArgKind::None;
        d.end = i < f.size() ? i + 1 : i;
        if (kind == FormatArgKind::None)
            return d;
        d.arg = position >= 0 ? position : next++;
        if (d.arg >= kMaxArgs || d.widthArg >= kMaxArgs || d.precisionArg >= kMaxArgs)
            return d; // more arguments than any real format has: left as text
        d.conversion = char(c);
        NoteArg(parsed, d.arg, kind);
        return d;
    }

} // namespace

ParsedFormat ParseFormat(std::u16string_view format)
{
    ParsedFormat parsed;
    int next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%')
            continue;
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            FormatDirective percent;
            percent.start = i;
            percent.end = i + 2;
            percent.conversion = '%';
            parsed.directives.push_back(percent);
            ++i;
            continue;
        }
        parsed.directives.push_back(ParseDirective(format, i, next, parsed));
        i = parsed.directives.back().end - 1;
    }
    return parsed;
}

} // namespace tw::cf
