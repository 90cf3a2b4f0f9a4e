#include "DisplayTest.h"
#include "services/AppleEvents.h"
#include "toolbox/MenuBar.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Theme.h"
#include "toolbox/controls/ControlDefinitions.h"

namespace tw::test {
namespace {

    // The commands that reach the application, and the quit Apple events it hears.
    struct Heard {
        std::vector<MenuCommand> processed;
        int quits = 0;
        std::vector<std::function<void()>> steps; // played one per timer tick inside the modal loop
        WindowRef dialog = nullptr;
    };

    OSStatus HearCommand(EventHandlerCallRef, EventRef event, void* data)
    {
        HICommandExtended command {};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
        if (GetEventKind(event) == kEventCommandUpdateStatus) {
            EnableMenuItem(command.source.menu.menuRef, command.source.menu.menuItemIndex);
            return noErr;
        }
        static_cast<Heard*>(data)->processed.push_back(command.commandID);
        return noErr;
    }

    OSErr HearQuit(AppleEvent const*, AppleEvent*, SRefCon data)
    {
        ++static_cast<Heard*>(data)->quits;
        return noErr;
    }

    class ModalLoopInput : public DisplayTest {
    protected:
        void SetUp() override
        {
            DisplayTest::SetUp();
            ASSERT_EQ(SetMenuBarFromNib(mNib, CFSTR("MenuBar")), noErr);
            EventTypeSpec const specs[]
                = { { kEventClassCommand, kEventCommandProcess }, { kEventClassCommand, kEventCommandUpdateStatus } };
            InstallEventHandler(GetApplicationEventTarget(), HearCommand, 2, specs, &mHeard, &mHandler);
            AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, HearQuit, &mHeard, false);
            Rect const content { 200, 300, 320, 700 };
            ASSERT_EQ(
                CreateNewWindow(kMovableModalWindowClass, kWindowStandardHandlerAttribute, &content, &mDialog), noErr);
            Rect const r { 20, 20, 42, 300 };
            CreateEditUnicodeTextControl(mDialog, &r, CFSTR("Lisbon"), false, nullptr, &mField);
            ShowWindow(mDialog);
            SetKeyboardFocus(mDialog, mField, kControlFocusNextPart);
            mHeard.dialog = mDialog;
        }
        void TearDown() override
        {
            AERemoveEventHandler(kCoreEventClass, kAEQuitApplication, HearQuit, false);
            RemoveEventHandler(mHandler);
            DisposeWindow(mDialog);
            DisplayTest::TearDown();
        }

        // Runs the dialog's app-modal loop, playing one step every 0.1 s; the loop ends after the last.
        void RunModal()
        {
            mHeard.steps.push_back([this] { QuitAppModalLoopForWindow(mDialog); });
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), 0.1, 0.1,
                [](EventLoopTimerRef, void* data) {
                    auto* heard = static_cast<Heard*>(data);
                    if (heard->steps.empty())
                        return;
                    auto const step = heard->steps.front();
                    heard->steps.erase(heard->steps.begin());
                    step();
                },
                &mHeard, &timer);
            RunAppModalLoopForWindow(mDialog);
            RemoveEventLoopTimer(timer);
        }

        bool Processed(MenuCommand command) const
        {
            return std::find(mHeard.processed.begin(), mHeard.processed.end(), command) != mHeard.processed.end();
        }

        ControlEditTextSelectionRec Selection() const
        {
            ControlEditTextSelectionRec selection {};
            GetControlData(mField, 0, kControlEditTextSelectionTag, sizeof selection, &selection, nullptr);
            return selection;
        }

        Heard mHeard;
        EventHandlerRef mHandler = nullptr;
        WindowRef mDialog = nullptr;
        ControlRef mField = nullptr;
    };

    TEST_F(ModalLoopInput, KeyEquivalentsDoNothingExceptTheEditingCommandsWhichReachTheField)
    {
        mHeard.steps.push_back([] {
            InputDriver::Key(12, 'q', cmdKey);
            InputDriver::Key(45, 'n', cmdKey);
            InputDriver::Key(0, 'a', cmdKey);
        });
        mHeard.steps.push_back([] {});
        RunModal();
        EXPECT_FALSE(Processed(kHICommandQuit)) << "Quit ran inside the modal loop";
        EXPECT_FALSE(Processed(kHICommandNew));
        EXPECT_FALSE(Processed(kHICommandSelectAll)) << "the field takes Select All";
        EXPECT_EQ(Selection().selStart, 0);
        EXPECT_EQ(Selection().selEnd, 6);

        InputDriver::Key(45, 'n', cmdKey);
        Run();
        EXPECT_TRUE(Processed(kHICommandNew)) << "the menu bar works again once the loop has ended";
    }

    TEST_F(ModalLoopInput, BarMenusOpenButOnlyTheEditingCommandsCanBeChosen)
    {
        std::vector<CGRect> const titles = toolbox::Theme::MenuBarTitleRects();
        ASSERT_GE(titles.size(), 3u);
        CGPoint const file { CGRectGetMidX(titles[1]), 11 };
        CGPoint const fileNew { file.x + 20, 22 + 4 + 10 };
        CGPoint const edit { CGRectGetMidX(titles[2]), 11 };
        // Edit: Undo, Redo, separator, Cut, Copy, Paste, Clear, Select All.
        CGPoint const selectAll { edit.x + 20, 22 + 4 + 6 * 20 + 8 + 10 };
        struct Seen {
            std::size_t open = 0;
            bool editOnly = false;
        };
        auto seen = std::make_shared<Seen>();
        mHeard.steps.push_back([=] {
            InputDriver::MouseDown(file);
            InputDriver::MouseMove(fileNew);
            // Looked at from the next step while the menu tracks in its nested loop.
        });
        mHeard.steps.push_back([=] {
            seen->open = toolbox::MenuBar::Open().size();
            seen->editOnly = seen->open && toolbox::MenuBar::Open()[0].editOnly;
            InputDriver::MouseUp(fileNew);
        });
        mHeard.steps.push_back([=] {
            InputDriver::MouseDown(edit);
            InputDriver::MouseMove(selectAll);
        });
        mHeard.steps.push_back([=] { InputDriver::MouseUp(selectAll); });
        mHeard.steps.push_back([] {});
        RunModal();
        EXPECT_EQ(seen->open, 1u) << "the menu opens";
        EXPECT_TRUE(seen->editOnly);
        EXPECT_FALSE(Processed(kHICommandNew));
        EXPECT_EQ(Selection().selEnd - Selection().selStart, 6) << "Select All from the menu reached the field";
    }

    TEST_F(ModalLoopInput, AQuitFromTheWindowSystemWaitsForTheModalLoopToEnd)
    {
        int quitsInside = -1;
        mHeard.steps.push_back([] {
            InputDriver::Post(InputDriver::Make(display::InputKind::Quit));
            InputDriver::Post(InputDriver::Make(display::InputKind::Quit));
        });
        mHeard.steps.push_back([&] { quitsInside = mHeard.quits; });
        RunModal();
        EXPECT_EQ(quitsInside, 0);
        EXPECT_EQ(mHeard.quits, 0) << "held until the loop has returned";
        Run();
        EXPECT_EQ(mHeard.quits, 1) << "asked once, after the loop";

        InputDriver::Post(InputDriver::Make(display::InputKind::Quit));
        Run();
        EXPECT_EQ(mHeard.quits, 2) << "with no modal loop a quit goes straight through";
    }

    TEST_F(ModalLoopInput, AQuitFromTheWindowSystemClosesAnOpenMenuAndThenQuits)
    {
        MenuRef menu = nullptr;
        ASSERT_EQ(CreateNewMenu(300, 0, &menu), noErr);
        AppendMenuItemTextWithCFString(menu, CFSTR("Show"), 0, 'show', nullptr);
        static bool sRescued = false;
        sRescued = false;
        EventLoopTimerRef quit = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.1, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                InputDriver::Post(InputDriver::Make(display::InputKind::Quit));
            },
            nullptr, &quit);
        // Should the quit leave the menu open, Escape ends it a second later and the test fails.
        EventLoopTimerRef rescue = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 1.1, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                if (toolbox::MenuBar::Open().empty())
                    return;
                sRescued = true;
                InputDriver::Key(53, 27);
            },
            nullptr, &rescue);
        UInt32 type = 0;
        MenuID id = 0;
        MenuItemIndex item = 0;
        EXPECT_EQ(ContextualMenuSelect(menu, Point { 300, 300 }, false, 0, nullptr, nullptr, &type, &id, &item),
            userCanceledErr);
        int const quitsWhileOpen = mHeard.quits;
        EXPECT_EQ(type, kCMNothingSelected);
        EXPECT_FALSE(sRescued) << "the quit left the menu open";
        EXPECT_EQ(quitsWhileOpen, 0) << "the quit ran inside the menu's tracking";
        Run(1.2);
        EXPECT_EQ(mHeard.quits, 1) << "asked once, after the menu closed";
        ReleaseMenu(menu);
    }

} // namespace
} // namespace tw::test
