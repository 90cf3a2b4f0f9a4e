#pragma once

#include "toolbox/controls/ControlDefinitions.h"

namespace tw::toolbox::controls {

// The image content of a button or icon view: an icon or a CGImage, retained,
// with the image to draw made once from it.
class ButtonContent {
public:
    ButtonContent() = default;
    ~ButtonContent() { Set({}); }
    ButtonContent(ButtonContent const&) = delete;
    ButtonContent& operator=(ButtonContent const&) = delete;

    void Set(ControlButtonContentInfo const& info);
    ControlButtonContentInfo const& Get() const { return mInfo; }
    // The image to draw, or null for text-only content or an unreadable icon.
    CGImageRef Image() const { return mImage; } // borrowed
    // Draws the image upright, scaled to fit the box and centred, faded when disabled.
    void Draw(CGContextRef c, CGRect box, bool enabled) const;

private:
    ControlButtonContentInfo mInfo; // retains its icon or image
    CGImageRef mImage = nullptr; // owns
};

} // namespace tw::toolbox::controls
