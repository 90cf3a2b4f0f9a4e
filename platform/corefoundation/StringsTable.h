#pragma once

// A parsed ".strings" file of localised texts: lines like "key" = "value"; with the
// escapes \" \\ \' \n \r \t and \Uxxxx, /* */ and // comments, and unquoted simple
// words allowed in place of quoted strings. UTF-16 with a byte-order mark, or UTF-8.

#include "corefoundation/MacTypes.h"

#include <optional>
#include <string>
#include <unordered_map>

namespace tw::cf {

class StringsTable {
public:
    // Nullopt when the file is malformed; *error (when given) then names the line.
    static std::optional<StringsTable> Parse(std::string_view bytes, std::string* error);

    std::u16string const* Find(std::u16string const& key) const;
    std::size_t Count() const { return mEntries.size(); }

private:
    std::unordered_map<std::u16string, std::u16string> mEntries;
};

} // namespace tw::cf
