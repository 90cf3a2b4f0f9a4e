#pragma once

// The body of the own view link's fuzz entry ("tarnwick://view?…"), shared with the test that
// replays the seed corpus. A link read is a place on the globe at one of the map's levels, and
// the same link read twice reads the same; a refused one changes nothing.

#include "foundation/Status.h"
#include "model/CParserURL.h"

#include <cmath>
#include <cstdint>

namespace tw::fuzz {

inline int FuzzViewLinkInput(uint8_t const* data, size_t size)
{
    CString text(reinterpret_cast<char const*>(data), size, kCFStringEncodingUTF8);
    CCoordinate coordinate(-1, -1, 0);
    unsigned long zoom = 99;
    OSStatus const status = CParserURL::ParseViewLink(text, coordinate, zoom);
    if (status != noErr) {
        if (status != kNothingParseableErr || coordinate != CCoordinate(-1, -1, 0) || zoom != 99)
            __builtin_trap();
        return 0;
    }
    if (!(std::fabs(coordinate.GetLatitude()) <= 90) || !(std::fabs(coordinate.GetLongitude()) <= 180) || zoom > 17)
        __builtin_trap();
    CCoordinate again;
    unsigned long againZoom = 0;
    if (CParserURL::ParseViewLink(text, again, againZoom) != noErr || !(again == coordinate) || againZoom != zoom)
        __builtin_trap();
    return 0;
}

} // namespace tw::fuzz
