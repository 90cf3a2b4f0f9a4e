#pragma once

// The pieces the property-list reader, writer and deep copy share: the ISO 8601
// form of dates and the assembly of containers with the asked mutability.

#include "corefoundation/CFArray.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw::cf {

// "2001-01-01T00:00:00Z" (UTC, whole seconds) <-> seconds since 2001-01-01 00:00 UTC.
std::optional<double> ParseISODate(std::string_view text);
// Nullopt for times outside the years 1 to 9999 or not finite; fractions are dropped.
std::optional<std::string> FormatISODate(double time);

// Both take over the references in their vectors (leaving them empty) and return a
// new container holding them.
CFTypeRef AdoptIntoArray(std::vector<void const*>& values, bool isMutable);
CFTypeRef AdoptIntoDictionary(std::vector<void const*>& keys, std::vector<void const*>& values, bool isMutable);

// Releases every reference left in the vector when it goes out of scope.
class ReleaseList {
public:
    explicit ReleaseList(std::vector<void const*>& values)
        : mValues(values)
    {
    }
    ~ReleaseList();
    ReleaseList(ReleaseList const&) = delete;
    ReleaseList& operator=(ReleaseList const&) = delete;

private:
    std::vector<void const*>& mValues;
};

} // namespace tw::cf
