#include "quartz/Context.h"
#include "quartz/HITheme.h"

namespace {

struct BrushColour {
    ThemeBrush brush;
    CGFloat rgba[4];
};

constexpr BrushColour kBrushes[] = {
    { kThemeBrushDocumentWindowBackground, { 0.93, 0.93, 0.93, 1 } },
    { kThemeBrushFocusHighlight, { 0.35, 0.55, 0.85, 1 } },
    { kThemeBrushDragHilite, { 0.45, 0.6, 0.9, 1 } },
    { kThemeBrushMovableModalBackground, { 0.91, 0.91, 0.91, 1 } },
    { kThemeBrushSheetBackgroundOpaque, { 0.92, 0.92, 0.92, 1 } },
};

constexpr CGFloat kFocusRingWidth = 3; // [px]

BrushColour const* FindBrush(ThemeBrush brush)
{
    for (BrushColour const& entry : kBrushes)
        if (entry.brush == brush)
            return &entry;
    return nullptr;
}

bool Usable(HIRect const* rect, CGContextRef context)
{
    return rect && context && std::isfinite(rect->origin.x) && std::isfinite(rect->origin.y)
        && std::isfinite(rect->size.width) && std::isfinite(rect->size.height);
}

// One-pixel frame just inside the rect.
void StrokeInside(CGContextRef context, CGRect rect, CGFloat gray)
{
    CGContextSetGrayStrokeColor(context, gray, 1);
    CGContextStrokeRectWithWidth(context, CGRectInset(CGRectStandardize(rect), 0.5, 0.5), 1);
}

// The rect's edge that shows at the bottom of the screen: maxY when y runs down.
CGFloat VisualBottom(CGContextRef context, CGRect rect)
{
    CGAffineTransform const t = context->UserToCairo();
    return t.a * t.d - t.b * t.c >= 0 ? CGRectGetMaxY(rect) - 1 : CGRectGetMinY(rect);
}

} // namespace

OSStatus HIThemeSetFill(ThemeBrush brush, void*, CGContextRef context, HIThemeOrientation)
{
    BrushColour const* entry = FindBrush(brush);
    if (!entry || !context)
        return paramErr;
    CGContextSetRGBFillColor(context, entry->rgba[0], entry->rgba[1], entry->rgba[2], entry->rgba[3]);
    return noErr;
}

OSStatus HIThemeSetStroke(ThemeBrush brush, void*, CGContextRef context, HIThemeOrientation)
{
    BrushColour const* entry = FindBrush(brush);
    if (!entry || !context)
        return paramErr;
    CGContextSetRGBStrokeColor(context, entry->rgba[0], entry->rgba[1], entry->rgba[2], entry->rgba[3]);
    return noErr;
}

OSStatus HIThemeDrawFrame(
    HIRect const* rect, HIThemeFrameDrawInfo const* info, CGContextRef context, HIThemeOrientation orientation)
{
    if (!Usable(rect, context) || !info)
        return paramErr;
    bool const active = info->state != kThemeStateInactive;
    CGContextSaveGState(context);
    StrokeInside(context, *rect, !active ? 0.75 : info->kind == kHIThemeFrameListBox ? 0.5 : 0.6);
    CGContextRestoreGState(context);
    if (info->isFocused)
        HIThemeDrawFocusRect(rect, true, context, orientation);
    return noErr;
}

OSStatus HIThemeDrawFocusRect(HIRect const* rect, Boolean hasFocus, CGContextRef context, HIThemeOrientation)
{
    if (!Usable(rect, context))
        return paramErr;
    if (!hasFocus)
        return noErr;
    CGContextSaveGState(context);
    HIThemeSetStroke(kThemeBrushFocusHighlight, nullptr, context, kHIThemeOrientationNormal);
    CGContextSetAlpha(context, 0.8);
    CGRect const ring = CGRectInset(CGRectStandardize(*rect), -kFocusRingWidth / 2, -kFocusRingWidth / 2);
    CGContextStrokeRectWithWidth(context, ring, kFocusRingWidth);
    CGContextRestoreGState(context);
    return noErr;
}

OSStatus HIThemeDrawBackground(
    HIRect const* rect, HIThemeBackgroundDrawInfo const* info, CGContextRef context, HIThemeOrientation)
{
    if (!Usable(rect, context) || !info)
        return paramErr;
    CGRect const r = CGRectStandardize(*rect);
    bool const active = info->state != kThemeStateInactive;
    CGContextSaveGState(context);
    CGContextSetGrayFillColor(context, active ? 0.89 : 0.94, 1);
    CGContextFillRect(context, r);
    if (info->kind == kThemeBackgroundWindowHeader) {
        CGContextSetGrayFillColor(context, active ? 0.65 : 0.8, 1);
        CGContextFillRect(context, CGRectMake(r.origin.x, VisualBottom(context, r), r.size.width, 1));
    } else {
        StrokeInside(context, r, active ? 0.6 : 0.75);
    }
    CGContextRestoreGState(context);
    return noErr;
}

OSStatus HIThemeDrawSeparator(
    HIRect const* rect, HIThemeSeparatorDrawInfo const* info, CGContextRef context, HIThemeOrientation)
{
    if (!Usable(rect, context) || !info)
        return paramErr;
    CGRect const r = CGRectStandardize(*rect);
    CGRect const line = r.size.width >= r.size.height
        ? CGRectMake(r.origin.x, std::floor(CGRectGetMidY(r)), r.size.width, 1)
        : CGRectMake(std::floor(CGRectGetMidX(r)), r.origin.y, 1, r.size.height);
    CGContextSaveGState(context);
    CGContextSetGrayFillColor(context, info->state != kThemeStateInactive ? 0.7 : 0.82, 1);
    CGContextFillRect(context, line);
    CGContextRestoreGState(context);
    return noErr;
}
