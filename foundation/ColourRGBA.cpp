#include "foundation/ColourRGBA.h"

#include "foundation/CTextScanner.h"

#include <algorithm>

CString ColourRGBA::GetString() const
{
    CString text;
    text.Format("%f %f %f %f", double(red), double(green), double(blue), double(alpha));
    return text;
}

std::optional<ColourRGBA> ColourRGBA::FromString(CString const& text) { return FromText(text.GetUTF8()); }

std::optional<ColourRGBA> ColourRGBA::FromText(std::string_view text)
{
    CTextScanner scanner(text);
    float values[4];
    for (float& value : values) {
        auto number = scanner.Double();
        if (!number)
            return std::nullopt;
        value = float(std::clamp(*number, 0.0, 1.0));
    }
    return ColourRGBA { values[0], values[1], values[2], values[3] };
}
