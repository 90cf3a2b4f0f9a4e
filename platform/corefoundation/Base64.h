#pragma once

// Base64 (RFC 4648, with padding) for <data> in property lists.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw::cf {

// Whitespace anywhere is skipped; any other stray character, a bad length or
// misplaced padding gives nullopt.
std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text);

// Lines of at most lineLength characters, each preceded by indent and ended by a newline.
std::string EncodeBase64(
    unsigned char const* bytes, std::size_t length, std::size_t lineLength, std::string_view indent);

} // namespace tw::cf
