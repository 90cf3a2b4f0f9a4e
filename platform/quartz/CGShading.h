#pragma once

// Axial shadings: a colour function sampled along an axis, drawn over the clip.

#include "quartz/CGContext.h"

#include <vector>

using CGFunctionEvaluateCallback = void (*)(void* info, CGFloat const* in, CGFloat* out);
using CGFunctionReleaseInfoCallback = void (*)(void* info);

struct CGFunctionCallbacks {
    unsigned int version;
    CGFunctionEvaluateCallback evaluate;
    CGFunctionReleaseInfoCallback releaseInfo;
};

namespace tw::quartz {

class Function final : public cf::Object {
public:
    Function(void* info, CGFloat const domain[2], size_t rangeDimension, CGFloat const* range,
        CGFunctionCallbacks const& callbacks);
    ~Function() override;
    CFTypeID TypeID() const override { return kTWTypeIDFunction; }
    size_t RangeDimension() const { return mRangeDimension; }
    // Evaluates at t in 0..1 along the domain; the outputs are clamped to the range when one was given.
    std::vector<CGFloat> Evaluate(CGFloat t) const;

private:
    void* mInfo; // borrowed, handed to releaseInfo
    CGFloat mDomain[2];
    size_t mRangeDimension;
    std::vector<CGFloat> mRange;
    CGFunctionCallbacks mCallbacks;
};

class Shading final : public cf::Object {
public:
    Shading(ColorSpace* space, CGPoint start, CGPoint end, Function* function, bool extendStart, bool extendEnd);
    ~Shading() override;
    CFTypeID TypeID() const override { return kTWTypeIDShading; }
    ColorSpace* const space; // retains
    CGPoint const start;
    CGPoint const end;
    Function* const function; // retains
    bool const extendStart;
    bool const extendEnd;
};

} // namespace tw::quartz

using CGFunctionRef = tw::quartz::Function*;
using CGShadingRef = tw::quartz::Shading*;

// Null unless the domain is one-dimensional and the callbacks can evaluate.
CGFunctionRef CGFunctionCreate(void* info, size_t domainDimension, CGFloat const* domain, size_t rangeDimension,
    CGFloat const* range, CGFunctionCallbacks const* callbacks);
CGFunctionRef CGFunctionRetain(CGFunctionRef function);
void CGFunctionRelease(CGFunctionRef function);

// The function gives the space's components and then alpha (1 when it gives no alpha).
CGShadingRef CGShadingCreateAxial(
    CGColorSpaceRef space, CGPoint start, CGPoint end, CGFunctionRef function, bool extendStart, bool extendEnd);
CGShadingRef CGShadingRetain(CGShadingRef shading);
void CGShadingRelease(CGShadingRef shading);

// Paints the clip area across the axis band, and beyond each end the shading extends.
void CGContextDrawShading(CGContextRef c, CGShadingRef shading);
