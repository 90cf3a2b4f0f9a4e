#pragma once

// A QuickDraw rectangle (top, left, bottom, right as SInt16) with the moves
// windows need. Edges saturate at the SInt16 range rather than wrap.

#include "platform/Platform.h"

class CRect : public Rect {
public:
    // Alignment modes of AlignInRect: one vertical part (mode & 3), one horizontal (mode & 12).
    enum : SInt16 {
        kAlignNone = 0,
        kAlignCentreVertical = 1,
        kAlignTop = 2,
        kAlignBottom = 3,
        kAlignCentreHorizontal = 4,
        kAlignLeft = 8,
        kAlignRight = 12,
    };

    CRect() = default;
    CRect(SInt16 top, SInt16 left, SInt16 bottom, SInt16 right);
    CRect(Rect const& rect); // NOLINT: a CRect is a Rect with methods

    SInt16 GetWidth() const { return SInt16(right - left); }
    SInt16 GetHeight() const { return SInt16(bottom - top); }

    void OffsetBy(SInt16 dh, SInt16 dv);
    void ResizeBy(SInt16 dh, SInt16 dv); // right += dh, bottom += dv
    // Centring uses integer halves of the summed edges.
    void AlignInRect(CRect const& container, SInt16 mode);

    bool operator==(CRect const& other) const;
    bool operator!=(CRect const& other) const { return !(*this == other); }
};
