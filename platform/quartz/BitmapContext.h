#pragma once

// A context drawing into pixels in memory (CGBitmapContextCreate), its own or the caller's.

#include "quartz/CGImage.h"
#include "quartz/Context.h"

namespace tw::quartz {

class BitmapContext final : public Context {
public:
    // surface: an image surface on data; ownedData: freed with the context, or null when the caller's.
    BitmapContext(cairo_surface_t* surface, unsigned char* ownedData, CGBitmapInfo info);
    ~BitmapContext() override;
    CGBitmapInfo Info() const { return mInfo; }

private:
    unsigned char* mOwnedData; // owns (malloc), or null
    CGBitmapInfo mInfo;
};

} // namespace tw::quartz
