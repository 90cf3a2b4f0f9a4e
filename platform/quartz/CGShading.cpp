#include "quartz/CGShading.h"

#include "quartz/Context.h"

#include <algorithm>

namespace tw::quartz {

namespace {

    constexpr size_t kMaxRange = 16;

} // namespace

Function::Function(void* info, CGFloat const domain[2], size_t rangeDimension, CGFloat const* range,
    CGFunctionCallbacks const& callbacks)
    : mInfo(info)
    , mDomain { domain[0], domain[1] }
    , mRangeDimension(rangeDimension)
    , mCallbacks(callbacks)
{
    if (range)
        mRange.assign(range, range + 2 * rangeDimension);
}

Function::~Function()
{
    if (mCallbacks.releaseInfo)
        mCallbacks.releaseInfo(mInfo);
}

std::vector<CGFloat> Function::Evaluate(CGFloat t) const
{
    CGFloat const in = mDomain[0] + t * (mDomain[1] - mDomain[0]);
    std::vector<CGFloat> out(mRangeDimension, 0);
    mCallbacks.evaluate(mInfo, &in, out.data());
    for (size_t i = 0; i < mRange.size() / 2; ++i)
        out[i] = std::clamp(out[i], mRange[2 * i], mRange[2 * i + 1]);
    return out;
}

Shading::Shading(ColorSpace* space, CGPoint start, CGPoint end, Function* function, bool extendStart, bool extendEnd)
    : space(space)
    , start(start)
    , end(end)
    , function(function)
    , extendStart(extendStart)
    , extendEnd(extendEnd)
{
    space->Retain();
    function->Retain();
}

Shading::~Shading()
{
    function->Release();
    space->Release();
}

} // namespace tw::quartz

using tw::quartz::Function;
using tw::quartz::Shading;

CGFunctionRef CGFunctionCreate(void* info, size_t domainDimension, CGFloat const* domain, size_t rangeDimension,
    CGFloat const* range, CGFunctionCallbacks const* callbacks)
{
    if (domainDimension != 1 || rangeDimension == 0 || rangeDimension > tw::quartz::kMaxRange || !callbacks
        || !callbacks->evaluate)
        return nullptr;
    CGFloat const unit[2] = { 0, 1 };
    return new Function(info, domain ? domain : unit, rangeDimension, range, *callbacks);
}

CGFunctionRef CGFunctionRetain(CGFunctionRef function)
{
    if (function)
        function->Retain();
    return function;
}

void CGFunctionRelease(CGFunctionRef function)
{
    if (function)
        function->Release();
}

CGShadingRef CGShadingCreateAxial(
    CGColorSpaceRef space, CGPoint start, CGPoint end, CGFunctionRef function, bool extendStart, bool extendEnd)
{
    if (!space || !function || function->RangeDimension() < space->ComponentCount())
        return nullptr;
    return new Shading(space, start, end, function, extendStart, extendEnd);
}

CGShadingRef CGShadingRetain(CGShadingRef shading)
{
    if (shading)
        shading->Retain();
    return shading;
}

void CGShadingRelease(CGShadingRef shading)
{
    if (shading)
        shading->Release();
}
