#include "quartz/CGColor.h"

#include <algorithm>

namespace tw::quartz {

bool ColorSpace::Equals(cf::Object const& other) const
{
    return mModel == static_cast<ColorSpace const&>(other).mModel;
}

Color::Color(ColorSpace* space, CGFloat const* components)
    : mSpace(space)
{
    mSpace->Retain();
    std::copy_n(components, space->ComponentCount() + 1, mComponents.begin());
}

Color::~Color() { mSpace->Release(); }

bool Color::Equals(cf::Object const& other) const
{
    auto const& color = static_cast<Color const&>(other);
    return mSpace->Equals(*color.mSpace) && mComponents == color.mComponents;
}

std::array<CGFloat, 4> Color::RGBA() const { return ToRGBA(mSpace->Model(), mComponents.data()); }

std::array<CGFloat, 4> ToRGBA(CGColorSpaceModel model, CGFloat const* components)
{
    auto const unit = [](CGFloat v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
    if (model == kCGColorSpaceModelRGB)
        return { unit(components[0]), unit(components[1]), unit(components[2]), unit(components[3]) };
    return { unit(components[0]), unit(components[0]), unit(components[0]), unit(components[1]) };
}

} // namespace tw::quartz

using tw::quartz::Color;
using tw::quartz::ColorSpace;

CFTypeID CGColorSpaceGetTypeID() { return kTWTypeIDColorSpace; }

CGColorSpaceRef CGColorSpaceCreateDeviceRGB() { return new ColorSpace(kCGColorSpaceModelRGB); }

CGColorSpaceRef CGColorSpaceCreateDeviceGray() { return new ColorSpace(kCGColorSpaceModelMonochrome); }

CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space)
{
    if (space)
        space->Retain();
    return space;
}

void CGColorSpaceRelease(CGColorSpaceRef space)
{
    if (space)
        space->Release();
}

size_t CGColorSpaceGetNumberOfComponents(CGColorSpaceRef space) { return space ? space->ComponentCount() : 0; }

CGColorSpaceModel CGColorSpaceGetModel(CGColorSpaceRef space) { return space ? space->Model() : kCGColorSpaceModelRGB; }

CFTypeID CGColorGetTypeID() { return kTWTypeIDColor; }

CGColorRef CGColorCreate(CGColorSpaceRef space, CGFloat const* components)
{
    if (!space || !components)
        return nullptr;
    return new Color(space, components);
}

CGColorRef CGColorRetain(CGColorRef color)
{
    if (color)
        color->Retain();
    return color;
}

void CGColorRelease(CGColorRef color)
{
    if (color)
        color->Release();
}

size_t CGColorGetNumberOfComponents(CGColorRef color) { return color ? color->Space()->ComponentCount() + 1 : 0; }

CGFloat const* CGColorGetComponents(CGColorRef color) { return color ? color->Components() : nullptr; }

CGFloat CGColorGetAlpha(CGColorRef color) { return color ? color->Components()[color->Space()->ComponentCount()] : 0; }

CGColorSpaceRef CGColorGetColorSpace(CGColorRef color) { return color ? color->Space() : nullptr; }

bool CGColorEqualToColor(CGColorRef a, CGColorRef b)
{
    if (a == b)
        return true;
    return a && b && a->Equals(*b);
}
