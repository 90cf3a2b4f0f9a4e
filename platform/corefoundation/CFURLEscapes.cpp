// Adding and removing percent escapes in text.

#include "corefoundation/CFURL.h"
#include "corefoundation/StringEncoding.h"
#include "corefoundation/URLParts.h"

namespace {

// Characters that may stand unescaped somewhere in a link.
constexpr std::string_view kLegal = "!$&'()*+,-./:;=?@_~#[]";

bool IsAlnum(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'); }

void AppendEscape(std::u16string& out, UInt8 byte)
{
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out += u'%';
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

} // namespace

CFStringRef CFURLCreateStringByAddingPercentEscapes(CFAllocatorRef, CFStringRef s,
    CFStringRef charactersToLeaveUnescaped, CFStringRef legalURLCharactersToBeEscaped, CFStringEncoding encoding)
{
    if (!s)
        return nullptr;
    std::u16string_view const leave
        = charactersToLeaveUnescaped ? std::u16string_view(charactersToLeaveUnescaped->Text()) : u"";
    std::u16string_view const escape
        = legalURLCharactersToBeEscaped ? std::u16string_view(legalURLCharactersToBeEscaped->Text()) : u"";
    std::u16string out;
    std::u16string_view const text = s->Text();
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t const c = text[i];
        bool const legal = c < 0x80 && (IsAlnum(c) || kLegal.find(char(c)) != std::string_view::npos);
        bool const keep
            = leave.find(c) != std::u16string_view::npos || (legal && escape.find(c) == std::u16string_view::npos);
        if (keep) {
            out += c;
            continue;
        }
        // A surrogate pair is escaped as one character.
        size_t const units = (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) ? 2 : 1;
        auto const bytes = tw::cf::EncodeAll(text.substr(i, units), encoding);
        if (!bytes)
            return nullptr;
        for (char byte : *bytes)
            AppendEscape(out, UInt8(byte));
        i += units - 1;
    }
    return new tw::cf::String(std::move(out));
}

CFStringRef CFURLCreateStringByReplacingPercentEscapes(
    CFAllocatorRef, CFStringRef s, CFStringRef charactersToLeaveEscaped)
{
    if (!s)
        return nullptr;
    if (!charactersToLeaveEscaped)
        return CFStringCreateCopy(nullptr, s); // null asks for no escapes to be replaced
    auto const bytes = tw::cf::UnescapeBytes(tw::cf::ToUTF8(s), tw::cf::ToUTF8(charactersToLeaveEscaped));
    if (!bytes)
        return nullptr;
    return tw::cf::CreateString(*bytes); // null when the escapes do not form UTF-8
}
