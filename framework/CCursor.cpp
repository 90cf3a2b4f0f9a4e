#include "framework/CCursor.h"

#include <array>
#include <bit>

namespace {

// Rows in this processor's order; the hot spot is row, column.
struct CursorRecord {
    std::array<UInt16, 16> image;
    std::array<UInt16, 16> mask;
    SInt16 hotRow;
    SInt16 hotColumn;
};

constexpr std::array<UInt16, 16> kClear {};
constexpr std::array<UInt16, 16> kGlassMask { 0x0F00, 0x3FC0, 0x7FE0, 0x7FE0, 0xFFF0, 0xFFF0, 0xFFF0, 0xFFF0, 0x7FE0,
    0x7FE0, 0x3FF0, 0x0F38, 0x001C, 0x000E, 0x0007, 0x0002 };

constexpr std::array<CursorRecord, 7> kCursors { {
    { kClear, kClear, 0, 0 },
    { { 0x0000, 0x6000, 0x6000 }, { 0xF000, 0xF000, 0xF000, 0xF000 }, 1, 1 },
    { { 0x0F00, 0x30C0, 0x4020, 0x4620, 0x8610, 0x9F90, 0x9F90, 0x8610, 0x4620, 0x4020, 0x30F0, 0x0F38, 0x001C, 0x000E,
          0x0007, 0x0002 },
        kGlassMask, 6, 6 },
    { { 0x0F00, 0x30C0, 0x4020, 0x4020, 0x8010, 0x9F90, 0x9F90, 0x8010, 0x4020, 0x4020, 0x30F0, 0x0F38, 0x001C, 0x000E,
          0x0007, 0x0002 },
        kGlassMask, 6, 6 },
    { { 0x0F00, 0x30C0, 0x4020, 0x4020, 0x8010, 0x8010, 0x8010, 0x8010, 0x4020, 0x4020, 0x30F0, 0x0F38, 0x001C, 0x000E,
          0x0007, 0x0002 },
        kGlassMask, 6, 6 },
    { { 0x0100, 0x0100, 0x0100, 0x0100, 0x0100, 0x0100, 0x0100, 0xFFFE, 0x0100, 0x0100, 0x0100, 0x0100, 0x0100, 0x0100,
          0x0100, 0x0000 },
        kClear, 7, 7 },
    { { 0x0002, 0xC006, 0xB00A, 0x8C12, 0x4322, 0x40C2, 0x2002, 0x2002, 0x1006, 0x1C18, 0x3260, 0x2B80, 0x1E00, 0x0400,
          0x0400, 0x0800 },
        kClear, 15, 4 },
} };

UInt16 ToBigEndian(UInt16 word)
{
    if constexpr (std::endian::native == std::endian::little)
        return UInt16((word << 8) | (word >> 8));
    return word;
}

} // namespace

CCursor::CCursor()
    : mCursor {}
{
}

void CCursor::SetCursor(unsigned long cursorID)
{
    if (cursorID == kCursorNone)
        return;
    if (cursorID < kCursorEmpty || cursorID > kCursorPolygon) {
        SetThemeCursor(ThemeCursor(cursorID));
        return;
    }
    CursorRecord const& record = kCursors[cursorID - kCursorEmpty];
    for (size_t row = 0; row < 16; row++) {
        mCursor.data[row] = ToBigEndian(record.image[row]);
        mCursor.mask[row] = ToBigEndian(record.mask[row]);
    }
    // The display reads the hot spot in the same byte order as the rows.
    mCursor.hotSpot.v = SInt16(ToBigEndian(UInt16(record.hotRow)));
    mCursor.hotSpot.h = SInt16(ToBigEndian(UInt16(record.hotColumn)));
    ::SetCursor(&mCursor);
}
