#include "corefoundation/CFNumber.h"
#include "corefoundation/CFString.h"
#include "corefoundation/Misuse.h"

#include <algorithm>
#include <string_view>

namespace tw::cf {

Data::Data(UInt8 const* b, CFIndex length, bool m)
    : bytes(b && length > 0 ? std::vector<UInt8>(b, b + length) : std::vector<UInt8>())
    , isMutable(m)
{
}

bool Data::Equals(Object const& other) const { return bytes == static_cast<Data const&>(other).bytes; }

CFHashCode Data::Hash() const
{
    auto const view = std::string_view(reinterpret_cast<char const*>(bytes.data()), bytes.size());
    return CFHashCode(std::hash<std::string_view> {}(view));
}

String* Data::CopyDescription() const
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "<";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            text += ' ';
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 15];
    }
    text += '>';
    return CreateString(text);
}

} // namespace tw::cf

namespace {

bool CheckMutableData(CFMutableDataRef d, char const* function)
{
    if (d && d->isMutable)
        return true;
    tw::cf::ReportMisuse(function, d ? "data is immutable" : "null data");
    return false;
}

} // namespace

CFTypeID CFDataGetTypeID() { return kTWTypeIDData; }

CFDataRef CFDataCreate(CFAllocatorRef, UInt8 const* bytes, CFIndex length)
{
    if (length < 0 || (!bytes && length > 0))
        return nullptr;
    return new tw::cf::Data(bytes, length, false);
}

CFMutableDataRef CFDataCreateMutable(CFAllocatorRef, CFIndex) { return new tw::cf::Data(nullptr, 0, true); }

CFMutableDataRef CFDataCreateMutableCopy(CFAllocatorRef, CFIndex, CFDataRef d)
{
    auto* copy = new tw::cf::Data(nullptr, 0, true);
    if (d)
        copy->bytes = d->bytes;
    return copy;
}

CFIndex CFDataGetLength(CFDataRef d) { return d ? CFIndex(d->bytes.size()) : 0; }

UInt8 const* CFDataGetBytePtr(CFDataRef d) { return d ? d->bytes.data() : nullptr; }

UInt8* CFDataGetMutableBytePtr(CFMutableDataRef d)
{
    return CheckMutableData(d, "CFDataGetMutableBytePtr") ? d->bytes.data() : nullptr;
}

void CFDataGetBytes(CFDataRef d, CFRange range, UInt8* buffer)
{
    CFIndex const length = CFDataGetLength(d);
    if (!buffer || range.location < 0 || range.length < 0 || range.location > length
        || range.length > length - range.location) {
        tw::cf::ReportMisuse("CFDataGetBytes", "range out of bounds");
        return;
    }
    if (range.length > 0)
        std::copy_n(d->bytes.begin() + range.location, range.length, buffer);
}

void CFDataSetLength(CFMutableDataRef d, CFIndex length)
{
    if (CheckMutableData(d, "CFDataSetLength") && length >= 0)
        d->bytes.resize(size_t(length), 0);
}

void CFDataAppendBytes(CFMutableDataRef d, UInt8 const* bytes, CFIndex length)
{
    if (CheckMutableData(d, "CFDataAppendBytes") && bytes && length > 0)
        d->bytes.insert(d->bytes.end(), bytes, bytes + length);
}
