#include "framework/CFileDialog.h"
#include "framework/tests/DialogTest.h"
#include "tests/support/InputDriver.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/dialogs/FileListView.h"

#include <cstdio>

// The file dialogs driven by the mouse and keyboard, as a user would.
namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    enum : UInt32 {
        kReturn = 36,
        kTab = 48,
        kEscape = 53,
        kHome = 115,
        kPageUp = 116,
        kEnd = 119,
        kPageDown = 121,
        kLeft = 123,
        kRight = 124,
        kDown = 125,
        kUp = 126,
    };
    constexpr SInt16 kRow = toolbox::dialogs::FileListView::kRowHeight;

    void Press(UInt32 code, UInt32 modifiers = 0) { InputDriver::Key(code, 0, modifiers); }
    void Type(std::string const& text) { InputDriver::Type(text); }

    class NavigationInput : public DialogTest {
    protected:
        void SetUp() override
        {
            DialogTest::SetUp();
            Touch(mFolder / "A.gpx");
            Touch(mFolder / "b.gpx");
            std::filesystem::create_directory(mFolder / "sub");
            Touch(mFolder / "sub" / "inner.gpx");
            mDialog.SetDefaultLocation(CFile(CString(mFolder.Path().c_str())));
        }

        // The file list of the front dialog on the screen: it has the keyboard when an open dialog appears.
        static CGRect ListOnScreen()
        {
            WindowRef const window = FrontWindow();
            ControlRef list = nullptr;
            GetKeyboardFocus(window, &list);
            HIRect frame {};
            HIViewGetFrame(list, &frame);
            Rect content {};
            GetWindowBounds(window, kWindowContentRgn, &content);
            return CGRectOffset(frame, content.left, content.top);
        }
        static int VisibleRows() { return static_cast<int>((ListOnScreen().size.height - 2) / kRow); }
        // The middle of a shown row.
        static CGPoint Row(int row)
        {
            CGRect const list = ListOnScreen();
            return { list.origin.x + 100, list.origin.y + 1 + kRow * row + kRow / 2 };
        }
        static void DoubleClick(CGPoint at)
        {
            InputDriver::Click(at);
            InputDriver::Click(at);
        }

        // Queues the input once the dialog is up (or after the delay); the loop then routes it.
        static void WhenShown(std::function<void()> input, EventTime delay = 0.01)
        {
            struct Pending {
                std::function<void()> input;
                EventLoopTimerRef timer = nullptr;
            };
            auto* pending = new Pending { std::move(input) };
            InstallEventLoopTimer(
                GetMainEventLoop(), delay, 0,
                [](EventLoopTimerRef, void* data) {
                    auto* p = static_cast<Pending*>(data);
                    RemoveEventLoopTimer(p->timer);
                    auto run = std::move(p->input);
                    delete p;
                    run();
                },
                pending, &pending->timer);
        }

        // Forty tracks after A.gpx, b.gpx and sub: far more than one screenful.
        std::vector<std::string> AddTracks()
        {
            std::vector<std::string> names = { "A.gpx", "b.gpx", "sub" };
            for (int i = 0; i < 40; ++i) {
                char name[32];
                std::snprintf(name, sizeof name, "track %02d.gpx", i);
                Touch(mFolder / name);
                names.push_back(name);
            }
            return names;
        }

        std::string Open()
        {
            FileDialogResult result;
            if (mDialog.ChooseFile(CString(), CString(), nullptr, result) != kNavUserActionOpen)
                return "(cancelled)";
            return result.file.GetFileName().GetUTF8();
        }

        TempFolder mFolder;
        CFileDialog mDialog;
    };

    TEST_F(NavigationInput, DoubleClicksEnterAFolderAndOpenAFile)
    {
        WhenShown([] {
            DoubleClick(Row(2)); // "sub"
            WhenShown([] { DoubleClick(Row(0)); }); // "inner.gpx"
        });
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), nullptr, result), kNavUserActionOpen);
        ASSERT_EQ(result.files.size(), 1u);
        EXPECT_EQ(result.file.GetFullPath(), CString((mFolder / "sub" / "inner.gpx").c_str()));
    }

    TEST_F(NavigationInput, CommandClicksChooseSeveralFilesAndReturnOpensThem)
    {
        // One gesture per loop turn, as a user's input arrives.
        WhenShown([] {
            InputDriver::Click(Row(0));
            WhenShown([] {
                InputDriver::Click(Row(1), cmdKey);
                WhenShown([] { InputDriver::Key(36, '\r'); });
            });
        });
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), nullptr, result), kNavUserActionOpen);
        ASSERT_EQ(result.files.size(), 2u);
        EXPECT_EQ(result.files[0].GetFileName(), CString("A.gpx"));
        EXPECT_EQ(result.files[1].GetFileName(), CString("b.gpx"));
    }

    TEST_F(NavigationInput, EscapeCancels)
    {
        WhenShown([] {
            InputDriver::Click(Row(0));
            InputDriver::Key(53, 0x1B);
        });
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), nullptr, result), kNavUserActionCancel);
        EXPECT_TRUE(result.files.empty());
        EXPECT_LT(ManualClock::Now(), 1000 + toolbox::dialogs::Responders::kUnansweredTimeout)
            << "answered by the key, not by the fallback";
    }

    // The list has the keyboard as the dialog opens: no click needed.
    TEST_F(NavigationInput, TheKeysReachEveryFileOfALongFolder)
    {
        std::vector<std::string> const names = AddTracks();
        WhenShown([] { Press(kEnd), Press(kReturn); });
        EXPECT_EQ(Open(), names.back());

        static int sPage = 0;
        WhenShown([] {
            sPage = VisibleRows() - 1;
            Press(kHome), Press(kPageDown), Press(kPageDown), Press(kPageDown), Press(kPageUp), Press(kDown),
                Press(kReturn);
        });
        std::string const paged = Open(); // the page size is known once the dialog showed
        EXPECT_EQ(paged, names[2 * sPage + 1]);

        WhenShown([] { Press(kEnd), Press(kUp), Press(kUp), Press(kReturn); });
        EXPECT_EQ(Open(), names[names.size() - 3]);
    }

    TEST_F(NavigationInput, TheWheelAndTheScrollBarBringLaterFilesIntoReach)
    {
        std::vector<std::string> const names = AddTracks();
        // Two notches down: three rows a notch.
        WhenShown([] {
            InputDriver::Wheel(Row(3), -2);
            WhenShown([] { DoubleClick(Row(0)); });
        });
        EXPECT_EQ(Open(), names[6]);

        // The thumb dragged to the bottom shows the last file on the last whole row.
        static int sLast = 0;
        WhenShown([] {
            CGRect const list = ListOnScreen();
            sLast = VisibleRows() - 1;
            CGPoint const thumb { CGRectGetMaxX(list) - 1 - kScrollBarWidth / 2, list.origin.y + 6 };
            InputDriver::Drag(thumb, { thumb.x, CGRectGetMaxY(list) + 40 });
            WhenShown([] { DoubleClick(Row(sLast)); });
        });
        std::string const last = Open();
        EXPECT_EQ(last, names.back());

        // A click in the track below the thumb goes down a page.
        static int sPage = 0;
        WhenShown([] {
            CGRect const list = ListOnScreen();
            sPage = VisibleRows() - 1;
            InputDriver::Click({ CGRectGetMaxX(list) - 1 - kScrollBarWidth / 2, CGRectGetMaxY(list) - 10 });
            WhenShown([] { DoubleClick(Row(0)); });
        });
        std::string const paged = Open();
        EXPECT_EQ(paged, names[sPage]);
    }

    TEST_F(NavigationInput, TypingTheStartOfANameSelectsItIgnoringCase)
    {
        Touch(mFolder / "Bravo.gpx");
        Touch(mFolder / "beta walk.gpx");
        // "B" finds b.gpx, "Br" goes on to Bravo.gpx.
        WhenShown([] { Type("B"), Type("r"), Press(kReturn); });
        EXPECT_EQ(Open(), "Bravo.gpx");

        // After a pause the typing starts again: "be" is not "Brbe".
        WhenShown([] {
            Type("Br");
            WhenShown([] { Type("be"), Press(kReturn); }, 2);
        });
        EXPECT_EQ(Open(), "beta walk.gpx");
    }

    TEST_F(NavigationInput, ArrowsAndCommandArrowsGoInAndOutOfFolders)
    {
        // Right goes in, Left out; Return goes in, Command-Up out; Command-Down goes in, and opens a file.
        WhenShown([] {
            Type("s"), Press(kRight), Press(kLeft), Type("s"), Press(kReturn), Press(kUp, cmdKey), Type("s"),
                Press(kDown, cmdKey), Press(kDown), Press(kDown, cmdKey);
        });
        EXPECT_EQ(Open(), "inner.gpx");
    }

    TEST_F(NavigationInput, APathTypedInThePlaceFieldGoesToAFolderOrOpensAFile)
    {
        // "/" starts a path; Command-L shows the folder's path, selected, so a name typed replaces it.
        static std::string sSub;
        sSub = (mFolder / "sub").string();
        WhenShown([] {
            Type("/"), Type(sSub.substr(1)), Press(kReturn);
            WhenShown([] { InputDriver::Key(37, 'l', cmdKey), Type("inner.gpx"), Press(kReturn); });
        });
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), nullptr, result), kNavUserActionOpen);
        EXPECT_EQ(result.file.GetFullPath(), CString((mFolder / "sub" / "inner.gpx").c_str()));
    }

    TEST_F(NavigationInput, TabLeavesTheListForThePlaceFieldAndTheButtons)
    {
        // Tab opens the place field with the folder's path selected: a name typed there opens.
        WhenShown([] { Press(kTab), Type("b.gpx"), Press(kReturn); });
        EXPECT_EQ(Open(), "b.gpx");
        // Tab twice reaches Cancel, which Space presses; Shift-Tab goes back the same way.
        WhenShown([] { Press(kTab), Press(kTab), Press(kTab, shiftKey), Press(kTab), Press(49); });
        EXPECT_EQ(Open(), "(cancelled)");
        EXPECT_LT(ManualClock::Now(), 1000 + Responders::kUnansweredTimeout) << "answered by the keys";
    }

    TEST_F(NavigationInput, CommandAChoosesEveryFileWhereSeveralMayBeChosen)
    {
        WhenShown([] { InputDriver::Key(0, 'a', cmdKey), Press(kReturn); });
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), nullptr, result), kNavUserActionOpen);
        ASSERT_EQ(result.files.size(), 2u) << "the files, not the folder";
        EXPECT_EQ(result.files[0].GetFileName(), CString("A.gpx"));
        EXPECT_EQ(result.files[1].GetFileName(), CString("b.gpx"));
    }

    TEST_F(NavigationInput, APlaceThatIsNotThereIsNamedAndEscapeLeavesTheFieldFirst)
    {
        // Return answers the alert; the first Escape closes the field, the second the dialog.
        WhenShown([] { Type("~/no such place"), Press(kReturn), Press(kReturn), Press(kEscape), Press(kEscape); });
        EXPECT_EQ(Open(), "(cancelled)");
        ASSERT_EQ(Responders::History().size(), 2u);
        EXPECT_EQ(Responders::History()[1].kind, DialogKind::Alert);
        EXPECT_NE(Responders::History()[1].text.find("~/no such place"), std::string::npos);
        EXPECT_LT(ManualClock::Now(), 1000 + Responders::kUnansweredTimeout) << "answered by the keys";
    }

    // A sheet's answer comes as a message; this runs the loop until it came.
    class SaveSheetInput : public NavigationInput {
    protected:
        void SetUp() override
        {
            NavigationInput::SetUp();
            mParent = MakeWindow({ 80, 60, 560, 700 });
            mDialog.SetParent(mParent);
            mDialog.AddListener(&mLog);
        }
        void TearDown() override
        {
            DisposeWindow(mParent);
            NavigationInput::TearDown();
        }
        FileDialogResult Save(std::function<void()> input)
        {
            FileDialogResult result;
            mLog.onMessage = [&](UInt32 message, void* parameter) {
                if (message == CFileDialog::kMsgFileDialogResult)
                    result = *static_cast<FileDialogResult*>(parameter);
            };
            mDialog.ChooseSave(CString(), CString(), nullptr, CString("untitled.twk"), 0, 0, false, nullptr);
            ManualClock::RunFor(0.1);
            input();
            for (int i = 0; i < 50 && result.action == kNavUserActionNone; ++i)
                ManualClock::RunFor(0.1);
            return result;
        }

        WindowRef mParent = nullptr;
        MessageLog mLog;
    };

    // The name is selected without its extension: typing replaces it, and the extension stays.
    TEST_F(SaveSheetInput, TypingReplacesTheProposedNameAndKeepsItsExtension)
    {
        FileDialogResult const result = Save([] { Type("trip"), Press(kReturn); });
        EXPECT_EQ(result.action, kNavUserActionSaveAs);
        EXPECT_EQ(result.file.GetFullPath(), CString((mFolder / "trip.twk").c_str()));
    }

    TEST_F(SaveSheetInput, TabLeavesTheNameForTheListWhereReturnEntersAFolder)
    {
        // Tab to the list, "s" selects sub, Return goes in; Shift-Tab back to the name, Return saves there.
        FileDialogResult const result
            = Save([] { Type("trip"), Press(kTab), Type("s"), Press(kReturn), Press(kTab, shiftKey), Press(kReturn); });
        EXPECT_EQ(result.action, kNavUserActionSaveAs);
        EXPECT_EQ(result.file.GetFullPath(), CString((mFolder / "sub" / "trip.twk").c_str()));
    }

    TEST_F(SaveSheetInput, ThePathTypedAsTheNameSavesInItsFolder)
    {
        FileDialogResult const result = Save([] { Type("sub/walk"), Press(kReturn); });
        EXPECT_EQ(result.file.GetFullPath(), CString((mFolder / "sub" / "walk.twk").c_str()));
    }

    // Cancel is both the default and the cancel button of the replace question.
    TEST_F(SaveSheetInput, TheReplaceQuestionAnswersReturnAndEscapeWithCancel)
    {
        WriteFile(mFolder / "beta.twk", "kept");
        FileDialogResult const result = Save([] {
            Type("beta"), Press(kReturn), Press(kEscape), Press(kReturn), Press(kReturn), Press(kReturn);
            InputDriver::Key(47, '.', cmdKey), Press(kEscape);
        });
        EXPECT_EQ(result.action, kNavUserActionCancel);
        EXPECT_EQ(ReadFile(mFolder / "beta.twk"), "kept");
        std::size_t alerts = 0;
        for (auto const& shown : Responders::History())
            alerts += shown.kind == DialogKind::Alert;
        EXPECT_EQ(alerts, 3u) << "each Return on Save asked again";
    }

} // namespace
} // namespace tw::test
