#include "bindings/Source/Bindings/CBPreferenceRecord.h"

#include "bindings/Source/Core/CBDebugObject.h"

#include <array>
#include <cstring>

namespace tw::bindings {

namespace {

    constexpr UInt32 kTagPoint = 'poin';
    constexpr UInt32 kTagSize = 'size';
    constexpr UInt32 kTagRect = 'rect';

    void PutUInt32(UInt8* bytes, UInt32 value)
    {
        for (int i = 0; i < 4; i++)
            bytes[i] = UInt8(value >> (8 * i));
    }

    UInt32 TakeUInt32(UInt8 const* bytes)
    {
        UInt32 value = 0;
        for (int i = 0; i < 4; i++)
            value |= UInt32(bytes[i]) << (8 * i);
        return value;
    }

    void PutFloat(UInt8* bytes, double value)
    {
        float const single = float(value);
        UInt32 bits = 0;
        std::memcpy(&bits, &single, sizeof bits);
        PutUInt32(bytes, bits);
    }

    double TakeFloat(UInt8 const* bytes)
    {
        UInt32 const bits = TakeUInt32(bytes);
        float single = 0;
        std::memcpy(&single, &bits, sizeof single);
        return single;
    }

} // namespace

CFDataRef CreateGeometryRecord(CBValue const& theValue)
{
    std::array<UInt8, kGeometryRecordSize> bytes {};
    std::array<double, 4> fields {};
    UInt32 tag = 0;
    if (theValue.IsPoint()) {
        tag = kTagPoint;
        fields = { theValue.GetPoint().x, theValue.GetPoint().y, 0, 0 };
    } else if (theValue.IsSize()) {
        tag = kTagSize;
        fields = { theValue.GetSize().width, theValue.GetSize().height, 0, 0 };
    } else if (theValue.IsRect()) {
        CGRect const rect = theValue.GetRect();
        tag = kTagRect;
        fields = { rect.origin.x, rect.origin.y, rect.size.width, rect.size.height };
    } else {
        return nullptr;
    }
    PutUInt32(bytes.data(), tag);
    for (size_t i = 0; i < fields.size(); i++)
        PutFloat(bytes.data() + 4 + 4 * i, fields[i]);
    return CFDataCreate(nullptr, bytes.data(), kGeometryRecordSize);
}

CBValue ReadGeometryRecord(CFDataRef data)
{
    CBValue value;
    if (CFDataGetLength(data) != kGeometryRecordSize) {
        // Shorter data would be read past its end.
        CB_REPORT("Unknown CBData size: %ld", static_cast<long>(CFDataGetLength(data)));
        return value;
    }
    UInt8 const* const bytes = CFDataGetBytePtr(data);
    UInt32 const tag = TakeUInt32(bytes);
    double const a = TakeFloat(bytes + 4), b = TakeFloat(bytes + 8);
    double const c = TakeFloat(bytes + 12), d = TakeFloat(bytes + 16);
    if (tag == kTagRect)
        value.SetRect(CGRectMake(a, b, c, d));
    else if (tag == kTagSize)
        value.SetSize(CGSizeMake(a, b));
    else if (tag == kTagPoint)
        value.SetPoint(CGPointMake(a, b));
    else
        CB_REPORT("Unknown CBData type: %ld", static_cast<long>(tag));
    return value;
}

} // namespace tw::bindings
