#pragma once

// The directives of a printf-style format with %@, parsed once so that the
// arguments can be fetched in order of their (possibly positional) numbers
// before any text is produced.

#include <string>
#include <string_view>
#include <vector>

namespace tw::cf {

enum class FormatArgKind { None, Int, Long, LongLong, SizeT, IntMax, PtrDiff, Double, LongDouble, Pointer };

struct FormatDirective {
    size_t start = 0; // position of '%' in the format
    size_t end = 0; // one past the conversion character
    std::string flags;
    int width = -1;
    int widthArg = -1; // argument number for '*'
    int precision = -1;
    int precisionArg = -1;
    std::string length; // "", "hh", "h", "l", "ll", "L", "z", "j", "t"
    char conversion = 0; // 0 for an unknown one: the directive is copied as text
    int arg = -1;
};

struct ParsedFormat {
    std::vector<FormatDirective> directives;
    std::vector<FormatArgKind> args; // the kind of each argument, by number
};

ParsedFormat ParseFormat(std::u16string_view format);

} // namespace tw::cf
