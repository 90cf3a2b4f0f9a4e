#include "display/CursorState.h"

#include <algorithm>
#include <utility>

namespace tw::display {

namespace {

    CursorShape sCurrent;
    std::function<void(CursorShape const&)> sListener;

    constexpr ThemeCursor kKnownThemeCursors[]
        = { kThemeArrowCursor, kThemeCopyArrowCursor, kThemeCrossCursor, kThemeWatchCursor, kThemeClosedHandCursor,
              kThemeOpenHandCursor, kThemePointingHandCursor, kThemeResizeLeftRightCursor, kThemeResizeUpDownCursor };

    // The record keeps big-endian words: its bytes are already in display order.
    UInt16 FromBigEndian(UInt16 word)
    {
        auto const* bytes = reinterpret_cast<UInt8 const*>(&word);
        return static_cast<UInt16>((bytes[0] << 8) | bytes[1]);
    }

} // namespace

CursorShape const& CursorState::Current() { return sCurrent; }

void CursorState::Set(CursorShape const& shape)
{
    sCurrent = shape;
    if (sListener)
        sListener(sCurrent);
}

void CursorState::SetListener(std::function<void(CursorShape const&)> listener) { sListener = std::move(listener); }

void CursorState::Reset()
{
    sCurrent = {};
    sListener = nullptr;
}

CursorShape CursorState::FromRecord(Cursor const& record)
{
    CursorShape shape;
    shape.isTheme = false;
    for (int row = 0; row < 16; ++row) {
        UInt16 const image = FromBigEndian(record.data[row]);
        UInt16 const mask = FromBigEndian(record.mask[row]);
        shape.image[2 * row] = static_cast<UInt8>(image >> 8);
        shape.image[2 * row + 1] = static_cast<UInt8>(image);
        shape.mask[2 * row] = static_cast<UInt8>(mask >> 8);
        shape.mask[2 * row + 1] = static_cast<UInt8>(mask);
    }
    // A hot spot off the bitmap is pinned to its edge.
    shape.hotY = std::clamp<int>(static_cast<SInt16>(FromBigEndian(static_cast<UInt16>(record.hotSpot.v))), 0, 15);
    shape.hotX = std::clamp<int>(static_cast<SInt16>(FromBigEndian(static_cast<UInt16>(record.hotSpot.h))), 0, 15);
    return shape;
}

} // namespace tw::display

using tw::display::CursorShape;
using tw::display::CursorState;

OSStatus SetThemeCursor(ThemeCursor cursor)
{
    if (std::find(std::begin(tw::display::kKnownThemeCursors), std::end(tw::display::kKnownThemeCursors), cursor)
        == std::end(tw::display::kKnownThemeCursors))
        return paramErr;
    CursorShape shape;
    shape.theme = cursor;
    CursorState::Set(shape);
    return noErr;
}

void SetCursor(Cursor const* cursor)
{
    if (cursor)
        CursorState::Set(CursorState::FromRecord(*cursor));
}
