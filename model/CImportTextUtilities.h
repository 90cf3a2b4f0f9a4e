#pragma once

// The small readers the import parsers share: numbers, coordinates from
// attributes and texts, all locale-free and strict.

#include "foundation/CString.h"

#include <optional>
#include <string>
#include <string_view>

class CImportTextUtilities {
public:
    // Without white space at either end.
    static std::string_view Trim(std::string_view text);
    // The whole text (white space around it aside) as one finite number.
    static std::optional<double> ReadNumber(std::string_view text);
    // A latitude within ±90° and a longitude within ±180° from the named unqualified
    // attributes of expat's name/value pairs; false when either is missing or impossible.
    static bool ReadCoordinate(char const** attributes, std::string_view latitudeName, std::string_view longitudeName,
        double& latitude, double& longitude);
    // UTF-8 text (as the XML reader gives it) as a string.
    static CString MakeString(std::string_view text);
};
