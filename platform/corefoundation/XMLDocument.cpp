#include "corefoundation/XMLDocument.h"

#include "corefoundation/StringEncoding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace tw::cf {

namespace {

    // Characters XML 1.0 allows (the C0 controls other than tab, LF and CR are out).
    bool IsXMLChar(char32_t c)
    {
        if (c < 0x20)
            return c == 0x09 || c == 0x0A || c == 0x0D;
        if (c >= 0xD800 && c <= 0xDFFF)
            return false;
        return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
    }

    void AppendUTF8(std::string& out, char32_t c)
    {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }

    // Bytes that stand for themselves, needing no look: printable 7-bit characters and the tab.
    constexpr auto kPlainByte = [] {
        std::array<bool, 256> plain {};
        for (int c = 0x20; c < 0x80; ++c)
            plain[std::size_t(c)] = true;
        plain['\t'] = true;
        return plain;
    }();

    // Where the run of plain bytes from text[i] ends: eight bytes at a time, as a file is
    // mostly plain text and indentation.
    std::size_t PlainRunEnd(char const* text, std::size_t i, std::size_t size)
    {
        if constexpr (std::endian::native == std::endian::little) {
            constexpr UInt64 kHigh = 0x8080808080808080ULL;
            constexpr UInt64 kLow7 = 0x7F7F7F7F7F7F7F7FULL;
            constexpr UInt64 kBits56 = 0x6060606060606060ULL;
            constexpr UInt64 kTabs = 0x0909090909090909ULL;
            for (; i + 8 <= size; i += 8) {
                UInt64 word;
                std::memcpy(&word, text + i, 8);
                // Each byte's top bit, exactly: 8-bit, below 0x20, a tab.
                UInt64 const control = ~(((word & kBits56) + kBits56)) & kHigh;
                UInt64 const tabbed = word ^ kTabs;
                UInt64 const tab = ~(((tabbed & kLow7) + kLow7) | tabbed | kLow7);
                if (UInt64 const odd = (word & kHigh) | (control & ~tab)) {
                    i += std::size_t(std::countr_zero(odd)) / 8;
                    return i;
                }
            }
        }
        while (i < size && kPlainByte[UInt8(text[i])])
            ++i;
        return i;
    }

    // Reads one UTF-8 character at text[i]; returns its length, or 0 when malformed.
    std::size_t ReadUTF8(std::string_view text, std::size_t i, char32_t& c)
    {
        auto const lead = UInt8(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || lead > 0xF4 || i + length > text.size())
            return 0;
        c = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length; ++k) {
            auto const next = UInt8(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return 0;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        return c < kSmallest[length] ? 0 : length;
    }

    bool ParseCharacterReference(std::string_view name, char32_t& c)
    {
        // name is "#123" or "#x1F"
        int base = 10;
        name.remove_prefix(1);
        if (!name.empty() && name[0] == 'x') {
            base = 16;
            name.remove_prefix(1);
        }
        if (name.empty() || name[0] == '-' || name[0] == '+')
            return false;
        UInt32 value = 0;
        auto const [end, ec] = std::from_chars(name.data(), name.data() + name.size(), value, base);
        if (ec != std::errc() || end != name.data() + name.size())
            return false;
        c = value;
        return IsXMLChar(c);
    }

    // Where raw[i] lies in the node's own text; attribute values count as the element's line.
    std::size_t TextOffset(std::string_view raw, pugi::xml_node node, std::size_t i)
    {
        return raw.data() == node.value() ? i : 0;
    }

} // namespace

bool XMLDocument::Load(unsigned char const* bytes, std::size_t length, unsigned int extraOptions)
{
    mError.clear();
    if (!Prepare(bytes, length))
        return false;
    mParsedCopy = mText;
    return Parse(extraOptions);
}

bool XMLDocument::Load(std::string text, unsigned int extraOptions)
{
    mError.clear();
    mParsedCopy.clear();
    auto const* bytes = reinterpret_cast<unsigned char const*>(text.data());
    if (text.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        if (!Prepare(bytes, text.size()))
            return false;
    } else {
        mText = std::move(text);
        if (mText.compare(0, 3, "\xEF\xBB\xBF") == 0)
            mText.erase(0, 3);
    }
    return Parse(extraOptions);
}

bool XMLDocument::Parse(unsigned int extraOptions)
{
    if (!CheckCharacters())
        return false;
    // No parse_escapes: references are resolved by Decode, which refuses unknown ones.
    unsigned int const options = pugi::parse_cdata | pugi::parse_wconv_attribute | pugi::parse_eol | pugi::parse_doctype
        | pugi::parse_fragment | extraOptions;
    std::string& parsed = mParsedCopy.empty() ? mText : mParsedCopy;
    pugi::xml_parse_result const result
        = mDocument.load_buffer_inplace(parsed.data(), parsed.size(), options, pugi::encoding_utf8);
    if (!result)
        return FailAt(result.offset, result.description());
    return CheckTopLevel();
}

bool XMLDocument::Prepare(unsigned char const* bytes, std::size_t length)
{
    if (length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        auto const text = DecodeBytes(bytes, CFIndex(length), kCFStringEncodingUTF16, true);
        auto const utf8 = text ? EncodeAll(*text, kCFStringEncodingUTF8) : std::nullopt;
        if (!utf8) {
            mError = "Line 1: the UTF-16 text is malformed";
            return false;
        }
        mText = *utf8;
        return true;
    }
    std::size_t skip = length >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    mText.assign(reinterpret_cast<char const*>(bytes) + skip, length - skip);
    return true;
}

bool XMLDocument::CheckCharacters()
{
    mLineStarts.clear();
    std::size_t const size = mText.size();
    char const* const text = mText.data();
    for (std::size_t i = 0; i < size;) {
        // The common case, quickly: runs of printable 7-bit characters and tabs.
        i = PlainRunEnd(text, i, size);
        if (i >= size)
            break;
        char const byte = text[i];
        if (byte == '\n') {
            mLineStarts.push_back(++i);
            continue;
        }
        if ((byte == '\r' && (i + 1 >= mText.size() || mText[i + 1] != '\n')))
            mLineStarts.push_back(i + 1);
        char32_t c = 0;
        std::size_t const length = ReadUTF8(mText, i, c);
        if (length == 0)
            return FailAt(std::ptrdiff_t(i), "the text is not valid UTF-8");
        if (!IsXMLChar(c)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
            return FailAt(std::ptrdiff_t(i), std::string("a character XML does not allow (") + code + ")");
        }
        i += length;
    }
    return true;
}

bool XMLDocument::CheckTopLevel()
{
    int elements = 0;
    for (pugi::xml_node node : mDocument.children()) {
        switch (node.type()) {
        case pugi::node_element:
            if (++elements > 1)
                return Fail(node, "more than one root element");
            break;
        case pugi::node_doctype:
            // Entity declarations are refused outright: no expansion, no external fetch.
            if (std::strstr(node.value(), "<!ENTITY"))
                return Fail(node, "entity declarations are not allowed");
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            if (std::size_t const text = std::strspn(node.value(), " \t\r\n"); text != std::strlen(node.value()))
                return Fail(node, "text outside the root element", text);
            break;
        default:
            break;
        }
    }
    if (elements == 0)
        return FailAt(std::ptrdiff_t(mText.size()), "no root element");
    return true;
}

bool XMLDocument::Decode(std::string_view raw, pugi::xml_node node, std::string& out)
{
    std::string error;
    if (Decode(raw, node, out, error))
        return true;
    if (mError.empty())
        mError = std::move(error);
    return false;
}

bool XMLDocument::Decode(std::string_view raw, pugi::xml_node node, std::string& out, std::string& error) const
{
    auto const fail = [&](std::string const& problem, std::size_t i) {
        error = Describe(node, problem, TextOffset(raw, node, i));
        return false;
    };
    out.clear();
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '<')
            return fail("a '<' inside a value", i);
        if (raw[i] != '&') {
            std::size_t plain = i;
            while (plain < raw.size() && raw[plain] != '<' && raw[plain] != '&')
                ++plain;
            out.append(raw, i, plain - i); // the run up to the next reference, at once
            i = plain - 1;
            continue;
        }
        std::size_t const semicolon = raw.find(';', i);
        if (semicolon == std::string_view::npos || semicolon - i > 12)
            return fail("an '&' that starts no entity reference", i);
        std::string_view const name = raw.substr(i + 1, semicolon - i - 1);
        static constexpr std::pair<std::string_view, char> kNamed[]
            = { { "lt", '<' }, { "gt", '>' }, { "amp", '&' }, { "quot", '"' }, { "apos", '\'' } };
        bool known = false;
        for (auto const& [entity, character] : kNamed) {
            if (name == entity) {
                out += character;
                known = true;
            }
        }
        char32_t c = 0;
        if (!known && !name.empty() && name[0] == '#' && ParseCharacterReference(name, c)) {
            AppendUTF8(out, c);
            known = true;
        }
        if (!known)
            return fail("unknown or malformed entity reference &" + std::string(name) + ";", i);
        i = semicolon;
    }
    return true;
}

bool XMLDocument::IsEmptyTag(pugi::xml_node element) const
{
    std::ptrdiff_t const start = element.offset_debug();
    if (element.first_child() || start < 0 || mParsedCopy.empty())
        return false;
    char quote = 0;
    for (std::size_t i = std::size_t(start); i < mText.size(); ++i) {
        char const c = mText[i];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i > 0 && mText[i - 1] == '/';
        }
    }
    return false;
}

bool XMLDocument::Fail(pugi::xml_node node, std::string const& problem, std::size_t at)
{
    if (mError.empty())
        mError = Describe(node, problem, at);
    return false;
}

std::string XMLDocument::Describe(pugi::xml_node node, std::string const& problem, std::size_t at) const
{
    // Line breaks in a value are already LF only, so counting them finds the line.
    std::string_view const text = node.value();
    auto const lines = std::count(text.begin(), text.begin() + std::ptrdiff_t(std::min(at, text.size())), '\n');
    return "Line " + std::to_string(LineAt(node.offset_debug()) + int(lines)) + ": " + problem;
}

bool XMLDocument::FailAt(std::ptrdiff_t offset, std::string const& problem, int moreLines)
{
    if (mError.empty())
        mError = "Line " + std::to_string(LineAt(offset) + moreLines) + ": " + problem;
    return false;
}

// From the line starts found before parsing: a text parsed where it lies has changed since.
int XMLDocument::LineAt(std::ptrdiff_t offset) const
{
    std::size_t const end = offset < 0 ? 0 : std::size_t(offset);
    return 1 + int(std::upper_bound(mLineStarts.begin(), mLineStarts.end(), end) - mLineStarts.begin());
}

} // namespace tw::cf
