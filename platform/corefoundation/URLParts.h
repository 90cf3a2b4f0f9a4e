#pragma once

// A link split into its parts (scheme, authority, path, query, fragment), kept
// percent-escaped, with the escaping rules and reference resolution shared by
// the CFURL calls.

#include "corefoundation/CFURL.h"

#include <optional>
#include <string>
#include <string_view>

namespace tw::cf {

struct URLParts {
    std::optional<std::string> scheme;
    std::optional<std::string> authority; // "user@host:port"
    std::string path;
    std::optional<std::string> query;
    std::optional<std::string> fragment;

    std::string Host() const; // without brackets, user or port
    std::optional<std::string> Port() const;
    std::string Compose() const;
};

// Splits any text (ASCII expected); nothing is checked.
URLParts SplitURL(std::string_view text);
// The parts of a link object (empty parts for null), and the reverse.
URLParts SplitURL(URL const* url);
URL* MakeURL(URLParts const& parts);
// A new string from UTF-8 text, invalid bytes replaced.
String* MakeString(std::string_view utf8);

// True for a well-formed link or relative reference: legal characters only, complete
// escapes, a valid scheme and port, brackets only around a host.
bool IsWellFormedURL(std::string_view text);
// The target of reference against base (both well formed, base absolute).
URLParts ResolveURL(URLParts const& base, URLParts const& reference);

// Percent-escapes every byte that is not unreserved and not in keep.
std::string EscapeBytes(std::string_view bytes, std::string_view keep);
// Null when an escape is incomplete or not hexadecimal. Escapes of characters in
// leaveEscaped (ASCII) stay as they are.
std::optional<std::string> UnescapeBytes(std::string_view text, std::string_view leaveEscaped = {});

// Characters left as they are in the path of a file link.
inline constexpr std::string_view kPathKeep = "/!$&'()*+,;=:@";

} // namespace tw::cf
