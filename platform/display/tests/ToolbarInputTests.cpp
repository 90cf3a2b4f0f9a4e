#include "ControlTest.h"
#include "toolbox/HelpTags.h"
#include "toolbox/Window.h"
#include "toolbox/tests/DataBrowserTestSource.h"
#include "toolbox/tests/ToolbarTestDelegate.h"

#include <cstdlib>
#include <numeric>

namespace tw::test {

namespace {

    // A document window with a toolbar: two image items around a separator, a
    // flexible space and a search field.
    class ToolbarInput : public ControlTest {
    protected:
        void SetUp() override
        {
            ControlTest::SetUp();
            ASSERT_EQ(HIToolbarCreate(CFSTR("com.tarnwick.test.toolbar"), kHIToolbarIsConfigurable, &mToolbar), noErr);
            mDelegate = std::make_unique<ToolbarDelegate>(mToolbar,
                std::vector<std::string> {
                    "open", kHIToolbarSeparatorIdentifier, "save", kHIToolbarFlexibleSpaceIdentifier, "search" });
            SetWindowToolbar(mWindow, mToolbar);
            ShowHideWindowToolbar(mWindow, true, false);
            EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
            InstallEventHandler(GetWindowEventTarget(mWindow), Commands, 1, &command, &mCommands, nullptr);
        }
        void TearDown() override
        {
            mDelegate.reset();
            CFRelease(mToolbar);
            ControlTest::TearDown();
        }

        static OSStatus Commands(EventHandlerCallRef, EventRef event, void* data)
        {
            HICommandExtended command {};
            GetEventParameter(
                event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
            static_cast<std::vector<MenuCommand>*>(data)->push_back(command.commandID);
            return noErr;
        }
        HIToolbarItemRef Item(CFIndex index)
        {
            CFArrayRef items = nullptr;
            HIToolbarCopyItems(mToolbar, &items);
            auto item = HIToolbarItemRef(CFArrayGetValueAtIndex(items, index));
            CFRelease(items);
            return item;
        }
        // The centre of a toolbar item's icon, globally: items start at the strip's left margin.
        CGPoint Icon(int index)
        {
            Rect structure {};
            GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
            double const x = 8 + 20 + index * (40 + 4) + (index > 1 ? 12 + 4 - 44 : 0);
            return { structure.left + x, structure.top + mWindow->GetTitleBarHeight() + 21 };
        }
        std::string SearchText()
        {
            CFStringRef text = nullptr;
            GetControlData(
                mDelegate->searchField, kControlEditTextPart, kControlEditTextCFStringTag, sizeof text, &text, nullptr);
            std::string const utf8 = cf::ToUTF8(text);
            if (text)
                CFRelease(text);
            return utf8;
        }

        HIToolbarRef mToolbar = nullptr;
        std::unique_ptr<ToolbarDelegate> mDelegate;
        std::vector<MenuCommand> mCommands;
    };

    TEST_F(ToolbarInput, AClickedItemSendsItsCommandToTheWindowUnlessDisabled)
    {
        InputDriver::Click(Icon(0));
        Run();
        EXPECT_EQ(mCommands, (std::vector<MenuCommand> { 'ocmd' }));
        InputDriver::Click(Icon(2));
        Run(1.0);
        EXPECT_EQ(mCommands, (std::vector<MenuCommand> { 'ocmd', 'scmd' }));
        // Released away from the item: nothing.
        InputDriver::Drag(Icon(0), { Icon(0).x + 200, Icon(0).y });
        Run(1.0);
        EXPECT_EQ(mCommands.size(), 2u);
        HIToolbarItemSetEnabled(Item(0), false);
        InputDriver::Click(Icon(0));
        Run(1.0);
        EXPECT_EQ(mCommands.size(), 2u);
        // The separator is no button.
        InputDriver::Click({ Icon(0).x + 30, Icon(0).y });
        Run(1.0);
        EXPECT_EQ(mCommands.size(), 2u);
    }

    TEST_F(ToolbarInput, RestingOnAnItemShowsItsHelpTag)
    {
        InputDriver::MouseMove(Icon(2));
        Run(1.0);
        EXPECT_EQ(cf::ToUTF8(toolbox::HelpTags::ShowingText()), "Help for save");
        InputDriver::MouseMove({ Icon(2).x + 200, Icon(2).y });
        Run(1.0);
        EXPECT_EQ(toolbox::HelpTags::ShowingText(), nullptr);
    }

    TEST_F(ToolbarInput, TheSearchFieldTypesAcceptsAndCancels)
    {
        ASSERT_NE(mDelegate->searchField, nullptr);
        EventCounter changed(GetControlEventTarget(mDelegate->searchField), kEventClassTextField, kEventTextDidChange);
        EventCounter accepted(GetControlEventTarget(mDelegate->searchField), kEventClassTextField, kEventTextAccepted);
        EventCounter cancelled(
            GetControlEventTarget(mDelegate->searchField), kEventClassSearchField, kEventSearchFieldCancelClicked);
        InputDriver::Click(Centre(mDelegate->searchField));
        Run();
        Type("Oslo");
        InputDriver::Key(display::kVK_Delete, display::kBackspaceCharCode);
        InputDriver::Key(display::kVK_ANSI_A, 'a');
        Run();
        EXPECT_EQ(SearchText(), "Osla");
        EXPECT_EQ(changed.count, 3);
        PixelProbe const typed = ProbeScreen();
        if (char const* dir = std::getenv("TW_SHOT_DIR")) {
            std::string const path = std::string(dir) + "/search-field-typed.png";
            cairo_surface_write_to_png(display::WindowServer::Get().GetScreen(), path.c_str());
        }
        // The text is drawn dark inside the field, right of the search icon.
        HIRect field {};
        HIViewGetBounds(mDelegate->searchField, &field);
        CGPoint const from = Global(mDelegate->searchField, { 20, 3 });
        EXPECT_TRUE(typed.Any({ int(from.x), int(from.y), int(from.x) + 30, int(from.y) + 13 },
            [](Pixel p) { return p.r < 90 && p.g < 90 && p.b < 90; }));
        InputDriver::Key(display::kVK_Return, display::kReturnCharCode);
        Run();
        EXPECT_EQ(accepted.count, 1);
        EXPECT_EQ(SearchText(), "Osla");
        // The cancel button sits at the right end while there is text.
        HIRect b {};
        HIViewGetBounds(mDelegate->searchField, &b);
        InputDriver::Click(Global(mDelegate->searchField, { CGRectGetMaxX(b) - 8, CGRectGetMidY(b) }));
        Run(1.0);
        EXPECT_EQ(SearchText(), "");
        EXPECT_EQ(cancelled.count, 1);
        EXPECT_EQ(changed.count, 4);
    }

    TEST_F(ToolbarInput, AWindowWithAListAndAToolbarLooksRight)
    {
        ControlRef browser = nullptr;
        Rect const bounds { 0, 0, 320, 460 };
        ASSERT_EQ(CreateDataBrowserControl(mWindow, &bounds, kDataBrowserListView, &browser), noErr);
        DataBrowserListViewColumnDesc done = Column(TestSource::kDone, kDataBrowserCheckboxType, CFSTR(""), 24,
            kDataBrowserPropertyIsMutable, kDataBrowserOrderIncreasing);
        DataBrowserListViewColumnDesc name = Column(TestSource::kName, kDataBrowserTextType, CFSTR("Name"), 160,
            kDataBrowserListViewSortableColumn, kDataBrowserOrderIncreasing);
        AddDataBrowserListViewColumn(browser, &done, kDataBrowserListViewAppendColumn);
        AddDataBrowserListViewColumn(browser, &name, kDataBrowserListViewAppendColumn);
        DataBrowserChangeAttributes(browser, kDataBrowserAttributeListViewAlternatingRowColors, 0);
        SetDataBrowserHasScrollBars(browser, true, true);
        TestSource source;
        source.Install(browser);
        source.checked = { 2, 5 };
        std::vector<DataBrowserItemID> items(40);
        std::iota(items.begin(), items.end(), DataBrowserItemID { 1 });
        AddDataBrowserItems(browser, kDataBrowserNoItem, UInt32(items.size()), items.data(), 0);
        DataBrowserItemID const selected = 3;
        SetDataBrowserSelectedItems(browser, 1, &selected, kDataBrowserItemsAssign);
        SetDataBrowserSortProperty(browser, TestSource::kName);
        PixelProbe const screen = ProbeScreen();
        if (char const* dir = std::getenv("TW_SHOT_DIR")) {
            std::string const path = std::string(dir) + "/window-list-toolbar.png";
            cairo_surface_write_to_png(display::WindowServer::Get().GetScreen(), path.c_str());
        }
        // The toolbar's red icons lie between the title bar and the list's header.
        Rect structure {};
        GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
        int const stripTop = structure.top + int(mWindow->GetTitleBarHeight());
        int const stripBottom = stripTop + int(mWindow->GetToolbarHeight());
        auto const red = screen.Bounds([](Pixel p) { return p.r > 200 && p.g < 60 && p.b < 60; });
        ASSERT_TRUE(red.has_value());
        EXPECT_GE(red->top, stripTop);
        EXPECT_LE(red->bottom, stripBottom);
        // The list starts right below the strip; its selected third row is drawn in the accent colour.
        CGPoint const row = Global(browser, { 200, 18 + 2.5 * 18 });
        Pixel const p = screen.At(int(row.x), int(row.y));
        EXPECT_TRUE(p.b > 150 && p.r < 150) << int(p.r) << "," << int(p.g) << "," << int(p.b);
        EXPECT_GE(Global(browser, { 0, 0 }).y, stripBottom);
        TestSource::Current() = nullptr;
        DataBrowserCallbacks const none;
        SetDataBrowserCallbacks(browser, &none);
    }

} // namespace

} // namespace tw::test
