#pragma once

// The body of the link parser's fuzz entry, shared with the GCC test that replays the
// seed corpus. The input is the link's text, read as UTF-8 (other bytes as Latin-1).

#include "foundation/Status.h"
#include "model/CParserURL.h"
#include "model/IMapLinkView.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tw::fuzz {

// A view at its extremes: a size that is no size and a level far past the deepest.
class FuzzMapView : public IMapLinkView {
public:
    FuzzMapView(CGFloat width, CGFloat height, unsigned long zoom)
        : mSize { width, height }
        , mZoom(zoom)
    {
    }
    unsigned long GetMapZoom() const override { return mZoom; }
    CGSize GetMapViewSize() const override { return mSize; }

private:
    CGSize mSize;
    unsigned long mZoom;
};

// Parses with no view and with odd ones; a fault shows as a crash, a sanitizer report or
// a trap on a result outside the promise: a place on the globe and a level of 0 to 17 on
// success, nothing changed on failure.
inline int FuzzParserURLInput(uint8_t const* data, size_t size)
{
    CString text(reinterpret_cast<char const*>(data), size, kCFStringEncodingUTF8);
    FuzzMapView normal(1024, 768, 9);
    FuzzMapView odd(std::numeric_limits<CGFloat>::quiet_NaN(), -1, 1000000);
    FuzzMapView tiny(1, 1e9, 0);
    for (IMapLinkView* view : { static_cast<IMapLinkView*>(nullptr), static_cast<IMapLinkView*>(&normal),
             static_cast<IMapLinkView*>(&odd), static_cast<IMapLinkView*>(&tiny) }) {
        CCoordinate coordinate(-1, -1, 0);
        unsigned long zoom = 99;
        OSStatus status = CParserURL::ParseURL(text, view, coordinate, zoom);
        if (status == noErr) {
            double latitude = coordinate.GetLatitude(), longitude = coordinate.GetLongitude();
            if (!(std::fabs(latitude) <= 90) || !(std::fabs(longitude) <= 180) || zoom > 17)
                __builtin_trap();
        } else if (status != kNothingParseableErr || coordinate != CCoordinate(-1, -1, 0) || zoom != 99) {
            __builtin_trap();
        }
    }
    return 0;
}

} // namespace tw::fuzz
