#pragma once

// Rectangle, point and colour arithmetic, and conversions between Quartz and
// QuickDraw geometry. Pure functions; any thread.

#include "platform/Platform.h"

struct ColourRGBA;

class CGraphicsUtilities {
public:
    // A negative width or height becomes positive by moving the origin; integral floors the
    // origin and ceils the size.
    static void NormaliseRect(CGRect& rect, bool integral);
    static void InsetRect(CGRect& rect, float dx, float dy);
    static bool IsEmpty(CGRect const& rect); // width or height exactly 0
    // The closed rectangle (edges included), or with ellipse set the ellipse inscribed in it.
    static bool IsInside(CGPoint const& point, CGRect const& rect, bool ellipse);
    // False when either is empty; otherwise the closed rectangles overlap, touching edges counting.
    static bool IsIntersecting(CGRect const& a, CGRect const& b);
    // An empty operand yields the other; both empty give the zero rectangle.
    static CGRect UnionRect(CGRect const& a, CGRect const& b);
    static bool EqualRect(CGRect const& a, CGRect const& b);
    static bool EqualSize(CGSize const& a, CGSize const& b);
    static void SetSize(CGSize& size, CGFloat width, CGFloat height);
    static void SetPoint(CGPoint& point, CGFloat x, CGFloat y);
    // The largest rect of rect's aspect ratio inside into, centred there.
    static void ScaleToFit(CGRect& rect, CGRect const& into);
    // Position 0 centres rect in into; other positions leave it where it is.
    static void PositionRect(CGRect& rect, CGRect const& into, UInt32 position);
    static void ConvertRect(Rect const& from, CGRect& to);
    static void ConvertRect(CGRect const& from, Rect& to);
    // h from x and v from y, truncated toward zero to 16 bits.
    static void ConvertPoint(CGPoint const& from, Point& to);
    static void ConvertPoint(Point const& from, CGPoint& to);
    // 0xAARRGGBB, each channel trunc(component × 255).
    static void ConvertColour(ColourRGBA const& colour, UInt32& packed);
};
