#include "corefoundation/CFNumber.h"

#include "corefoundation/CFString.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace tw::cf {

namespace {

    // Exact comparison of an integer with a real (NaN is unordered: reported as greater).
    int CompareIntReal(SInt64 i, double r)
    {
        if (std::isnan(r))
            return -1;
        long double const li = i;
        long double const lr = r;
        return li < lr ? -1 : li > lr ? 1 : 0;
    }

    int CompareNumbers(Number const& a, Number const& b)
    {
        if (!a.isFloat && !b.isFloat)
            return a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
        if (a.isFloat && b.isFloat) {
            if (std::isnan(a.real) || std::isnan(b.real)) // NaN sorts first and equals itself
                return std::isnan(b.real) - std::isnan(a.real);
            return a.real < b.real ? -1 : a.real > b.real ? 1 : 0;
        }
        return a.isFloat ? -CompareIntReal(b.integer, a.real) : CompareIntReal(a.integer, b.real);
    }

} // namespace

bool Number::Equals(Object const& other) const { return CompareNumbers(*this, static_cast<Number const&>(other)) == 0; }

CFHashCode Number::Hash() const
{
    // Equal numbers hash alike, whether stored as integer or real.
    if (!isFloat)
        return CFHashCode(integer);
    if (std::isfinite(real) && std::trunc(real) == real && std::fabs(real) < 0x1p63)
        return CFHashCode(SInt64(real));
    SInt64 bits = 0;
    std::memcpy(&bits, &real, sizeof bits);
    return CFHashCode(bits);
}

String* Number::CopyDescription() const
{
    char text[64];
    std::to_chars_result result;
    if (!isFloat)
        result = std::to_chars(text, text + sizeof text, integer);
    else if (type == kCFNumberFloat32Type)
        result = std::to_chars(text, text + sizeof text, float(real));
    else
        result = std::to_chars(text, text + sizeof text, real);
    return CreateString(std::string_view(text, size_t(result.ptr - text)));
}

String* BooleanValue::CopyDescription() const { return CreateString(value ? "true" : "false"); }

} // namespace tw::cf

namespace {

// Never destroyed, so the constants outlive every other static.
union BooleanConstant {
    constexpr explicit BooleanConstant(bool v)
        : value(v, tw::cf::Object::Immortal::Yes)
    {
    }
    ~BooleanConstant() { }
    tw::cf::BooleanValue value;
};
constinit BooleanConstant sTrue(true);
constinit BooleanConstant sFalse(false);

} // namespace

CFBooleanRef const kCFBooleanTrue = &sTrue.value;
CFBooleanRef const kCFBooleanFalse = &sFalse.value;

CFTypeID CFBooleanGetTypeID() { return kTWTypeIDBoolean; }

Boolean CFBooleanGetValue(CFBooleanRef b) { return b && b->value; }

CFTypeID CFNumberGetTypeID() { return kTWTypeIDNumber; }

CFNumberType CFNumberGetType(CFNumberRef n) { return n ? n->type : kCFNumberSInt32Type; }

Boolean CFNumberIsFloatType(CFNumberRef n) { return n && n->isFloat; }

CFComparisonResult CFNumberCompare(CFNumberRef a, CFNumberRef b, void*)
{
    if (!a || !b)
        return a == b ? kCFCompareEqualTo : (a ? kCFCompareGreaterThan : kCFCompareLessThan);
    return CFComparisonResult(tw::cf::CompareNumbers(*a, *b));
}
