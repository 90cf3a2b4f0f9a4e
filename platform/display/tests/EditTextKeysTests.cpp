#include "ControlTest.h"
#include "services/Scrap.h"
#include "services/ScrapBackend.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/NibCalls.h"

#include <string>

namespace tw::test {
namespace {

    using display::kVK_LeftArrow;
    using display::kVK_RightArrow;

    class EditTextKeys : public ControlTest {
    protected:
        void SetUp() override
        {
            ControlTest::SetUp();
            services::ResetScrapForTesting();
        }
        void TearDown() override
        {
            services::ResetScrapForTesting();
            ControlTest::TearDown();
        }

        ControlRef MakeField(SInt16 top, CFStringRef text, bool password = false)
        {
            Rect const r { top, 20, static_cast<SInt16>(top + 22), 320 };
            ControlRef field = nullptr;
            EXPECT_EQ(CreateEditUnicodeTextControl(mWindow, &r, text, password, nullptr, &field), noErr);
            return field;
        }
        static std::string TextOf(ControlRef field)
        {
            CFStringRef text = nullptr;
            GetControlData(field, 0, kControlEditTextCFStringTag, sizeof text, &text, nullptr);
            std::string const utf8 = cf::ToUTF8(text);
            if (text)
                CFRelease(text);
            return utf8;
        }
        static std::pair<int, int> Selection(ControlRef field)
        {
            ControlEditTextSelectionRec selection {};
            GetControlData(field, 0, kControlEditTextSelectionTag, sizeof selection, &selection, nullptr);
            return { selection.selStart, selection.selEnd };
        }
        static void Arrow(UInt32 code, UInt32 modifiers)
        {
            InputDriver::Key(code, code == kVK_LeftArrow ? 28 : 29, modifiers);
            Run();
        }
        static std::string Primary()
        {
            std::string text;
            services::CopyPrimarySelection(&text);
            return text;
        }
    };

    TEST_F(EditTextKeys, OptionArrowsMoveByWordsAndCommandArrowsToTheLinesEnds)
    {
        //                                   0   4     10    16  20
        ControlRef field = MakeField(20, CFSTR("The quick brown-fox jumps"));
        InputDriver::Click(Global(field, { 290, 11 })); // the caret at the end: 25
        Run();
        ASSERT_EQ(Selection(field), std::make_pair(25, 25));
        Arrow(kVK_LeftArrow, optionKey);
        EXPECT_EQ(Selection(field), std::make_pair(20, 20)) << "to the start of \"jumps\"";
        Arrow(kVK_LeftArrow, optionKey);
        EXPECT_EQ(Selection(field), std::make_pair(16, 16)) << "over the gap to the start of \"fox\"";
        Arrow(kVK_LeftArrow, optionKey);
        EXPECT_EQ(Selection(field), std::make_pair(10, 10)) << "the hyphen parts words";
        Arrow(kVK_RightArrow, optionKey | shiftKey);
        EXPECT_EQ(Selection(field), std::make_pair(10, 15)) << "Shift selects \"brown\"";
        Arrow(kVK_RightArrow, optionKey);
        EXPECT_EQ(Selection(field), std::make_pair(19, 19)) << "from the selection's end to the end of \"fox\"";
        Arrow(kVK_LeftArrow, cmdKey);
        EXPECT_EQ(Selection(field), std::make_pair(0, 0));
        Arrow(kVK_LeftArrow, optionKey);
        EXPECT_EQ(Selection(field), std::make_pair(0, 0)) << "nothing before the start";
        Arrow(kVK_RightArrow, cmdKey | shiftKey);
        EXPECT_EQ(Selection(field), std::make_pair(0, 25));
        Arrow(kVK_RightArrow, cmdKey);
        EXPECT_EQ(Selection(field), std::make_pair(25, 25));
        EXPECT_EQ(TextOf(field), "The quick brown-fox jumps") << "a move changed the text";

        // A multi-line field: Command goes to the ends of the caret's line only.
        Rect const r { 60, 20, 140, 320 };
        ControlRef notes = nullptr;
        ASSERT_EQ(CreateEditUnicodeTextControl(mWindow, &r, CFSTR("first line\nsecond line"), false, nullptr, &notes),
            noErr);
        Boolean multi = false;
        SetControlData(notes, 0, kControlEditTextSingleLineTag, sizeof multi, &multi);
        ControlEditTextSelectionRec const inSecond { 14, 14 };
        SetKeyboardFocus(mWindow, notes, kControlFocusNextPart);
        SetControlData(notes, 0, kControlEditTextSelectionTag, sizeof inSecond, &inSecond);
        Arrow(kVK_LeftArrow, cmdKey);
        EXPECT_EQ(Selection(notes), std::make_pair(11, 11));
        Arrow(kVK_RightArrow, cmdKey);
        EXPECT_EQ(Selection(notes), std::make_pair(22, 22));
    }

    TEST_F(EditTextKeys, SelectingSetsThePrimarySelectionAndAMiddleClickPastesItButNotThePasteboard)
    {
        ControlRef from = MakeField(20, CFSTR("alpha beta gamma"));
        ControlRef to = MakeField(60, CFSTR("XYZ"));
        ControlRef secret = MakeField(100, CFSTR("hunter2"), true);
        // A double click selects "beta": it becomes the primary selection, and nothing is copied.
        InputDriver::Click(Global(from, { 60, 11 }));
        InputDriver::Click(Global(from, { 60, 11 }));
        Run();
        ASSERT_EQ(Selection(from), std::make_pair(6, 10));
        EXPECT_EQ(Primary(), "beta");
        // Keys that select do the same.
        InputDriver::Key(kVK_RightArrow, 29, shiftKey | optionKey);
        Run();
        EXPECT_EQ(Primary(), "beta gamma");
        // A password's selection stays in its field.
        SetKeyboardFocus(mWindow, secret, kControlFocusNextPart);
        InputDriver::Key(display::kVK_ANSI_A, 'a', cmdKey);
        Run();
        EXPECT_EQ(Primary(), "beta gamma");
        // The middle button pastes where it clicks, in another field, without focusing first.
        InputDriver::MouseDown(Global(to, { 4, 11 }), 0, 3);
        InputDriver::MouseUp(Global(to, { 4, 11 }), 0, 3);
        Run();
        EXPECT_EQ(TextOf(to), "beta gammaXYZ");
        EXPECT_EQ(TextOf(from), "alpha beta gamma");
        ScrapRef scrap = nullptr;
        Size size = 0;
        GetCurrentScrap(&scrap);
        EXPECT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size), noTypeErr) << "selecting copied";
        // A locked field takes no paste.
        Boolean locked = true;
        SetControlData(from, 0, kControlEditTextLockedTag, sizeof locked, &locked);
        InputDriver::MouseDown(Global(from, { 4, 11 }), 0, 3);
        InputDriver::MouseUp(Global(from, { 4, 11 }), 0, 3);
        Run();
        EXPECT_EQ(TextOf(from), "alpha beta gamma");
    }

    // The Edit menu asks the focus before it opens: a window with nothing to edit
    // disables every editing item; a field enables what it can do now.
    TEST_F(EditTextKeys, EditItemsAreEnabledOnlyWhenTheFocusCanDoThem)
    {
        IBNibRef nib = nullptr;
        ASSERT_EQ(CreateNibReference(CFSTR("Tarnwick"), &nib), noErr);
        ASSERT_EQ(SetMenuBarFromNib(nib, CFSTR("MenuBar")), noErr);
        DisposeNibReference(nib);
        toolbox::Menu* edit = toolbox::LiveMenu(GetMenuRef(130));
        ASSERT_NE(edit, nullptr);
        auto enabled = [&] {
            edit->UpdateStatus();
            std::string out;
            for (MenuItemIndex i = 1; i <= edit->Count(); ++i) {
                toolbox::MenuItem const* item = edit->Item(i);
                // The standard editing items only: the menu's document commands are not the focus's.
                if (toolbox::MenuBar::IsStandardEditCommand(item->command) && item->enabled)
                    out += (out.empty() ? "" : " ") + cf::ToUTF8(item->text);
            }
            return out;
        };
        EXPECT_EQ(enabled(), "") << "a window with nothing to edit";
        ControlRef field = MakeField(20, CFSTR("text"));
        SetKeyboardFocus(mWindow, field, kControlFocusNextPart);
        ControlEditTextSelectionRec const caret { 4, 4 };
        SetControlData(field, 0, kControlEditTextSelectionTag, sizeof caret, &caret);
        EXPECT_EQ(enabled(), "Select All");
        ControlEditTextSelectionRec const word { 0, 2 };
        SetControlData(field, 0, kControlEditTextSelectionTag, sizeof word, &word);
        EXPECT_EQ(enabled(), "Cut Copy Clear Select All");
        ScrapRef scrap = nullptr;
        GetCurrentScrap(&scrap);
        PutScrapFlavor(scrap, kScrapFlavorTypeText, kScrapFlavorMaskNone, 1, "x");
        EXPECT_EQ(enabled(), "Cut Copy Paste Clear Select All");
        Boolean locked = true;
        SetControlData(field, 0, kControlEditTextLockedTag, sizeof locked, &locked);
        EXPECT_EQ(enabled(), "Copy Select All");
        // Command-C on a disabled item does nothing and the key reaches no one else.
        SetControlData(field, 0, kControlEditTextSelectionTag, sizeof caret, &caret);
        ClearCurrentScrap();
        InputDriver::Key(0x08, 'c', cmdKey);
        Run();
        GetCurrentScrap(&scrap);
        Size size = 0;
        EXPECT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size), noTypeErr);
    }

} // namespace
} // namespace tw::test
