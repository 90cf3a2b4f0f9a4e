// Creating numbers from, and reading them into, the C types their type codes name.

#include "corefoundation/CFNumber.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

enum class Kind { Int8, Int16, Int32, Int64, Float32, Float64, Unknown };

Kind KindOf(CFNumberType type)
{
    switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType:
        return Kind::Int8;
    case kCFNumberSInt16Type:
    case kCFNumberShortType:
        return Kind::Int16;
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
        return Kind::Int32;
    case kCFNumberSInt64Type:
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType:
        return Kind::Int64;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType:
        return Kind::Float32;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
    case kCFNumberCGFloatType:
        return Kind::Float64;
    }
    return Kind::Unknown;
}

template <typename T> T Load(void const* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T> void Store(void* p, T v) { std::memcpy(p, &v, sizeof v); }

// Saturating conversion of an integer; false when the value changed.
template <typename T> bool StoreInteger(void* p, SInt64 v)
{
    constexpr SInt64 kMin = std::numeric_limits<T>::min();
    constexpr SInt64 kMax = std::numeric_limits<T>::max();
    SInt64 const clamped = v < kMin ? kMin : v > kMax ? kMax : v;
    Store(p, T(clamped));
    return clamped == v;
}

// Truncates toward zero and saturates; NaN gives 0. Never undefined behaviour.
bool RealToInteger(double r, SInt64& out)
{
    if (std::isnan(r)) {
        out = 0;
        return false;
    }
    if (r >= 0x1p63) {
        out = std::numeric_limits<SInt64>::max();
        return false;
    }
    if (r < -0x1p63) {
        out = std::numeric_limits<SInt64>::min();
        return false;
    }
    double const t = std::trunc(r);
    out = SInt64(t);
    return t == r;
}

bool IntegerToReal(SInt64 i, double& out)
{
    out = double(i);
    return out < 0x1p63 && SInt64(out) == i;
}

} // namespace

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType type, void const* valuePtr)
{
    Kind const kind = KindOf(type);
    if (!valuePtr || kind == Kind::Unknown)
        return nullptr;
    auto* n = new tw::cf::Number;
    switch (kind) {
    case Kind::Int8:
        n->integer = Load<SInt8>(valuePtr);
        break;
    case Kind::Int16:
        n->integer = Load<SInt16>(valuePtr);
        break;
    case Kind::Int32:
        n->integer = Load<SInt32>(valuePtr);
        break;
    case Kind::Int64:
        n->integer = Load<SInt64>(valuePtr);
        n->type = kCFNumberSInt64Type;
        break;
    case Kind::Float32:
        n->real = Load<Float32>(valuePtr);
        n->isFloat = true;
        n->type = kCFNumberFloat32Type;
        break;
    default:
        n->real = Load<Float64>(valuePtr);
        n->isFloat = true;
        n->type = kCFNumberFloat64Type;
        break;
    }
    return n;
}

Boolean CFNumberGetValue(CFNumberRef n, CFNumberType type, void* valuePtr)
{
    Kind const kind = KindOf(type);
    if (!n || !valuePtr || kind == Kind::Unknown)
        return false;
    if (kind == Kind::Float32 || kind == Kind::Float64) {
        double real = n->real;
        bool exact = n->isFloat || IntegerToReal(n->integer, real);
        if (kind == Kind::Float64) {
            Store(valuePtr, real);
            return exact;
        }
        float single = std::numeric_limits<float>::infinity();
        if (std::isnan(real) || std::fabs(real) <= std::numeric_limits<float>::max())
            single = float(real);
        else if (real < 0)
            single = -single;
        Store(valuePtr, single);
        return exact && (std::isnan(real) || double(single) == real);
    }
    SInt64 integer = n->integer;
    bool exact = !n->isFloat || RealToInteger(n->real, integer);
    switch (kind) {
    case Kind::Int8:
        return StoreInteger<SInt8>(valuePtr, integer) && exact;
    case Kind::Int16:
        return StoreInteger<SInt16>(valuePtr, integer) && exact;
    case Kind::Int32:
        return StoreInteger<SInt32>(valuePtr, integer) && exact;
    default:
        return StoreInteger<SInt64>(valuePtr, integer) && exact;
    }
}
