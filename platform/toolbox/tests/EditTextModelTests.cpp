#include "toolbox/controls/EditTextModel.h"

#include <gtest/gtest.h>

namespace tw::toolbox::controls {

namespace {

    TEST(EditTextModel, TypingReplacesTheSelection)
    {
        EditTextModel model;
        model.SetText(u"Lyon");
        model.Select(1, 3);
        EXPECT_TRUE(model.Insert(u"IO"));
        EXPECT_EQ(model.Text(), u"LIOn");
        EXPECT_EQ(model.Caret(), 3u);
        EXPECT_FALSE(model.HasSelection());
    }

    TEST(EditTextModel, CaretNeverSplitsASurrogatePair)
    {
        EditTextModel model;
        model.SetText(u"a😀b"); // the emoji is two code units
        model.MoveTo(2, false);
        EXPECT_EQ(model.Caret(), 1u);
        model.MoveRight(false);
        EXPECT_EQ(model.Caret(), 3u);
        EXPECT_TRUE(model.DeleteBackward());
        EXPECT_EQ(model.Text(), u"ab");
        model.SetText(u"😀");
        model.MoveTo(0, false);
        EXPECT_TRUE(model.DeleteForward());
        EXPECT_TRUE(model.Text().empty());
    }

    TEST(EditTextModel, DeletingAtTheEndsChangesNothing)
    {
        EditTextModel model;
        model.SetText(u"x");
        EXPECT_FALSE(model.DeleteForward());
        model.MoveTo(0, false);
        EXPECT_FALSE(model.DeleteBackward());
        EXPECT_EQ(model.Text(), u"x");
    }

    TEST(EditTextModel, ArrowsCollapseAndExtendTheSelection)
    {
        EditTextModel model;
        model.SetText(u"abcdef");
        model.Select(2, 4);
        model.MoveLeft(false);
        EXPECT_EQ(model.Caret(), 2u);
        model.MoveRight(true);
        model.MoveRight(true);
        EXPECT_EQ(model.SelectedText(), u"cd");
        model.Select(99, 99); // out of range clamps
        EXPECT_EQ(model.Caret(), 6u);
    }

    TEST(EditTextModel, LinesEndAtNewlines)
    {
        EditTextModel model;
        model.SetText(u"one\ntwo\nthree");
        EXPECT_EQ(model.LineStart(5), 4u);
        EXPECT_EQ(model.LineEnd(5), 7u);
        EXPECT_EQ(model.LineStart(0), 0u);
        EXPECT_EQ(model.LineEnd(9), 13u);
        EXPECT_EQ(model.LineStart(4), 4u);
    }

} // namespace

} // namespace tw::toolbox::controls
