#include "corefoundation/CaseMapping.h"

#include <cstdint>

namespace tw::cf {

namespace {

    enum : std::uint8_t {
        kLower = 1, // upper to lower
        kFold = 2, // part of case folding
        kUpper = 4, // the reverse mapping is the upper case
        kAll = kLower | kFold | kUpper,
    };

    // Upper-case runs [first, last]: every stride-th unit from first maps to unit + delta.
    struct CaseRange {
        char16_t first;
        char16_t last;
        std::int16_t delta;
        std::uint8_t stride;
        std::uint8_t use;
    };

    constexpr CaseRange kRanges[] = {
        { 0x0041, 0x005A, 32, 1, kAll },
        { 0x00C0, 0x00D6, 32, 1, kAll },
        { 0x00D8, 0x00DE, 32, 1, kAll },
        { 0x00B5, 0x00B5, 0x03BC - 0x00B5, 1, kFold },
        { 0x0100, 0x012E, 1, 2, kAll },
        { 0x0130, 0x0130, 0x0069 - 0x0130, 1, kLower },
        { 0x0132, 0x0136, 1, 2, kAll },
        { 0x0139, 0x0147, 1, 2, kAll },
        { 0x014A, 0x0176, 1, 2, kAll },
        { 0x0178, 0x0178, 0x00FF - 0x0178, 1, kAll },
        { 0x0179, 0x017D, 1, 2, kAll },
        { 0x017F, 0x017F, 0x0073 - 0x017F, 1, kFold },
        { 0x01C4, 0x01C4, 2, 1, kAll },
        { 0x01C5, 0x01C5, 1, 1, kLower | kFold },
        { 0x01C7, 0x01C7, 2, 1, kAll },
        { 0x01C8, 0x01C8, 1, 1, kLower | kFold },
        { 0x01CA, 0x01CA, 2, 1, kAll },
        { 0x01CB, 0x01CB, 1, 1, kLower | kFold },
        { 0x01CD, 0x01DB, 1, 2, kAll },
        { 0x01DE, 0x01EE, 1, 2, kAll },
        { 0x01F1, 0x01F1, 2, 1, kAll },
        { 0x01F2, 0x01F2, 1, 1, kLower | kFold },
        { 0x01F8, 0x021E, 1, 2, kAll },
        { 0x0222, 0x0232, 1, 2, kAll },
        { 0x0386, 0x0386, 0x03AC - 0x0386, 1, kAll },
        { 0x0388, 0x038A, 37, 1, kAll },
        { 0x038C, 0x038C, 64, 1, kAll },
        { 0x038E, 0x038F, 63, 1, kAll },
        { 0x0391, 0x03A1, 32, 1, kAll },
        { 0x03A3, 0x03AB, 32, 1, kAll },
        { 0x03C2, 0x03C2, 1, 1, kFold },
        { 0x03D0, 0x03D0, 0x03B2 - 0x03D0, 1, kFold },
        { 0x03D1, 0x03D1, 0x03B8 - 0x03D1, 1, kFold },
        { 0x03D5, 0x03D5, 0x03C6 - 0x03D5, 1, kFold },
        { 0x03D6, 0x03D6, 0x03C0 - 0x03D6, 1, kFold },
        { 0x03D8, 0x03EE, 1, 2, kAll },
        { 0x03F0, 0x03F0, 0x03BA - 0x03F0, 1, kFold },
        { 0x03F1, 0x03F1, 0x03C1 - 0x03F1, 1, kFold },
        { 0x03F5, 0x03F5, 0x03B5 - 0x03F5, 1, kFold },
        { 0x0400, 0x040F, 80, 1, kAll },
        { 0x0410, 0x042F, 32, 1, kAll },
        { 0x0460, 0x0480, 1, 2, kAll },
        { 0x048A, 0x04BE, 1, 2, kAll },
        { 0x04C0, 0x04C0, 15, 1, kAll },
        { 0x04C1, 0x04CD, 1, 2, kAll },
        { 0x04D0, 0x052E, 1, 2, kAll },
        { 0x0531, 0x0556, 48, 1, kAll },
        { 0x1E00, 0x1E94, 1, 2, kAll },
        { 0x1E9E, 0x1E9E, 0x00DF - 0x1E9E, 1, kLower | kFold },
        { 0x1EA0, 0x1EFE, 1, 2, kAll },
        { 0x2160, 0x216F, 16, 1, kAll },
        { 0x24B6, 0x24CF, 26, 1, kAll },
        { 0xFF21, 0xFF3A, 32, 1, kAll },
    };

    // Lower-case units whose upper case is not the reverse of a run above.
    struct UpperException {
        char16_t lower;
        char16_t upper;
    };
    constexpr UpperException kUpperExceptions[] = {
        { 0x00B5, 0x039C },
        { 0x0131, 0x0049 },
        { 0x017F, 0x0053 },
        { 0x01C5, 0x01C4 },
        { 0x01C8, 0x01C7 },
        { 0x01CB, 0x01CA },
        { 0x01F2, 0x01F1 },
        { 0x03C2, 0x03A3 },
    };

    char16_t MapDown(char16_t unit, std::uint8_t use)
    {
        if (unit < 0x80)
            return (unit >= u'A' && unit <= u'Z') ? char16_t(unit + 32) : unit;
        for (CaseRange const& r : kRanges) {
            if ((r.use & use) && unit >= r.first && unit <= r.last && (unit - r.first) % r.stride == 0)
                return char16_t(unit + r.delta);
        }
        return unit;
    }

} // namespace

char16_t FoldCase(char16_t unit) { return MapDown(unit, kFold); }

char16_t ToLowerCase(char16_t unit) { return MapDown(unit, kLower); }

char16_t ToUpperCase(char16_t unit)
{
    if (unit < 0x80)
        return (unit >= u'a' && unit <= u'z') ? char16_t(unit - 32) : unit;
    for (UpperException const& e : kUpperExceptions) {
        if (e.lower == unit)
            return e.upper;
    }
    for (CaseRange const& r : kRanges) {
        int const first = r.first + r.delta;
        int const last = r.last + r.delta;
        if ((r.use & kUpper) && unit >= first && unit <= last && (unit - first) % r.stride == 0)
            return char16_t(unit - r.delta);
    }
    return unit;
}

} // namespace tw::cf
