#include "display/CursorState.h"
#include "display/SDLCursors.h"

#include <bit>
#include <gtest/gtest.h>
#include <vector>

namespace tw::display {
namespace {

    class CursorTest : public ::testing::Test {
    protected:
        void SetUp() override { CursorState::Reset(); }
        void TearDown() override { CursorState::Reset(); }
    };

    // As the program keeps its records: each word big-endian.
    UInt16 BigEndian(UInt16 value)
    {
        return std::endian::native == std::endian::big ? value : static_cast<UInt16>((value >> 8) | (value << 8));
    }

    TEST_F(CursorTest, ThemeCursorsAreRecordedAndUnknownOnesRefused)
    {
        EXPECT_TRUE(CursorState::Current().isTheme);
        EXPECT_EQ(CursorState::Current().theme, kThemeArrowCursor);
        for (ThemeCursor theme : { kThemeCrossCursor, kThemeClosedHandCursor, kThemeOpenHandCursor,
                 kThemePointingHandCursor, kThemeWatchCursor, kThemeArrowCursor }) {
            EXPECT_EQ(SetThemeCursor(theme), noErr);
            EXPECT_TRUE(CursorState::Current().isTheme);
            EXPECT_EQ(CursorState::Current().theme, theme);
        }
        ASSERT_EQ(SetThemeCursor(kThemeCrossCursor), noErr);
        EXPECT_EQ(SetThemeCursor(999), paramErr);
        EXPECT_EQ(CursorState::Current().theme, kThemeCrossCursor);
    }

    TEST_F(CursorTest, ABitmapRecordKeepsItsPixelsAndHotSpot)
    {
        Cursor record {};
        record.data[0] = BigEndian(0x8001); // leftmost and rightmost pixels of the top row
        record.mask[0] = BigEndian(0xC003);
        record.data[15] = BigEndian(0x0100);
        record.hotSpot.v = static_cast<SInt16>(BigEndian(6));
        record.hotSpot.h = static_cast<SInt16>(BigEndian(9));
        SetCursor(&record);
        CursorShape const& shape = CursorState::Current();
        EXPECT_FALSE(shape.isTheme);
        EXPECT_EQ(shape.image[0], 0x80);
        EXPECT_EQ(shape.image[1], 0x01);
        EXPECT_EQ(shape.mask[0], 0xC0);
        EXPECT_EQ(shape.mask[1], 0x03);
        EXPECT_EQ(shape.image[30], 0x01);
        EXPECT_EQ(shape.image[31], 0x00);
        EXPECT_EQ(shape.hotY, 6);
        EXPECT_EQ(shape.hotX, 9);
        // A hot spot off the bitmap is pinned to its edge; a null record changes nothing.
        record.hotSpot.v = static_cast<SInt16>(BigEndian(40));
        record.hotSpot.h = static_cast<SInt16>(BigEndian(static_cast<UInt16>(-3)));
        SetCursor(&record);
        EXPECT_EQ(CursorState::Current().hotY, 15);
        EXPECT_EQ(CursorState::Current().hotX, 0);
        SetCursor(nullptr);
        EXPECT_FALSE(CursorState::Current().isTheme);
    }

    TEST_F(CursorTest, TheListenerHearsEveryChange)
    {
        std::vector<CursorShape> heard;
        CursorState::SetListener([&](CursorShape const& shape) { heard.push_back(shape); });
        SetThemeCursor(kThemeOpenHandCursor);
        SetThemeCursor(kThemeClosedHandCursor);
        SetThemeCursor(12345);
        ASSERT_EQ(heard.size(), 2u);
        EXPECT_EQ(heard[0].theme, kThemeOpenHandCursor);
        EXPECT_EQ(heard[1].theme, kThemeClosedHandCursor);
    }

    TEST_F(CursorTest, ArtBecomesImageAndMaskBits)
    {
        constexpr std::string_view art[16]
            = { "X.  ", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "       X.       " };
        CursorShape const shape = SDLCursors::FromArt(art, 3, 4);
        EXPECT_EQ(shape.image[0], 0x80); // X: black
        EXPECT_EQ(shape.mask[0], 0xC0); // X and .: opaque
        EXPECT_EQ(shape.image[30], 0x01);
        EXPECT_EQ(shape.mask[30], 0x01);
        EXPECT_EQ(shape.mask[31], 0x80); // the column after 7 is the next byte's high bit
        EXPECT_EQ(shape.hotX, 3);
        EXPECT_EQ(shape.hotY, 4);
    }

    TEST_F(CursorTest, TheHandsAreOutlinedOpaqueAndDiffer)
    {
        for (bool closed : { false, true }) {
            CursorShape const hand = SDLCursors::Hand(closed);
            int black = 0, white = 0;
            for (std::size_t i = 0; i < hand.image.size(); ++i) {
                EXPECT_EQ(hand.image[i] & ~hand.mask[i], 0) << "no inverting pixels in byte " << i;
                black += std::popcount(static_cast<unsigned>(hand.image[i]));
                white += std::popcount(static_cast<unsigned>(hand.mask[i] & ~hand.image[i]));
            }
            EXPECT_GT(black, 30);
            EXPECT_GT(white, black);
            // The hot spot lies on the hand.
            int const byte = 2 * hand.hotY + hand.hotX / 8;
            EXPECT_NE(hand.mask[byte] & (0x80 >> (hand.hotX % 8)), 0);
        }
        EXPECT_NE(SDLCursors::Hand(true), SDLCursors::Hand(false));
    }

} // namespace
} // namespace tw::display
