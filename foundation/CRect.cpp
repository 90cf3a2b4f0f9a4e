#include "foundation/CRect.h"

#include <algorithm>
#include <cstdint>

namespace {

SInt16 Saturate(int value) { return SInt16(std::clamp(value, int(INT16_MIN), int(INT16_MAX))); }

} // namespace

CRect::CRect(SInt16 t, SInt16 l, SInt16 b, SInt16 r)
    : Rect { t, l, b, r }
{
}

CRect::CRect(Rect const& rect)
    : Rect(rect)
{
}

void CRect::OffsetBy(SInt16 dh, SInt16 dv)
{
    left = Saturate(left + dh);
    right = Saturate(right + dh);
    top = Saturate(top + dv);
    bottom = Saturate(bottom + dv);
}

void CRect::ResizeBy(SInt16 dh, SInt16 dv)
{
    right = Saturate(right + dh);
    bottom = Saturate(bottom + dv);
}

void CRect::AlignInRect(CRect const& container, SInt16 mode)
{
    int dv = 0;
    switch (mode & 3) {
    case kAlignCentreVertical:
        dv = (container.top + container.bottom) / 2 - (top + bottom) / 2;
        break;
    case kAlignTop:
        dv = container.top - top;
        break;
    case kAlignBottom:
        dv = container.bottom - bottom;
        break;
    }
    int dh = 0;
    switch (mode & 12) {
    case kAlignCentreHorizontal:
        dh = (container.left + container.right) / 2 - (left + right) / 2;
        break;
    case kAlignLeft:
        dh = container.left - left;
        break;
    case kAlignRight:
        dh = container.right - right;
        break;
    }
    left = Saturate(left + dh);
    right = Saturate(right + dh);
    top = Saturate(top + dv);
    bottom = Saturate(bottom + dv);
}

bool CRect::operator==(CRect const& other) const
{
    return top == other.top && left == other.left && bottom == other.bottom && right == other.right;
}
