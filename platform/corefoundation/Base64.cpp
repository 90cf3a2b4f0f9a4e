#include "corefoundation/Base64.h"

#include "corefoundation/MacTypes.h"

namespace tw::cf {

namespace {

    constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

    int SextetOf(char c)
    {
        if (c >= 'A' && c <= 'Z')
            return c - 'A';
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 26;
        if (c >= '0' && c <= '9')
            return c - '0' + 52;
        return c == '+' ? 62 : c == '/' ? 63 : -1;
    }

} // namespace

std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(text.size() / 4 * 3);
    UInt32 group = 0;
    int count = 0; // sextets in the current group
    int padding = 0;
    for (char const c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        if (c == '=') {
            // Padding only completes the last group, after at least two sextets.
            if (count + padding < 2 || count + padding >= 4)
                return std::nullopt;
            ++padding;
            continue;
        }
        int const sextet = SextetOf(c);
        if (sextet < 0 || padding > 0)
            return std::nullopt;
        group = (group << 6) | UInt32(sextet);
        if (++count == 4) {
            bytes.push_back(UInt8(group >> 16));
            bytes.push_back(UInt8(group >> 8));
            bytes.push_back(UInt8(group));
            group = 0;
            count = 0;
        }
    }
    if (count == 0)
        return padding == 0 ? std::optional(std::move(bytes)) : std::nullopt;
    if (count + padding != 4)
        return std::nullopt;
    group <<= 6 * padding;
    bytes.push_back(UInt8(group >> 16));
    if (count == 3)
        bytes.push_back(UInt8(group >> 8));
    return bytes;
}

std::string EncodeBase64(
    unsigned char const* bytes, std::size_t length, std::size_t lineLength, std::string_view indent)
{
    std::string encoded;
    for (std::size_t i = 0; i < length; i += 3) {
        UInt32 group = UInt32(bytes[i]) << 16;
        if (i + 1 < length)
            group |= UInt32(bytes[i + 1]) << 8;
        if (i + 2 < length)
            group |= bytes[i + 2];
        encoded += kAlphabet[(group >> 18) & 63];
        encoded += kAlphabet[(group >> 12) & 63];
        encoded += i + 1 < length ? kAlphabet[(group >> 6) & 63] : '=';
        encoded += i + 2 < length ? kAlphabet[group & 63] : '=';
    }
    std::string lines;
    for (std::size_t i = 0; i < encoded.size(); i += lineLength) {
        lines += indent;
        lines += encoded.substr(i, lineLength);
        lines += '\n';
    }
    return lines;
}

} // namespace tw::cf
