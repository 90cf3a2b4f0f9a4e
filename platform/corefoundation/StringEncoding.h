#pragma once

// Conversion between UTF-16 text and bytes in the encodings the layer knows:
// UTF-8, the UTF-16 forms, ASCII, ISO Latin-1, Windows Latin-1 and Mac Roman.

#include "corefoundation/CFString.h"

#include <optional>
#include <string>
#include <string_view>

namespace tw::cf {

bool IsKnownEncoding(CFStringEncoding encoding);

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
std::optional<std::u16string> DecodeUTF8(std::string_view bytes);

// Null when the bytes are not valid in the encoding. A UTF-8 byte-order mark is dropped. For UTF-16, a byte-order mark
// decides the byte order and is dropped; without one, an external representation is
// big-endian and anything else is in host order.
std::optional<std::u16string> DecodeBytes(
    UInt8 const* bytes, CFIndex length, CFStringEncoding encoding, bool isExternalRepresentation);

struct EncodeResult {
    CFIndex converted = 0; // UTF-16 units consumed
    CFIndex used = 0; // bytes written (or needed, without a buffer)
};

// Converts until the text, or the room in buffer (may be null to measure), runs out.
// A unit without a form in the encoding becomes lossByte, or stops the conversion when
// lossByte is 0. An external representation of UTF-16 starts with a byte-order mark.
EncodeResult EncodeText(std::u16string_view text, CFStringEncoding encoding, UInt8 lossByte,
    bool isExternalRepresentation, UInt8* buffer, CFIndex maxLength);

// Whole-text conversion; nullopt when a character has no form in the encoding.
std::optional<std::string> EncodeAll(std::u16string_view text, CFStringEncoding encoding);

} // namespace tw::cf
