#pragma once

// Colour spaces and colours. Only device RGB and device gray exist: every colour
// the system draws is given as RGB or gray components with alpha.

#include "quartz/CGGeometry.h"
#include "quartz/QuartzTypeIDs.h"

#include <array>

enum CGColorSpaceModel : int {
    kCGColorSpaceModelMonochrome = 0,
    kCGColorSpaceModelRGB = 1,
};

namespace tw::quartz {

class ColorSpace final : public cf::Object {
public:
    explicit ColorSpace(CGColorSpaceModel model)
        : mModel(model)
    {
    }
    CFTypeID TypeID() const override { return kTWTypeIDColorSpace; }
    bool Equals(cf::Object const& other) const override;
    CGColorSpaceModel Model() const { return mModel; }
    size_t ComponentCount() const { return mModel == kCGColorSpaceModelRGB ? 3 : 1; }

private:
    CGColorSpaceModel mModel;
};

// Components as given (colour components then alpha), plus the RGBA they mean.
class Color final : public cf::Object {
public:
    Color(ColorSpace* space, CGFloat const* components); // retains space
    ~Color() override;
    CFTypeID TypeID() const override { return kTWTypeIDColor; }
    bool Equals(cf::Object const& other) const override;
    ColorSpace* Space() const { return mSpace; }
    CGFloat const* Components() const { return mComponents.data(); }
    std::array<CGFloat, 4> RGBA() const;

private:
    ColorSpace* mSpace; // retains
    std::array<CGFloat, 4> mComponents {};
};

// RGBA (0..1, clamped) from components in a colour space.
std::array<CGFloat, 4> ToRGBA(CGColorSpaceModel model, CGFloat const* components);

} // namespace tw::quartz

using CGColorSpace = tw::quartz::ColorSpace;
using CGColorSpaceRef = CGColorSpace*;
using CGColor = tw::quartz::Color;
using CGColorRef = CGColor*;

CFTypeID CGColorSpaceGetTypeID();
CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
CGColorSpaceRef CGColorSpaceCreateDeviceGray();
CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space);
void CGColorSpaceRelease(CGColorSpaceRef space);
size_t CGColorSpaceGetNumberOfComponents(CGColorSpaceRef space);
CGColorSpaceModel CGColorSpaceGetModel(CGColorSpaceRef space);

CFTypeID CGColorGetTypeID();
// components: the colour space's components then alpha. Null for a null space or components.
CGColorRef CGColorCreate(CGColorSpaceRef space, CGFloat const* components);
CGColorRef CGColorRetain(CGColorRef color);
void CGColorRelease(CGColorRef color);
size_t CGColorGetNumberOfComponents(CGColorRef color);
CGFloat const* CGColorGetComponents(CGColorRef color);
CGFloat CGColorGetAlpha(CGColorRef color);
CGColorSpaceRef CGColorGetColorSpace(CGColorRef color); // borrowed
bool CGColorEqualToColor(CGColorRef a, CGColorRef b);
