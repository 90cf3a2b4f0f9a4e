#include "corefoundation/StringsTable.h"

#include "corefoundation/StringEncoding.h"

#include <algorithm>

namespace tw::cf {

namespace {

    bool IsWordCharacter(char16_t c)
    {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_'
            || c == u'.' || c == u'$' || c == u':' || c == u'/' || c == u'-';
    }

    int HexValue(char16_t c)
    {
        if (c >= u'0' && c <= u'9')
            return c - u'0';
        if (c >= u'a' && c <= u'f')
            return c - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c - u'A' + 10;
        return -1;
    }

    // Reads the text a token at a time, counting lines for the error message.
    class Scanner {
    public:
        explicit Scanner(std::u16string text)
            : mText(std::move(text))
        {
        }

        bool AtEnd() { return SkipSpace() && mPosition >= mText.size(); }
        bool SkipSpace();
        bool ReadToken(std::u16string& token);
        bool Expect(char16_t c);
        std::string const& Problem() const { return mProblem; }

    private:
        bool ReadQuoted(std::u16string& token);
        bool ReadEscape(std::u16string& token);
        bool Fail(std::string const& problem);

        std::u16string mText;
        std::size_t mPosition = 0;
        int mLine = 1;
        std::string mProblem;
    };

    bool Scanner::SkipSpace()
    {
        while (mPosition < mText.size()) {
            char16_t const c = mText[mPosition];
            if (c == u'\n') {
                ++mLine;
                ++mPosition;
            } else if (c == u' ' || c == u'\t' || c == u'\r' || c == 0xFEFF) {
                ++mPosition;
            } else if (mText.compare(mPosition, 2, u"//") == 0) {
                mPosition = std::min(mText.find(u'\n', mPosition), mText.size());
            } else if (mText.compare(mPosition, 2, u"/*") == 0) {
                std::size_t const end = mText.find(u"*/", mPosition + 2);
                if (end == std::u16string::npos)
                    return Fail("a comment that is never closed");
                for (std::size_t i = mPosition; i < end; ++i)
                    mLine += mText[i] == u'\n';
                mPosition = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    bool Scanner::ReadToken(std::u16string& token)
    {
        token.clear();
        if (!SkipSpace())
            return false;
        if (mPosition < mText.size() && mText[mPosition] == u'"')
            return ReadQuoted(token);
        while (mPosition < mText.size() && IsWordCharacter(mText[mPosition]))
            token += mText[mPosition++];
        return !token.empty() || Fail("a quoted string or a word was expected");
    }

    bool Scanner::ReadQuoted(std::u16string& token)
    {
        for (++mPosition; mPosition < mText.size();) {
            char16_t const c = mText[mPosition++];
            if (c == u'"')
                return true;
            if (c == u'\\') {
                if (!ReadEscape(token))
                    return false;
                continue;
            }
            mLine += c == u'\n';
            token += c;
        }
        return Fail("a string that is never closed");
    }

    bool Scanner::ReadEscape(std::u16string& token)
    {
        if (mPosition >= mText.size())
            return Fail("a string that is never closed");
        char16_t const c = mText[mPosition++];
        switch (c) {
        case u'"':
        case u'\\':
        case u'\'':
            token += c;
            return true;
        case u'n':
            token += u'\n';
            return true;
        case u't':
            token += u'\t';
            return true;
        case u'r':
            token += u'\r';
            return true;
        case u'U':
        case u'u': {
            char16_t value = 0;
            for (int i = 0; i < 4; ++i) {
                int const digit = mPosition < mText.size() ? HexValue(mText[mPosition]) : -1;
                if (digit < 0)
                    return Fail("\\U must be followed by four hexadecimal digits");
                value = char16_t(value * 16 + digit);
                ++mPosition;
            }
            token += value;
            return true;
        }
        default:
            return Fail("an unknown escape \\" + UTF16ToUTF8(std::u16string(1, c)));
        }
    }

    bool Scanner::Expect(char16_t c)
    {
        if (!SkipSpace())
            return false;
        if (mPosition < mText.size() && mText[mPosition] == c) {
            ++mPosition;
            return true;
        }
        return Fail(std::string("'") + char(c) + "' was expected");
    }

    bool Scanner::Fail(std::string const& problem)
    {
        if (mProblem.empty())
            mProblem = "line " + std::to_string(mLine) + ": " + problem;
        return false;
    }

    std::optional<std::u16string> DecodeFile(std::string_view bytes)
    {
        auto const* data = reinterpret_cast<UInt8 const*>(bytes.data());
        if (bytes.size() >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)))
            return DecodeBytes(data, CFIndex(bytes.size()), kCFStringEncodingUTF16, true);
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
            bytes.remove_prefix(3);
        return DecodeUTF8(bytes);
    }

} // namespace

std::optional<StringsTable> StringsTable::Parse(std::string_view bytes, std::string* error)
{
    std::optional<std::u16string> text = DecodeFile(bytes);
    if (!text) {
        if (error)
            *error = "the text is neither UTF-8 nor UTF-16 with a byte-order mark";
        return std::nullopt;
    }
    Scanner scanner(std::move(*text));
    StringsTable table;
    std::u16string key, value;
    while (!scanner.AtEnd()) {
        if (!scanner.ReadToken(key) || !scanner.Expect(u'=') || !scanner.ReadToken(value) || !scanner.Expect(u';'))
            break;
        table.mEntries[key] = value; // a later line for the same key wins
    }
    if (!scanner.Problem().empty()) {
        if (error)
            *error = scanner.Problem();
        return std::nullopt;
    }
    return table;
}

std::u16string const* StringsTable::Find(std::u16string const& key) const
{
    auto const found = mEntries.find(key);
    return found == mEntries.end() ? nullptr : &found->second;
}

} // namespace tw::cf
