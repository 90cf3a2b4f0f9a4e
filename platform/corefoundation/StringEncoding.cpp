#include "corefoundation/StringEncoding.h"

#include <bit>

namespace tw::cf {

namespace {

    // Bytes 0x80-0xFF of Mac Roman.
    constexpr char16_t kMacRomanHigh[128] = {
        0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, // 80
        0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, // 88
        0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, // 90
        0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, // 98
        0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, // A0
        0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, // A8
        0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, // B0
        0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, // B8
        0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, // C0
        0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, // C8
        0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, // D0
        0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, // D8
        0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, // E0
        0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, // E8
        0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, // F0
        0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7, // F8
    };

    // Bytes 0x80-0x9F of Windows Latin-1; its five unassigned bytes keep their C1 code points.
    constexpr char16_t kWindowsLatin1C1[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
    };

    bool IsSingleByte(CFStringEncoding encoding)
    {
        return encoding == kCFStringEncodingMacRoman || encoding == kCFStringEncodingWindowsLatin1
            || encoding == kCFStringEncodingISOLatin1 || encoding == kCFStringEncodingASCII;
    }

    bool IsUTF16(CFStringEncoding encoding)
    {
        return encoding == kCFStringEncodingUTF16 || encoding == kCFStringEncodingUTF16BE
            || encoding == kCFStringEncodingUTF16LE;
    }

    // -1 when the byte has no character in the encoding.
    int DecodeByte(UInt8 byte, CFStringEncoding encoding)
    {
        if (byte < 0x80)
            return byte;
        switch (encoding) {
        case kCFStringEncodingMacRoman:
            return kMacRomanHigh[byte - 0x80];
        case kCFStringEncodingWindowsLatin1:
            return byte < 0xA0 ? kWindowsLatin1C1[byte - 0x80] : byte;
        case kCFStringEncodingISOLatin1:
            return byte;
        default:
            return -1;
        }
    }

    // -1 when the unit has no byte in the encoding.
    int EncodeByte(char16_t unit, CFStringEncoding encoding)
    {
        if (unit < 0x80)
            return unit;
        switch (encoding) {
        case kCFStringEncodingMacRoman:
            for (int i = 0; i < 128; ++i) {
                if (kMacRomanHigh[i] == unit)
                    return 0x80 + i;
            }
            return -1;
        case kCFStringEncodingWindowsLatin1:
            if (unit >= 0xA0 && unit <= 0xFF)
                return unit;
            for (int i = 0; i < 32; ++i) {
                if (kWindowsLatin1C1[i] == unit)
                    return 0x80 + i;
            }
            return -1;
        case kCFStringEncodingISOLatin1:
            return unit <= 0xFF ? unit : -1;
        default:
            return -1;
        }
    }

    bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
    bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

    void AppendCodePoint(std::u16string& out, char32_t c)
    {
        if (c < 0x10000) {
            out.push_back(char16_t(c));
        } else {
            c -= 0x10000;
            out.push_back(char16_t(0xD800 + (c >> 10)));
            out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
        }
    }

    // Reads one strict UTF-8 sequence at bytes[i]; 0 length when invalid.
    int ReadUTF8(std::string_view bytes, size_t i, char32_t& c)
    {
        auto const b0 = UInt8(bytes[i]);
        if (b0 < 0x80) {
            c = b0;
            return 1;
        }
        int length = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 ? 2 : 0;
        if (length == 0 || b0 > 0xF4 || i + length > bytes.size())
            return 0;
        c = b0 & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            auto const b = UInt8(bytes[i + k]);
            if ((b & 0xC0) != 0x80)
                return 0;
            c = (c << 6) | (b & 0x3F);
        }
        bool const overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
        if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return 0;
        return length;
    }

    int UTF8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

    void WriteUTF8(char32_t c, UInt8* out)
    {
        int const length = UTF8Length(c);
        if (length == 1) {
            out[0] = UInt8(c);
            return;
        }
        static constexpr UInt8 kLead[5] = { 0, 0, 0xC0, 0xE0, 0xF0 };
        for (int k = length - 1; k > 0; --k) {
            out[k] = UInt8(0x80 | (c & 0x3F));
            c >>= 6;
        }
        out[0] = UInt8(kLead[length] | c);
    }

    std::optional<std::u16string> DecodeUTF16(UInt8 const* bytes, CFIndex length, bool bigEndian)
    {
        if (length % 2 != 0)
            return std::nullopt;
        std::u16string text;
        text.reserve(size_t(length / 2));
        for (CFIndex i = 0; i < length; i += 2) {
            text.push_back(
                bigEndian ? char16_t((bytes[i] << 8) | bytes[i + 1]) : char16_t((bytes[i + 1] << 8) | bytes[i]));
        }
        return text;
    }

} // namespace

bool IsKnownEncoding(CFStringEncoding encoding)
{
    return encoding == kCFStringEncodingUTF8 || IsUTF16(encoding) || IsSingleByte(encoding);
}

std::optional<std::u16string> DecodeUTF8(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        int const length = ReadUTF8(bytes, i, c);
        if (length == 0)
            return std::nullopt;
        AppendCodePoint(text, c);
        i += size_t(length);
    }
    return text;
}

std::u16string UTF8ToUTF16(std::string_view utf8)
{
    std::u16string text;
    text.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        int const length = ReadUTF8(utf8, i, c);
        AppendCodePoint(text, length ? c : U'\uFFFD');
        i += size_t(length ? length : 1);
    }
    return text;
}

std::string UTF16ToUTF8(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (IsHighSurrogate(utf16[i]) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        UInt8 bytes[4];
        WriteUTF8(c, bytes);
        out.append(reinterpret_cast<char const*>(bytes), size_t(UTF8Length(c)));
    }
    return out;
}

std::optional<std::u16string> DecodeBytes(
    UInt8 const* bytes, CFIndex length, CFStringEncoding encoding, bool isExternalRepresentation)
{
    if (length < 0 || (!bytes && length > 0))
        return std::nullopt;
    if (encoding == kCFStringEncodingUTF8) {
        auto text = std::string_view(reinterpret_cast<char const*>(bytes), size_t(length));
        if (text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3); // a byte-order mark is no part of the text
        return DecodeUTF8(text);
    }
    if (encoding == kCFStringEncodingUTF16BE || encoding == kCFStringEncodingUTF16LE)
        return DecodeUTF16(bytes, length, encoding == kCFStringEncodingUTF16BE);
    if (encoding == kCFStringEncodingUTF16) {
        if (length >= 2 && ((bytes[0] == 0xFE && bytes[1] == 0xFF) || (bytes[0] == 0xFF && bytes[1] == 0xFE)))
            return DecodeUTF16(bytes + 2, length - 2, bytes[0] == 0xFE);
        return DecodeUTF16(bytes, length, isExternalRepresentation || std::endian::native == std::endian::big);
    }
    if (!IsSingleByte(encoding))
        return std::nullopt;
    std::u16string text(size_t(length), u'\0');
    for (CFIndex i = 0; i < length; ++i) {
        int const unit = DecodeByte(bytes[i], encoding);
        if (unit < 0)
            return std::nullopt;
        text[size_t(i)] = char16_t(unit);
    }
    return text;
}

namespace {

    EncodeResult EncodeUTF16(std::u16string_view text, CFStringEncoding encoding, bool isExternalRepresentation,
        UInt8* buffer, CFIndex maxLength)
    {
        EncodeResult result;
        bool const bigEndian = encoding == kCFStringEncodingUTF16BE
            || (encoding == kCFStringEncodingUTF16 && std::endian::native == std::endian::big);
        auto put = [&](char16_t unit) {
            if (buffer && result.used + 2 > maxLength)
                return false;
            if (buffer) {
                buffer[result.used] = UInt8(bigEndian ? unit >> 8 : unit & 0xFF);
                buffer[result.used + 1] = UInt8(bigEndian ? unit & 0xFF : unit >> 8);
            }
            result.used += 2;
            return true;
        };
        if (encoding == kCFStringEncodingUTF16 && isExternalRepresentation && !put(0xFEFF))
            return result;
        for (char16_t unit : text) {
            if (!put(unit))
                break;
            ++result.converted;
        }
        return result;
    }

    EncodeResult EncodeUTF8(std::u16string_view text, UInt8 lossByte, UInt8* buffer, CFIndex maxLength)
    {
        EncodeResult result;
        for (size_t i = 0; i < text.size();) {
            char32_t c = text[i];
            size_t units = 1;
            bool valid = true;
            if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                units = 2;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                valid = false;
            }
            if (!valid && lossByte == 0)
                break;
            int const length = valid ? UTF8Length(c) : 1;
            if (buffer && result.used + length > maxLength)
                break;
            if (buffer) {
                if (valid)
                    WriteUTF8(c, buffer + result.used);
                else
                    buffer[result.used] = lossByte;
            }
            result.used += length;
            result.converted += CFIndex(units);
            i += units;
        }
        return result;
    }

} // namespace

EncodeResult EncodeText(std::u16string_view text, CFStringEncoding encoding, UInt8 lossByte,
    bool isExternalRepresentation, UInt8* buffer, CFIndex maxLength)
{
    if (encoding == kCFStringEncodingUTF8)
        return EncodeUTF8(text, lossByte, buffer, maxLength);
    if (IsUTF16(encoding))
        return EncodeUTF16(text, encoding, isExternalRepresentation, buffer, maxLength);
    EncodeResult result;
    if (!IsSingleByte(encoding))
        return result;
    for (char16_t unit : text) {
        int byte = EncodeByte(unit, encoding);
        if (byte < 0 && lossByte == 0)
            break;
        if (buffer && result.used + 1 > maxLength)
            break;
        if (buffer)
            buffer[result.used] = byte < 0 ? lossByte : UInt8(byte);
        ++result.used;
        ++result.converted;
    }
    return result;
}

std::optional<std::string> EncodeAll(std::u16string_view text, CFStringEncoding encoding)
{
    EncodeResult const measured = EncodeText(text, encoding, 0, false, nullptr, 0);
    if (measured.converted != CFIndex(text.size()))
        return std::nullopt;
    std::string bytes(size_t(measured.used), '\0');
    EncodeText(text, encoding, 0, false, reinterpret_cast<UInt8*>(bytes.data()), measured.used);
    return bytes;
}

} // namespace tw::cf
