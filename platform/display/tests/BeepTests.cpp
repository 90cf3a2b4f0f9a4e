#include "DisplayTest.h"
#include "toolbox/Sound.h"

namespace tw::test {
namespace {

    class Beep : public DisplayTest {
    protected:
        void SetUp() override
        {
            DisplayTest::SetUp();
            toolbox::Beeper::ResetForTesting();
        }
        void TearDown() override
        {
            toolbox::Beeper::ResetForTesting();
            DisplayTest::TearDown();
        }
        // The grey of the menu bar's background, right of any title.
        static int BarGrey() { return ProbeScreen().At(1200, 5).g; }
    };

    TEST_F(Beep, FlashesTheMenuBarUntilTheLatestBeepIsOverAndCountsEach)
    {
        int const light = BarGrey();
        SysBeep(30);
        EXPECT_EQ(toolbox::Beeper::Count(), 1u);
        EXPECT_LT(BarGrey(), light - 100);
        Run(0.1);
        SysBeep(30); // a second beep while the first still shows keeps the bar dark
        Run(0.1);
        EXPECT_TRUE(toolbox::Beeper::IsFlashing());
        EXPECT_LT(BarGrey(), light - 100);
        Run(0.1);
        EXPECT_FALSE(toolbox::Beeper::IsFlashing());
        EXPECT_EQ(BarGrey(), light);
        EXPECT_EQ(toolbox::Beeper::Count(), 2u);
    }

} // namespace
} // namespace tw::test
