#include "display/CursorState.h"
#include "framework/CCursor.h"

#include <gtest/gtest.h>

namespace {

using tw::display::CursorShape;
using tw::display::CursorState;

class CursorTest : public ::testing::Test {
protected:
    void SetUp() override { CursorState::Reset(); }
    void TearDown() override { CursorState::Reset(); }
};

// The 16-bit row as the display holds it: two bytes, left pixel in the high bit.
UInt16 Row(std::array<UInt8, 32> const& rows, int row) { return UInt16(rows[2 * row] << 8 | rows[2 * row + 1]); }

TEST_F(CursorTest, TheProgramsCursorsReachTheDisplayWithTheirPictureAndHotSpot)
{
    CCursor cursor;
    cursor.SetCursor(CCursor::kCursorZoomIn);
    CursorShape const& shape = CursorState::Current();
    ASSERT_FALSE(shape.isTheme);
    EXPECT_EQ(Row(shape.image, 0), 0x0F00);
    EXPECT_EQ(Row(shape.image, 5), 0x9F90) << "the bar of the plus";
    EXPECT_EQ(Row(shape.mask, 4), 0xFFF0);
    EXPECT_EQ(shape.hotY, 6);
    EXPECT_EQ(shape.hotX, 6);

    cursor.SetCursor(CCursor::kCursorPolygon);
    EXPECT_EQ(Row(CursorState::Current().image, 1), 0xC006);
    EXPECT_EQ(CursorState::Current().hotY, 15);
    EXPECT_EQ(CursorState::Current().hotX, 4);
    EXPECT_EQ(Row(CursorState::Current().mask, 0), 0) << "an empty mask inverts what lies beneath";

    cursor.SetCursor(CCursor::kCursorDot);
    EXPECT_EQ(Row(CursorState::Current().image, 1), 0x6000);
    EXPECT_EQ(Row(CursorState::Current().mask, 3), 0xF000);
    EXPECT_EQ(CursorState::Current().hotX, 1);
}

TEST_F(CursorTest, NoneLeavesTheCursorAndOtherIdsAreThemeCursors)
{
    CCursor cursor;
    cursor.SetCursor(CCursor::kCursorMarquee);
    CursorShape const marquee = CursorState::Current();
    cursor.SetCursor(CCursor::kCursorNone);
    EXPECT_EQ(CursorState::Current(), marquee);
    cursor.SetCursor(kThemeWatchCursor);
    EXPECT_TRUE(CursorState::Current().isTheme);
    EXPECT_EQ(CursorState::Current().theme, kThemeWatchCursor);
    // Just past the program's own range: a theme cursor number, which this one is not.
    cursor.SetCursor(0xFFFF0008);
    EXPECT_TRUE(CursorState::Current().isTheme);
    EXPECT_EQ(CursorState::Current().theme, kThemeWatchCursor);
}

} // namespace
