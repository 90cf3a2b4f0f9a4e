#pragma once

// A colour as four floats in 0 to 1, and its text form "%f %f %f %f" as
// preferences and documents store it.

#include "foundation/CString.h"

#include <optional>
#include <string_view>

struct ColourRGBA {
    float red = 0;
    float green = 0;
    float blue = 0;
    float alpha = 0;

    bool operator==(ColourRGBA const& other) const = default;

    CString GetString() const;
    // Four finite numbers, each clamped to 0..1; nullopt when the text does not hold them.
    static std::optional<ColourRGBA> FromString(CString const& text);
    static std::optional<ColourRGBA> FromText(std::string_view text); // the same, from UTF-8
};
