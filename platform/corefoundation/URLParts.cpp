#include "corefoundation/URLParts.h"

#include <cctype>
#include <vector>

namespace tw::cf {

namespace {

    bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    bool IsUnreserved(char c) { return IsAlpha(c) || IsDigit(c) || c == '-' || c == '.' || c == '_' || c == '~'; }

    int HexValue(char c)
    {
        if (IsDigit(c))
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    size_t SchemeLength(std::string_view text)
    {
        if (text.empty() || !IsAlpha(text[0]))
            return 0;
        size_t i = 1;
        while (i < text.size()
            && (IsAlpha(text[i]) || IsDigit(text[i]) || text[i] == '+' || text[i] == '-' || text[i] == '.'))
            ++i;
        return i < text.size() && text[i] == ':' ? i : 0;
    }

    bool HasLegalCharacters(std::string_view text)
    {
        static constexpr std::string_view kReserved = ":/?#[]@!$&'()*+,;=";
        for (size_t i = 0; i < text.size(); ++i) {
            char const c = text[i];
            if (c == '%') {
                if (i + 2 >= text.size() || HexValue(text[i + 1]) < 0 || HexValue(text[i + 2]) < 0)
                    return false;
                i += 2;
            } else if (!IsUnreserved(c) && kReserved.find(c) == std::string_view::npos) {
                return false;
            }
        }
        return true;
    }

    std::string RemoveDotSegments(std::string_view path)
    {
        std::vector<std::string_view> out;
        bool const absolute = !path.empty() && path[0] == '/';
        size_t i = absolute ? 1 : 0;
        bool trailingSlash = false;
        while (i <= path.size()) {
            size_t const slash = path.find('/', i);
            std::string_view const segment
                = path.substr(i, slash == std::string_view::npos ? std::string_view::npos : slash - i);
            bool const last = slash == std::string_view::npos;
            trailingSlash = false;
            if (segment == "..") {
                if (!out.empty())
                    out.pop_back();
                trailingSlash = true;
            } else if (segment == ".") {
                trailingSlash = true;
            } else {
                out.push_back(segment);
            }
            if (last)
                break;
            i = slash + 1;
        }
        std::string result = absolute ? "/" : "";
        for (size_t k = 0; k < out.size(); ++k) {
            result += out[k];
            if (k + 1 < out.size())
                result += '/';
        }
        if (trailingSlash && !out.empty())
            result += '/';
        return result;
    }

} // namespace

URLParts SplitURL(std::string_view text)
{
    URLParts parts;
    if (size_t const n = SchemeLength(text)) {
        parts.scheme = std::string(text.substr(0, n));
        text.remove_prefix(n + 1);
    }
    if (size_t const hash = text.find('#'); hash != std::string_view::npos) {
        parts.fragment = std::string(text.substr(hash + 1));
        text = text.substr(0, hash);
    }
    if (size_t const question = text.find('?'); question != std::string_view::npos) {
        parts.query = std::string(text.substr(question + 1));
        text = text.substr(0, question);
    }
    if (text.starts_with("//")) {
        size_t const slash = text.find('/', 2);
        parts.authority
            = std::string(text.substr(2, slash == std::string_view::npos ? std::string_view::npos : slash - 2));
        text = slash == std::string_view::npos ? std::string_view() : text.substr(slash);
    }
    parts.path = std::string(text);
    return parts;
}

URLParts SplitURL(URL const* url) { return SplitURL(url ? UTF16ToUTF8(url->string) : std::string()); }

URL* MakeURL(URLParts const& parts) { return new URL(UTF8ToUTF16(parts.Compose())); }

String* MakeString(std::string_view utf8) { return new String(UTF8ToUTF16(utf8)); }

std::string URLParts::Host() const
{
    if (!authority)
        return {};
    std::string_view host = *authority;
    if (size_t const at = host.rfind('@'); at != std::string_view::npos)
        host.remove_prefix(at + 1);
    if (host.starts_with('[')) {
        size_t const close = host.find(']');
        return std::string(host.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    return std::string(host.substr(0, host.find(':')));
}

std::optional<std::string> URLParts::Port() const
{
    if (!authority)
        return std::nullopt;
    std::string_view host = *authority;
    if (size_t const at = host.rfind('@'); at != std::string_view::npos)
        host.remove_prefix(at + 1);
    if (size_t const close = host.find(']'); close != std::string_view::npos)
        host.remove_prefix(close + 1);
    size_t const colon = host.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    return std::string(host.substr(colon + 1));
}

std::string URLParts::Compose() const
{
    std::string text;
    if (scheme)
        text += *scheme + ":";
    if (authority)
        text += "//" + *authority;
    else if (path.starts_with("//"))
        text += "/."; // keeps the path from reading as an authority
    text += path;
    if (query)
        text += "?" + *query;
    if (fragment)
        text += "#" + *fragment;
    return text;
}

bool IsWellFormedURL(std::string_view text)
{
    if (text.empty() || !HasLegalCharacters(text))
        return false;
    if (text.find(':') != std::string_view::npos && text[0] != '/' && text[0] != '?' && text[0] != '#') {
        // A colon before the first slash must end a valid scheme.
        size_t const colon = text.find(':');
        size_t const slash = text.find_first_of("/?#");
        if (colon < slash && SchemeLength(text) != colon)
            return false;
    }
    URLParts const parts = SplitURL(text);
    std::string_view const rest = parts.authority ? std::string_view(*parts.authority) : std::string_view();
    size_t const open = rest.find('[');
    size_t const close = rest.find(']');
    bool const bracketsOK = (open == std::string_view::npos && close == std::string_view::npos)
        || (open != std::string_view::npos && close != std::string_view::npos && open < close
            && rest.find('[', open + 1) == std::string_view::npos && rest.find(']', close + 1) == std::string_view::npos
            && (open == 0 || rest[open - 1] == '@'));
    auto const stripped
        = [&](std::optional<std::string> const& s) { return !s || s->find_first_of("[]") == std::string::npos; };
    if (!bracketsOK || parts.path.find_first_of("[]") != std::string::npos || !stripped(parts.query)
        || !stripped(parts.fragment))
        return false;
    if (auto const port = parts.Port()) {
        for (char c : *port) {
            if (!IsDigit(c))
                return false;
        }
    }
    return true;
}

URLParts ResolveURL(URLParts const& base, URLParts const& r)
{
    URLParts t;
    if (r.scheme) {
        t = r;
        t.path = RemoveDotSegments(r.path);
        return t;
    }
    t.scheme = base.scheme;
    if (r.authority) {
        t.authority = r.authority;
        t.path = RemoveDotSegments(r.path);
        t.query = r.query;
    } else {
        t.authority = base.authority;
        if (r.path.empty()) {
            t.path = base.path;
            t.query = r.query ? r.query : base.query;
        } else {
            if (r.path[0] == '/') {
                t.path = RemoveDotSegments(r.path);
            } else if (base.authority && base.path.empty()) {
                t.path = RemoveDotSegments("/" + r.path);
            } else {
                size_t const slash = base.path.rfind('/');
                std::string const dir = slash == std::string::npos ? std::string() : base.path.substr(0, slash + 1);
                t.path = RemoveDotSegments(dir + r.path);
            }
            t.query = r.query;
        }
    }
    t.fragment = r.fragment;
    return t;
}

std::string EscapeBytes(std::string_view bytes, std::string_view keep)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        if (IsUnreserved(c) || (c != '\0' && keep.find(c) != std::string_view::npos)) {
            out += c;
        } else {
            auto const byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::optional<std::string> UnescapeBytes(std::string_view text, std::string_view leaveEscaped)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || HexValue(text[i + 1]) < 0 || HexValue(text[i + 2]) < 0)
            return std::nullopt;
        char const c = char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
        if (c != '\0' && leaveEscaped.find(c) != std::string_view::npos)
            out.append(text.substr(i, 3));
        else
            out += c;
        i += 2;
    }
    return out;
}

} // namespace tw::cf
