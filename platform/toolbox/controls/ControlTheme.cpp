#include "toolbox/controls/ControlTheme.h"

#include "quartz/HIViewDrawing.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox::controls {

namespace {

    constexpr double kTextGrey = 0.1;
    constexpr double kDisabledTextGrey = 0.6;
    constexpr double kBorderGrey = 0.6;

    void StrokeGrey(CGContextRef c, double grey)
    {
        CGContextSetGrayStrokeColor(c, grey, 1);
        CGContextSetLineWidth(c, 1);
    }

    // A down-pointing chevron centred at (x, y).
    void Chevron(CGContextRef c, CGFloat x, CGFloat y, bool up)
    {
        CGFloat const d = up ? -2.5 : 2.5;
        CGContextBeginPath(c);
        CGContextMoveToPoint(c, x - 3.5, y - d / 1.2);
        CGContextAddLineToPoint(c, x, y + d);
        CGContextAddLineToPoint(c, x + 3.5, y - d / 1.2);
        CGContextSetLineWidth(c, 1.5);
        CGContextStrokePath(c);
    }

} // namespace

void ControlTheme::RoundedRectPath(CGContextRef c, CGRect r, CGFloat radius)
{
    radius = std::min({ radius, r.size.width / 2, r.size.height / 2 });
    CGFloat const x0 = CGRectGetMinX(r), y0 = CGRectGetMinY(r), x1 = CGRectGetMaxX(r), y1 = CGRectGetMaxY(r);
    CGContextBeginPath(c);
    CGContextMoveToPoint(c, x0 + radius, y0);
    CGContextAddArcToPoint(c, x1, y0, x1, y1, radius);
    CGContextAddArcToPoint(c, x1, y1, x0, y1, radius);
    CGContextAddArcToPoint(c, x0, y1, x0, y0, radius);
    CGContextAddArcToPoint(c, x0, y0, x1, y0, radius);
    CGContextClosePath(c);
}

void ControlTheme::SetAccentFill(CGContextRef c, double alpha)
{
    CGContextSetRGBFillColor(c, kAccent[0], kAccent[1], kAccent[2], alpha);
}

void ControlTheme::DrawText(CGContextRef c, CFStringRef text, CGRect box, UInt16 font, int flush, bool enabled)
{
    if (!text || box.size.width <= 0)
        return;
    DrawTextInGrey(c, text, box, font, flush, enabled ? kTextGrey : kDisabledTextGrey);
}

void ControlTheme::DrawTextInGrey(CGContextRef c, CFStringRef text, CGRect box, UInt16 font, int flush, double grey)
{
    HIThemeTextInfo info {};
    info.fontID = font;
    info.horizontalFlushness = static_cast<HIThemeTextHorizontalFlush>(flush);
    info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
    info.truncationPosition = kHIThemeTextTruncationEnd;
    info.truncationMaxLines = 1;
    CGContextSaveGState(c);
    CGContextSetGrayFillColor(c, grey, 1);
    HIThemeDrawTextBox(text, &box, &info, c, kHIThemeOrientationNormal);
    CGContextRestoreGState(c);
}

CGFloat ControlTheme::TextWidth(CFStringRef text, UInt16 font)
{
    if (!text)
        return 0;
    HIThemeTextInfo info {};
    info.fontID = font;
    CGFloat w = 0, h = 0;
    HIThemeGetTextDimensions(text, 0, &info, &w, &h, nullptr);
    return w;
}

CGFloat ControlTheme::LineHeight(UInt16 font)
{
    HIThemeTextInfo info {};
    info.fontID = font;
    CGFloat w = 0, h = 0;
    HIThemeGetTextDimensions(CFSTR("Xg"), 0, &info, &w, &h, nullptr);
    return std::ceil(h);
}

void ControlTheme::DrawFocusRing(CGContextRef c, CGRect r, CGFloat radius)
{
    CGContextSaveGState(c);
    CGContextSetRGBStrokeColor(c, kAccent[0], kAccent[1], kAccent[2], 0.55);
    CGContextSetLineWidth(c, 3);
    RoundedRectPath(c, CGRectInset(r, 1.5, 1.5), radius);
    CGContextStrokePath(c);
    CGContextRestoreGState(c);
}

// A push button is 20 pixels high whatever its frame, as the Mac draws one of normal
// size: centred in a taller frame, with the frame's margin (up to 2 px) left for the
// focus ring; in a frame of 20 the ring lies on the button's own edge.
CGRect ControlTheme::PushButtonBody(CGRect r)
{
    CGFloat const margin = std::clamp<CGFloat>((r.size.height - kPushButtonHeight) / 2, 0, 2) + 0.5;
    CGFloat const height = std::min<CGFloat>(kPushButtonHeight - 1, r.size.height - 2 * margin);
    return { { r.origin.x + margin, r.origin.y + std::floor((r.size.height - height) / 2) + 0.5 },
        { r.size.width - 2 * margin, height } };
}

void ControlTheme::DrawPushButton(CGContextRef c, CGRect r, CFStringRef title, ControlState s, bool isDefault)
{
    CGRect const body = PushButtonBody(r);
    bool const accent = isDefault && s.enabled;
    RoundedRectPath(c, body, 5);
    if (s.pressed)
        accent ? SetAccentFill(c, 0.75) : CGContextSetGrayFillColor(c, 0.78, 1);
    else
        accent ? SetAccentFill(c) : CGContextSetGrayFillColor(c, 0.99, 1);
    StrokeGrey(c, accent ? 0.35 : kBorderGrey);
    CGContextDrawPath(c, kCGPathFillStroke);
    if (s.focused) {
        CGFloat const room = std::max<CGFloat>(0, body.origin.x - r.origin.x - 0.5);
        DrawFocusRing(c, CGRectInset(body, -room - 0.5, -room - 0.5), 6);
    }
    if (!title)
        return;
    CGContextSaveGState(c);
    CGContextSetGrayFillColor(c, accent ? 1.0 : s.enabled ? kTextGrey : kDisabledTextGrey, 1);
    HIThemeTextInfo info {};
    info.horizontalFlushness = kHIThemeTextHorizontalFlushCenter;
    info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
    info.truncationPosition = kHIThemeTextTruncationEnd;
    info.truncationMaxLines = 1;
    CGRect const box = CGRectInset(body, 6, 0);
    HIThemeDrawTextBox(title, &box, &info, c, kHIThemeOrientationNormal);
    CGContextRestoreGState(c);
}

void ControlTheme::DrawBevelButton(CGContextRef c, CGRect r, CFStringRef title, ControlState s, bool on)
{
    CGRect const body = CGRectInset(r, 0.5, 0.5);
    RoundedRectPath(c, body, 3);
    CGContextSetGrayFillColor(c, s.pressed || on ? 0.8 : 0.96, 1);
    StrokeGrey(c, kBorderGrey);
    CGContextDrawPath(c, kCGPathFillStroke);
    if (s.focused)
        DrawFocusRing(c, r, 4);
    DrawText(c, title, CGRectInset(r, 4, 0), kThemeSmallSystemFont, 1, s.enabled);
}

void ControlTheme::DrawCheckBox(CGContextRef c, CGRect r, CFStringRef title, SInt32 value, ControlState s)
{
    CGFloat const size = kCheckBoxSize;
    CGRect const box { { r.origin.x + 1.5, r.origin.y + std::floor((r.size.height - size) / 2) + 0.5 },
        { size - 1, size - 1 } };
    bool const on = value != 0 && s.enabled;
    RoundedRectPath(c, box, 3);
    if (on)
        SetAccentFill(c, s.pressed ? 0.7 : 1);
    else
        CGContextSetGrayFillColor(c, s.pressed ? 0.8 : 1, 1);
    StrokeGrey(c, on ? 0.3 : kBorderGrey);
    CGContextDrawPath(c, kCGPathFillStroke);
    CGContextSetGrayStrokeColor(c, on ? 1.0 : 0.45, 1);
    CGContextSetLineWidth(c, 2);
    CGFloat const x = box.origin.x, y = box.origin.y;
    if (value == 1) {
        CGContextBeginPath(c);
        CGContextMoveToPoint(c, x + 3, y + 7);
        CGContextAddLineToPoint(c, x + 5.5, y + 10);
        CGContextAddLineToPoint(c, x + 10.5, y + 3.5);
        CGContextStrokePath(c);
    } else if (value != 0) {
        // The mixed state: a dash.
        CGPoint const dash[2] = { { x + 3, y + 6.5 }, { x + 10, y + 6.5 } };
        CGContextStrokeLineSegments(c, dash, 2);
    }
    if (s.focused)
        DrawFocusRing(c, CGRectInset(box, -2.5, -2.5), 4);
    DrawText(c, title, { { r.origin.x + size + 6, r.origin.y }, { r.size.width - size - 6, r.size.height } },
        kThemeSystemFont, 0, s.enabled);
}

void ControlTheme::DrawRadioButton(CGContextRef c, CGRect r, CFStringRef title, bool on, ControlState s)
{
    CGFloat const size = kCheckBoxSize;
    CGRect const box { { r.origin.x + 1.5, r.origin.y + std::floor((r.size.height - size) / 2) + 0.5 },
        { size - 1, size - 1 } };
    on = on && s.enabled ? true : on;
    if (on && s.enabled)
        SetAccentFill(c, s.pressed ? 0.7 : 1);
    else
        CGContextSetGrayFillColor(c, s.pressed ? 0.8 : 1, 1);
    CGContextFillEllipseInRect(c, box);
    StrokeGrey(c, on && s.enabled ? 0.3 : kBorderGrey);
    CGContextStrokeEllipseInRect(c, box);
    if (on) {
        CGContextSetGrayFillColor(c, s.enabled ? 1.0 : 0.45, 1);
        CGContextFillEllipseInRect(c, CGRectInset(box, 4, 4));
    }
    DrawText(c, title, { { r.origin.x + size + 6, r.origin.y }, { r.size.width - size - 6, r.size.height } },
        kThemeSystemFont, 0, s.enabled);
}

void ControlTheme::DrawPopupButton(CGContextRef c, CGRect r, CFStringRef text, ControlState s, CGImageRef icon)
{
    CGRect const body = CGRectInset(r, 2.5, 2.5);
    RoundedRectPath(c, body, 5);
    CGContextSetGrayFillColor(c, s.pressed ? 0.8 : 0.99, 1);
    StrokeGrey(c, kBorderGrey);
    CGContextDrawPath(c, kCGPathFillStroke);
    CGRect const arrows { { CGRectGetMaxX(body) - 18, body.origin.y }, { 18, body.size.height } };
    if (s.enabled)
        SetAccentFill(c);
    else
        CGContextSetGrayFillColor(c, 0.75, 1);
    RoundedRectPath(c, CGRectInset(arrows, 1.5, 1.5), 4);
    CGContextFillPath(c);
    CGContextSetGrayStrokeColor(c, 1, 1);
    Chevron(c, CGRectGetMidX(arrows), CGRectGetMidY(arrows) - 3.5, true);
    Chevron(c, CGRectGetMidX(arrows), CGRectGetMidY(arrows) + 3.5, false);
    if (s.focused)
        DrawFocusRing(c, r, 6);
    CGFloat left = body.origin.x + 8;
    if (icon) {
        CGFloat const size = 16;
        CGRect const frame { { std::floor(left), std::floor(CGRectGetMidY(body) - size / 2) }, { size, size } };
        CGContextSaveGState(c);
        if (!s.enabled)
            CGContextSetAlpha(c, 0.5);
        HIViewDrawCGImage(c, &frame, icon);
        CGContextRestoreGState(c);
        left += size + 4;
    }
    DrawText(c, text, { { left, body.origin.y }, { CGRectGetMaxX(body) - 22 - left, body.size.height } },
        kThemeSystemFont, 0, s.enabled);
}

CGRect ControlTheme::SliderThumb(CGRect r, double fraction)
{
    CGFloat const size = std::min<CGFloat>(16, r.size.height);
    CGFloat const x = r.origin.x + std::clamp(fraction, 0.0, 1.0) * (r.size.width - size);
    return { { x, r.origin.y + std::floor((r.size.height - size) / 2) }, { size, size } };
}

void ControlTheme::DrawSlider(CGContextRef c, CGRect r, double fraction, int ticks, ControlState s)
{
    CGRect const thumb = SliderThumb(r, fraction);
    CGFloat const mid = CGRectGetMidY(thumb);
    CGFloat const half = thumb.size.width / 2;
    CGRect const track { { r.origin.x + half, mid - 2 }, { r.size.width - 2 * half, 4 } };
    RoundedRectPath(c, track, 2);
    CGContextSetGrayFillColor(c, 0.8, 1);
    CGContextFillPath(c);
    RoundedRectPath(c, { track.origin, { CGRectGetMidX(thumb) - track.origin.x, 4 } }, 2);
    s.enabled ? SetAccentFill(c) : CGContextSetGrayFillColor(c, 0.65, 1);
    CGContextFillPath(c);
    if (ticks > 1) {
        StrokeGrey(c, 0.55);
        for (int i = 0; i < ticks; ++i) {
            CGFloat const x = std::round(track.origin.x + track.size.width * i / (ticks - 1)) + 0.5;
            CGPoint const tick[2] = { { x, CGRectGetMaxY(thumb) + 1 }, { x, CGRectGetMaxY(thumb) + 5 } };
            CGContextStrokeLineSegments(c, tick, 2);
        }
    }
    CGContextSetGrayFillColor(c, s.pressed ? 0.85 : 1, 1);
    CGContextFillEllipseInRect(c, CGRectInset(thumb, 0.5, 0.5));
    StrokeGrey(c, kBorderGrey);
    CGContextStrokeEllipseInRect(c, CGRectInset(thumb, 0.5, 0.5));
    if (s.focused)
        DrawFocusRing(c, CGRectInset(thumb, -2, -2), thumb.size.width);
}

void ControlTheme::DrawProgressBar(
    CGContextRef c, CGRect r, double fraction, bool indeterminate, int phase, bool enabled)
{
    CGRect const bar = CGRectInset(r, 0.5, std::max(0.5, std::floor((r.size.height - 8) / 2) + 0.5));
    CGContextSaveGState(c);
    RoundedRectPath(c, bar, 3);
    CGContextSetGrayFillColor(c, 0.86, 1);
    CGContextFillPath(c);
    RoundedRectPath(c, bar, 3);
    CGContextClip(c);
    enabled ? SetAccentFill(c) : CGContextSetGrayFillColor(c, 0.65, 1);
    if (indeterminate) {
        // Stripes that move one step per animation phase.
        for (CGFloat x = bar.origin.x - 24 + (phase % 12) * 2; x < CGRectGetMaxX(bar); x += 24)
            CGContextFillRect(c, { { x, bar.origin.y }, { 12, bar.size.height } });
    } else {
        CGContextFillRect(c, { bar.origin, { bar.size.width * std::clamp(fraction, 0.0, 1.0), bar.size.height } });
    }
    CGContextRestoreGState(c);
    RoundedRectPath(c, bar, 3);
    StrokeGrey(c, 0.7);
    CGContextStrokePath(c);
}

void ControlTheme::DrawChasingArrows(CGContextRef c, CGRect r, int phase)
{
    constexpr int kSpokes = 12;
    CGFloat const cx = CGRectGetMidX(r), cy = CGRectGetMidY(r);
    CGFloat const outer = std::min(r.size.width, r.size.height) / 2 - 1;
    CGContextSaveGState(c);
    CGContextSetLineWidth(c, std::max<CGFloat>(1.5, outer / 5));
    CGContextSetLineCap(c, kCGLineCapRound);
    for (int i = 0; i < kSpokes; ++i) {
        double const angle = 2 * M_PI * i / kSpokes;
        int const age = (phase - i + kSpokes * 100) % kSpokes;
        CGContextSetGrayStrokeColor(c, 0.25, 1.0 - age / double(kSpokes) * 0.85);
        CGPoint const spoke[2] = { { cx + std::cos(angle) * outer * 0.45, cy + std::sin(angle) * outer * 0.45 },
            { cx + std::cos(angle) * outer, cy + std::sin(angle) * outer } };
        CGContextStrokeLineSegments(c, spoke, 2);
    }
    CGContextRestoreGState(c);
}

void ControlTheme::DrawGroupBox(CGContextRef c, CGRect r, CFStringRef title, bool primary)
{
    CGFloat const top = title ? 9 : 0.5;
    CGRect const frame { { r.origin.x + 0.5, r.origin.y + top }, { r.size.width - 1, r.size.height - top - 0.5 } };
    RoundedRectPath(c, frame, 5);
    CGContextSetGrayFillColor(c, 0, primary ? 0.04 : 0.02);
    CGContextFillPath(c);
    RoundedRectPath(c, frame, 5);
    StrokeGrey(c, primary ? 0.7 : 0.8);
    CGContextStrokePath(c);
    if (!title)
        return;
    CGFloat const w = std::min(TextWidth(title, kThemeSmallSystemFont) + 8, r.size.width - 16);
    CGContextSetGrayFillColor(c, 0.93, 1);
    CGContextFillRect(c, { { r.origin.x + 8, r.origin.y + 2 }, { w, 14 } });
    DrawText(c, title, { { r.origin.x + 12, r.origin.y }, { w - 4, 18 } }, kThemeSmallEmphasizedSystemFont, 0, true);
}

void ControlTheme::DrawWindowHeader(CGContextRef c, CGRect r)
{
    CGContextSetGrayFillColor(c, 0.9, 1);
    CGContextFillRect(c, r);
    CGContextSetGrayFillColor(c, 0.72, 1);
    CGContextFillRect(c, { { r.origin.x, CGRectGetMaxY(r) - 1 }, { r.size.width, 1 } });
    CGContextSetGrayFillColor(c, 0.98, 1);
    CGContextFillRect(c, { r.origin, { r.size.width, 1 } });
}

void ControlTheme::DrawSegment(
    CGContextRef c, CGRect r, CFStringRef label, bool selected, bool first, bool last, ControlState s)
{
    CGContextSaveGState(c);
    CGContextClipToRect(c, r);
    // Inner edges are square: the rounded path reaches past the neighbours' side.
    CGRect body = CGRectInset(r, 0, 2.5);
    if (!first) {
        body.origin.x -= 8;
        body.size.width += 8;
    }
    if (!last)
        body.size.width += 8;
    if (first)
        body = { { body.origin.x + 0.5, body.origin.y }, { body.size.width - 0.5, body.size.height } };
    if (last)
        body.size.width -= 0.5;
    RoundedRectPath(c, body, 5);
    if (selected && s.enabled)
        SetAccentFill(c, s.pressed ? 0.75 : 1);
    else
        CGContextSetGrayFillColor(c, s.pressed ? 0.8 : selected ? 0.75 : 0.99, 1);
    StrokeGrey(c, kBorderGrey);
    CGContextDrawPath(c, kCGPathFillStroke);
    if (!first) {
        StrokeGrey(c, kBorderGrey);
        CGPoint const line[2] = { { r.origin.x + 0.5, r.origin.y + 3 }, { r.origin.x + 0.5, CGRectGetMaxY(r) - 3 } };
        CGContextStrokeLineSegments(c, line, 2);
    }
    CGContextRestoreGState(c);
    if (!label)
        return;
    CGContextSaveGState(c);
    CGContextSetGrayFillColor(c, selected && s.enabled ? 1.0 : s.enabled ? kTextGrey : kDisabledTextGrey, 1);
    HIThemeTextInfo info {};
    info.fontID = kThemeSmallSystemFont;
    info.horizontalFlushness = kHIThemeTextHorizontalFlushCenter;
    info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
    info.truncationPosition = kHIThemeTextTruncationEnd;
    info.truncationMaxLines = 1;
    CGRect const box = CGRectInset(r, 4, 0);
    HIThemeDrawTextBox(label, &box, &info, c, kHIThemeOrientationNormal);
    CGContextRestoreGState(c);
}

void ControlTheme::DrawEditFrame(CGContextRef c, CGRect r, ControlState s)
{
    CGContextSetGrayFillColor(c, s.enabled ? 1.0 : 0.95, 1);
    CGContextFillRect(c, r);
    StrokeGrey(c, s.focused ? 0.45 : kBorderGrey);
    CGContextStrokeRect(c, CGRectInset(r, 0.5, 0.5));
    if (s.focused) {
        CGContextSaveGState(c);
        CGContextSetRGBStrokeColor(c, kAccent[0], kAccent[1], kAccent[2], 0.8);
        CGContextSetLineWidth(c, 2);
        CGContextStrokeRect(c, CGRectInset(r, 1, 1));
        CGContextRestoreGState(c);
    }
}

void ControlTheme::DrawScrollBar(CGContextRef c, CGRect track, bool vertical, CGRect thumb, bool enabled)
{
    CGContextSetGrayFillColor(c, 0.96, 1);
    CGContextFillRect(c, track);
    CGContextSetGrayFillColor(c, 0.82, 1);
    CGContextFillRect(c,
        vertical ? CGRect { track.origin, { 1, track.size.height } }
                 : CGRect { track.origin, { track.size.width, 1 } });
    if (!enabled || CGRectIsEmpty(thumb))
        return;
    RoundedRectPath(c, CGRectInset(thumb, 3.5, 3.5), 4);
    CGContextSetGrayFillColor(c, 0.62, 1);
    CGContextFillPath(c);
}

} // namespace tw::toolbox::controls
