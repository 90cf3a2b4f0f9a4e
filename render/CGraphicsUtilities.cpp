#include "render/CGraphicsUtilities.h"

#include "foundation/ColourRGBA.h"

#include <algorithm>
#include <cmath>

namespace {

// Values beyond the 16-bit range, or not numbers at all, are pinned rather than wrapped.
SInt16 ToSInt16(CGFloat value)
{
    if (std::isnan(value))
        return 0;
    return SInt16(std::clamp(std::trunc(value), -32768.0, 32767.0));
}

UInt32 ToChannel(float component)
{
    if (std::isnan(component))
        return 0;
    return UInt32(std::trunc(std::clamp(component, 0.0f, 1.0f) * 255));
}

} // namespace

void CGraphicsUtilities::NormaliseRect(CGRect& rect, bool integral)
{
    rect = CGRectStandardize(rect);
    if (!integral)
        return;
    rect.origin.x = std::floor(rect.origin.x);
    rect.origin.y = std::floor(rect.origin.y);
    rect.size.width = std::ceil(rect.size.width);
    rect.size.height = std::ceil(rect.size.height);
}

void CGraphicsUtilities::InsetRect(CGRect& rect, float dx, float dy)
{
    rect.origin.x += dx;
    rect.origin.y += dy;
    rect.size.width -= 2 * CGFloat(dx);
    rect.size.height -= 2 * CGFloat(dy);
}

bool CGraphicsUtilities::IsEmpty(CGRect const& rect) { return rect.size.width == 0 || rect.size.height == 0; }

bool CGraphicsUtilities::IsInside(CGPoint const& point, CGRect const& rect, bool ellipse)
{
    CGRect const r = CGRectStandardize(rect);
    bool const inRect = point.x >= r.origin.x && point.x <= r.origin.x + r.size.width && point.y >= r.origin.y
        && point.y <= r.origin.y + r.size.height;
    if (!ellipse || !inRect)
        return inRect;
    // A flat ellipse is the segment it collapses to, which the rectangle test has answered.
    if (r.size.width == 0 || r.size.height == 0)
        return true;
    CGFloat const dx = (point.x - CGRectGetMidX(r)) / (r.size.width / 2);
    CGFloat const dy = (point.y - CGRectGetMidY(r)) / (r.size.height / 2);
    return dx * dx + dy * dy <= 1;
}

bool CGraphicsUtilities::IsIntersecting(CGRect const& a, CGRect const& b)
{
    if (IsEmpty(a) || IsEmpty(b))
        return false;
    CGRect const r = CGRectStandardize(a);
    CGRect const s = CGRectStandardize(b);
    return r.origin.x <= s.origin.x + s.size.width && s.origin.x <= r.origin.x + r.size.width
        && r.origin.y <= s.origin.y + s.size.height && s.origin.y <= r.origin.y + r.size.height;
}

CGRect CGraphicsUtilities::UnionRect(CGRect const& a, CGRect const& b)
{
    if (IsEmpty(a))
        return IsEmpty(b) ? CGRectZero : b;
    if (IsEmpty(b))
        return a;
    return CGRectUnion(a, b);
}

bool CGraphicsUtilities::EqualRect(CGRect const& a, CGRect const& b) { return CGRectEqualToRect(a, b); }

bool CGraphicsUtilities::EqualSize(CGSize const& a, CGSize const& b) { return CGSizeEqualToSize(a, b); }

void CGraphicsUtilities::SetSize(CGSize& size, CGFloat width, CGFloat height) { size = { width, height }; }

void CGraphicsUtilities::SetPoint(CGPoint& point, CGFloat x, CGFloat y) { point = { x, y }; }

// A rect without area has no aspect ratio to keep; it is only centred.
void CGraphicsUtilities::ScaleToFit(CGRect& rect, CGRect const& into)
{
    CGRect const target = CGRectStandardize(into);
    rect = CGRectStandardize(rect);
    if (!IsEmpty(rect)) {
        CGFloat const scale = std::min(target.size.width / rect.size.width, target.size.height / rect.size.height);
        rect.size = { rect.size.width * scale, rect.size.height * scale };
    }
    PositionRect(rect, target, 0);
}

void CGraphicsUtilities::PositionRect(CGRect& rect, CGRect const& into, UInt32 position)
{
    if (position != 0)
        return;
    rect.origin.x = CGRectGetMidX(into) - rect.size.width / 2;
    rect.origin.y = CGRectGetMidY(into) - rect.size.height / 2;
}

void CGraphicsUtilities::ConvertRect(Rect const& from, CGRect& to)
{
    to = CGRectMake(from.left, from.top, from.right - from.left, from.bottom - from.top);
}

void CGraphicsUtilities::ConvertRect(CGRect const& from, Rect& to)
{
    to.left = ToSInt16(from.origin.x);
    to.top = ToSInt16(from.origin.y);
    to.right = ToSInt16(from.origin.x + from.size.width);
    to.bottom = ToSInt16(from.origin.y + from.size.height);
}

void CGraphicsUtilities::ConvertPoint(CGPoint const& from, Point& to)
{
    to.h = ToSInt16(from.x);
    to.v = ToSInt16(from.y);
}

void CGraphicsUtilities::ConvertPoint(Point const& from, CGPoint& to) { to = CGPointMake(from.h, from.v); }

void CGraphicsUtilities::ConvertColour(ColourRGBA const& colour, UInt32& packed)
{
    packed = ToChannel(colour.alpha) << 24 | ToChannel(colour.red) << 16 | ToChannel(colour.green) << 8
        | ToChannel(colour.blue);
}
