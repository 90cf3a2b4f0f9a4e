// Numbers read from strings, and strings split and joined.

#include "corefoundation/CFArray.h"
#include "corefoundation/StringAccess.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <vector>

SInt32 CFStringGetIntValue(CFStringRef s)
{
    if (!s)
        return 0;
    std::u16string const& text = s->Text();
    size_t i = 0;
    while (i < text.size() && tw::cf::IsWhitespace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t(std::numeric_limits<SInt32>::max()) + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > kLimit)
            value = kLimit; // saturate, and keep the product small
    }
    if (negative)
        return SInt32(-value);
    return value >= kLimit ? std::numeric_limits<SInt32>::max() : SInt32(value);
}

double CFStringGetDoubleValue(CFStringRef s)
{
    if (!s)
        return 0;
    std::u16string const& text = s->Text();
    size_t i = 0;
    while (i < text.size() && tw::cf::IsWhitespace(text[i]))
        ++i;
    std::string ascii;
    for (; i < text.size() && text[i] < 0x80; ++i)
        ascii.push_back(char(text[i]));
    bool const negative = !ascii.empty() && ascii[0] == '-';
    size_t const start = (!ascii.empty() && (ascii[0] == '+' || ascii[0] == '-')) ? 1 : 0;
    double value = 0;
    auto const result = std::from_chars(ascii.data() + start, ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return 0;
    if (result.ec != std::errc())
        return 0;
    return negative ? -value : value;
}

CFArrayRef CFStringCreateArrayBySeparatingStrings(CFAllocatorRef, CFStringRef s, CFStringRef separator)
{
    if (!s)
        return nullptr;
    std::u16string const& text = s->Text();
    std::u16string const sep = separator ? separator->Text() : std::u16string();
    std::vector<void const*> parts;
    size_t start = 0;
    while (true) {
        size_t const at = sep.empty() ? std::u16string::npos : text.find(sep, start);
        parts.push_back(new tw::cf::String(text.substr(start, at == std::u16string::npos ? at : at - start)));
        if (at == std::u16string::npos)
            break;
        start = at + sep.size();
    }
    CFArrayRef array = CFArrayCreate(nullptr, parts.data(), CFIndex(parts.size()), &kCFTypeArrayCallBacks);
    for (void const* part : parts)
        CFRelease(static_cast<CFTypeRef>(part));
    return array;
}

CFStringRef CFStringCreateByCombiningStrings(CFAllocatorRef, CFArrayRef strings, CFStringRef separator)
{
    std::u16string joined;
    CFIndex const count = CFArrayGetCount(strings);
    for (CFIndex i = 0; i < count; ++i) {
        if (i > 0 && separator)
            joined += separator->Text();
        auto const* part = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(strings, i));
        if (part && part->TypeID() == kTWTypeIDString)
            joined += static_cast<CFStringRef>(part)->Text();
    }
    return new tw::cf::String(std::move(joined));
}
