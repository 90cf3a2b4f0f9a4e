#include "ControlTest.h"
#include "toolbox/HelpTags.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Window.h"
#include "toolbox/tests/DataBrowserTestSource.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/Theme.h"
#include "toolbox/View.h"
#include "toolbox/WindowMenu.h"
#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/tests/ToolbarTestDelegate.h"
#include "toolbox/toolbar/Toolbar.h"
#include "toolbox/toolbar/ToolbarCustomize.h"
#include "toolbox/toolbar/ToolbarItem.h"
#include "toolbox/toolbar/ToolbarStrip.h"

#include <cstdlib>
#include <functional>
#include <numeric>
#include <tuple>

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
        InputDriver::TypeKeys("Oslo");
        InputDriver::Key(display::kVK_Delete, display::kBackspaceCharCode);
        InputDriver::TypeKeys("a");
        Run();
        EXPECT_EQ(SearchText(), "Osla") << "each key types once, though its text follows it";
        EXPECT_EQ(changed.count, 6);
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
        EXPECT_EQ(changed.count, 7);
        // Text from an input method, with no key of its own, is typed too.
        Type("Åre");
        Run();
        EXPECT_EQ(SearchText(), "Åre");
    }

    // An Edit menu in the menu bar: Ctrl+A, X, C and V are its items' keys.
    class EditMenu {
    public:
        EditMenu()
        {
            CreateNewMenu(1, 0, &mRoot);
            CreateNewMenu(2, 0, &mEdit);
            SetMenuTitleWithCFString(mEdit, CFSTR("Edit"));
            for (auto [name, command, key] : { std::tuple { CFSTR("Cut"), kHICommandCut, 'X' },
                     { CFSTR("Copy"), kHICommandCopy, 'C' }, { CFSTR("Paste"), kHICommandPaste, 'V' },
                     { CFSTR("Select All"), kHICommandSelectAll, 'A' } }) {
                AppendMenuItemTextWithCFString(mEdit, name, 0, command, nullptr);
                SetMenuItemCommandKey(mEdit, CountMenuItems(mEdit), false, UInt16(key));
            }
            AppendMenuItemTextWithCFString(mRoot, CFSTR("Edit"), 0, 0, nullptr);
            SetMenuItemHierarchicalMenu(mRoot, 1, mEdit);
            SetRootMenu(mRoot);
        }
        ~EditMenu()
        {
            toolbox::MenuBar::Reset();
            ReleaseMenu(mEdit);
            ReleaseMenu(mRoot);
        }
        // The item's state after the status pass a menu gets before it opens.
        bool Enabled(MenuCommand command)
        {
            MenuRef menu = nullptr;
            MenuItemIndex item = 0;
            GetIndMenuItemWithCommandID(mEdit, command, 1, &menu, &item);
            mEdit->UpdateStatus();
            return IsMenuItemEnabled(menu, item);
        }
        void Choose(MenuCommand command)
        {
            MenuRef menu = nullptr;
            MenuItemIndex item = 0;
            GetIndMenuItemWithCommandID(mEdit, command, 1, &menu, &item);
            if (Enabled(command))
                toolbox::MenuBar::SendCommand(menu, item, 0);
        }

    private:
        MenuRef mRoot = nullptr;
        MenuRef mEdit = nullptr;
    };

    TEST_F(ToolbarInput, TheSearchFieldSelectsAllCutsCopiesAndPastesByKeyAndMenu)
    {
        EditMenu edit;
        InputDriver::Click(Centre(mDelegate->searchField));
        Run();
        InputDriver::TypeKeys("Bergen");
        // Ctrl+A selects the text, Ctrl+C copies it, and typing replaces it.
        InputDriver::Key(display::kVK_ANSI_A, 'a', cmdKey);
        InputDriver::Key(8, 'c', cmdKey);
        InputDriver::TypeKeys("To");
        Run();
        EXPECT_EQ(SearchText(), "To");
        // Ctrl+V pastes what was copied.
        InputDriver::Key(9, 'v', cmdKey);
        Run();
        EXPECT_EQ(SearchText(), "ToBergen");
        // The Edit menu's items, with their status, act on the field too.
        EXPECT_TRUE(edit.Enabled(kHICommandPaste)) << "text is on the clipboard";
        EXPECT_FALSE(edit.Enabled(kHICommandCopy)) << "nothing is selected";
        edit.Choose(kHICommandSelectAll);
        EXPECT_TRUE(edit.Enabled(kHICommandCut));
        edit.Choose(kHICommandCut);
        Run();
        EXPECT_EQ(SearchText(), "");
        EXPECT_FALSE(edit.Enabled(kHICommandSelectAll)) << "no text to select";
        edit.Choose(kHICommandPaste);
        edit.Choose(kHICommandPaste);
        Run();
        EXPECT_EQ(SearchText(), "ToBergenToBergen");
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

namespace tw::test {

namespace {

    // The toolbar of the input tests, customised by the user: items allowed besides the default set.
    class ToolbarCustomizing : public ToolbarInput {
    protected:
        void SetUp() override
        {
            ToolbarInput::SetUp();
            mDelegate->allowed = { "open", "save", "print", "search", kHIToolbarSeparatorIdentifier,
                kHIToolbarFlexibleSpaceIdentifier };
            Run();
        }
        toolbox::toolbar::Toolbar* Bar() { return toolbox::toolbar::Toolbar::From(mToolbar); }
        std::vector<std::string> Identifiers()
        {
            std::vector<std::string> ids;
            for (toolbox::toolbar::ToolbarItem* item : Bar()->GetItems())
                ids.push_back(item->GetIdentifier());
            return ids;
        }
        static CGPoint Global(toolbox::View* view, CGPoint p)
        {
            CGPoint const inWindow = view->ToWindow(p);
            CGPoint const origin = view->GetWindow()->GetStructure().origin;
            return { inWindow.x + origin.x, inWindow.y + origin.y };
        }
        // The middle of the strip's slot of the item with that identifier, globally.
        CGPoint Slot(std::string const& identifier)
        {
            toolbox::View* strip = Bar()->GetStrip();
            for (auto const& slot : toolbox::toolbar::ToolbarStrip::Find(strip)->Layout())
                if (slot.item->GetIdentifier() == identifier)
                    return Global(strip, { CGRectGetMidX(slot.frame), CGRectGetMidY(slot.frame) });
            ADD_FAILURE() << identifier << " is not in the strip";
            return {};
        }
        // A view of the sheet by its part: 'alwd' the allowed items, 'dflt' the default set.
        toolbox::View* SheetView(OSType part)
        {
            toolbox::Window* sheet = toolbox::toolbar::GetCustomizeSheet(Bar());
            if (!sheet)
                return nullptr;
            for (toolbox::View* view : sheet->GetContentView()->GetChildren()) {
                void* behaviour = nullptr;
                if (view->GetProperty('twtb', part, sizeof behaviour, nullptr, &behaviour) == noErr)
                    return view;
            }
            return nullptr;
        }
        // The middle of the n-th allowed item in the sheet, globally.
        CGPoint Allowed(int n)
        {
            toolbox::View* palette = SheetView('alwd');
            int const columns = int(palette->GetBounds().size.width / 84);
            return Global(palette, { (n % columns) * 84.0 + 42, (n / columns) * 64.0 + 20 });
        }
        // Once the loop has run for delay, hands the deepest open menu (null when none) to step.
        static void WhenMenuOpens(EventTime delay, std::function<void(toolbox::OpenMenu const*)> step)
        {
            static std::function<void(toolbox::OpenMenu const*)> sStep;
            sStep = std::move(step);
            EventLoopTimerRef timer = nullptr;
            InstallEventLoopTimer(
                GetMainEventLoop(), delay, 0,
                [](EventLoopTimerRef t, void*) {
                    RemoveEventLoopTimer(t);
                    std::vector<toolbox::OpenMenu> const& open = toolbox::MenuBar::Open();
                    sStep(open.empty() ? nullptr : &open.back());
                },
                nullptr, &timer);
        }
        // The middle of an open menu's item, globally.
        static CGPoint ItemPoint(toolbox::OpenMenu const& menu, MenuItemIndex item)
        {
            CGFloat y = menu.frame.origin.y + 4;
            for (MenuItemIndex i = 1; i < item; ++i)
                y += menu.menu->Item(i)->IsSeparator() ? toolbox::Theme::kMenuSeparatorHeight
                                                       : toolbox::Theme::kMenuItemHeight;
            return { CGRectGetMidX(menu.frame), y + toolbox::Theme::kMenuItemHeight / 2 };
        }
        void Customize()
        {
            // As Window ▸ Customize Toolbar… sends it: the application's window commands answer.
            toolbox::WindowMenu::EnsureStandardHandler();
            toolbox::dialogs::SendCommand(GetApplicationEventTarget(), kHICommandCustomizeToolbar);
            Run(0.5);
        }
    };

    TEST_F(ToolbarCustomizing, TheCommandOpensTheSheetOnlyForAConfigurableToolbar)
    {
        EXPECT_TRUE(toolbox::toolbar::CanCustomize(mWindow));
        Customize();
        ASSERT_NE(toolbox::toolbar::GetCustomizeSheet(Bar()), nullptr) << "the sheet is open";
        EXPECT_EQ(mWindow->GetSheet(), toolbox::toolbar::GetCustomizeSheet(Bar()));
        EXPECT_FALSE(toolbox::toolbar::CanCustomize(mWindow)) << "once at a time";
        // While customising, a click on an item performs nothing.
        InputDriver::Click(Slot("open"));
        Run();
        EXPECT_TRUE(mCommands.empty());
        // Done ends it; clicks perform again.
        InputDriver::Key(36, '\r');
        Run(0.5);
        EXPECT_EQ(toolbox::toolbar::GetCustomizeSheet(Bar()), nullptr);
        EXPECT_EQ(mWindow->GetSheet(), nullptr);
        InputDriver::Click(Slot("open"));
        Run();
        EXPECT_EQ(mCommands.size(), 1u);

        // A toolbar made without the configurable attribute is not offered.
        HIToolbarRef fixed = nullptr;
        ASSERT_EQ(HIToolbarCreate(CFSTR("com.tarnwick.test.fixed"), 0, &fixed), noErr);
        SetWindowToolbar(mWindow, fixed);
        ShowHideWindowToolbar(mWindow, true, false);
        EXPECT_FALSE(toolbox::toolbar::CanCustomize(mWindow));
        EXPECT_NE(toolbox::toolbar::BeginCustomize(mWindow), noErr);
        CFRelease(fixed);
    }

    TEST_F(ToolbarCustomizing, ItemsAreAddedMovedAndRemovedByDraggingAndTheDefaultSetComesBack)
    {
        std::vector<std::string> const defaults = Identifiers();
        ASSERT_EQ(defaults,
            (std::vector<std::string> {
                "open", kHIToolbarSeparatorIdentifier, "save", kHIToolbarFlexibleSpaceIdentifier, "search" }));
        Customize();
        ASSERT_NE(SheetView('alwd'), nullptr);
        // "print" (the third allowed) dropped on the left half of "save" goes before it.
        CGPoint const save = Slot("save");
        InputDriver::Drag(Allowed(2), { save.x - 8, save.y });
        Run();
        EXPECT_EQ(Identifiers(), (std::vector<std::string> { "open", kHIToolbarSeparatorIdentifier, "print", "save",
                                     kHIToolbarFlexibleSpaceIdentifier, "search" }));
        // An item the toolbar has already is not added twice.
        InputDriver::Drag(Allowed(0), Slot("print"));
        Run();
        EXPECT_EQ(Identifiers().size(), 6u);
        // "open" dragged past "save" moves there.
        CGPoint const after = Slot("save");
        InputDriver::Drag(Slot("open"), { after.x + 10, after.y });
        Run();
        EXPECT_EQ(Identifiers(), (std::vector<std::string> { kHIToolbarSeparatorIdentifier, "print", "save", "open",
                                     kHIToolbarFlexibleSpaceIdentifier, "search" }));
        // The separator dragged out of the toolbar, down into the sheet, goes.
        InputDriver::Drag(Slot(kHIToolbarSeparatorIdentifier), Allowed(1));
        Run();
        EXPECT_EQ(Identifiers(),
            (std::vector<std::string> { "print", "save", "open", kHIToolbarFlexibleSpaceIdentifier, "search" }));
        // The default set dragged into the toolbar puts it back as it was.
        toolbox::View* defaultSet = SheetView('dflt');
        ASSERT_NE(defaultSet, nullptr);
        CGRect const bounds = defaultSet->GetBounds();
        InputDriver::Drag(Global(defaultSet, { 30, CGRectGetMidY(bounds) }), Slot("save"));
        Run();
        EXPECT_EQ(Identifiers(), defaults);
        InputDriver::Key(36, '\r');
        Run(0.5);
    }

    TEST_F(ToolbarCustomizing, TheToolbarsMenuCustomisesAndChoosesIconsTextOrBoth)
    {
        double const full = Bar()->GetHeight();
        auto choose = [&](MenuItemIndex item) {
            InputDriver::MouseDown(Slot("save"), 0, 2);
            WhenMenuOpens(0.1, [item](toolbox::OpenMenu const* menu) {
                ASSERT_NE(menu, nullptr) << "the toolbar's menu did not open";
                InputDriver::MouseMove(ItemPoint(*menu, item));
                InputDriver::MouseUp(ItemPoint(*menu, item), 0, 2);
            });
            Run(0.5);
        };
        double const top = mWindow->GetContentTop();
        choose(4); // Icon Only
        EXPECT_EQ(Bar()->GetDisplayMode(), kHIToolbarDisplayModeIconOnly);
        EXPECT_LT(Bar()->GetHeight(), full);
        EXPECT_EQ(mWindow->GetContentTop(), top - (full - Bar()->GetHeight())) << "the content follows the strip";
        choose(5); // Text Only
        EXPECT_EQ(Bar()->GetDisplayMode(), kHIToolbarDisplayModeLabelOnly);
        choose(3); // Icon & Text
        EXPECT_EQ(Bar()->GetDisplayMode(), kHIToolbarDisplayModeIconAndLabel);
        choose(1); // Customize Toolbar…
        EXPECT_NE(toolbox::toolbar::GetCustomizeSheet(Bar()), nullptr);
        // The sheet's own menu of modes does the same.
        toolbox::Window* sheet = toolbox::toolbar::GetCustomizeSheet(Bar());
        ControlID const id { 'tbdm', 0 };
        ControlRef popup = nullptr;
        ASSERT_EQ(GetControlByID(sheet, &id, &popup), noErr);
        SetControl32BitValue(popup, 3);
        toolbox::dialogs::SendCommand(GetWindowEventTarget(sheet), 'tbdm');
        EXPECT_EQ(Bar()->GetDisplayMode(), kHIToolbarDisplayModeLabelOnly);
        InputDriver::Key(53, 27); // Escape is Done too
        Run(0.5);
        EXPECT_EQ(toolbox::toolbar::GetCustomizeSheet(Bar()), nullptr);
    }

    // A click as quick as a keyboard-driven mouse makes is released before the menu opens:
    // the menu stays open for the next click, which chooses.
    TEST_F(ToolbarCustomizing, AQuickSecondaryClickLeavesTheToolbarsMenuOpen)
    {
        bool opened = false;
        InputDriver::MouseDown(Slot("save"), 0, 2);
        InputDriver::MouseUp(Slot("save"), 0, 2);
        WhenMenuOpens(0.2, [&opened](toolbox::OpenMenu const* menu) {
            opened = menu != nullptr;
            if (!menu)
                return;
            CGPoint const at = ItemPoint(*menu, 4); // Icon Only
            InputDriver::MouseMove(at);
            InputDriver::MouseDown(at);
            InputDriver::MouseUp(at);
        });
        Run(0.6);
        EXPECT_TRUE(opened) << "the quick click's release closed the menu";
        EXPECT_EQ(Bar()->GetDisplayMode(), kHIToolbarDisplayModeIconOnly);
    }

    // Items without room go behind a chevron at the strip's right end, buttons before the search
    // field; its menu performs a button and brings the search field back, ready for typing.
    TEST_F(ToolbarCustomizing, ItemsWithoutRoomAreReachedThroughTheChevron)
    {
        toolbox::View* strip = Bar()->GetStrip();
        auto* behaviour = toolbox::toolbar::ToolbarStrip::Find(strip);
        EXPECT_TRUE(CGRectIsEmpty(behaviour->ChevronFrame())) << "everything fits the wide window";
        auto const narrow = [&](short width) {
            Rect bounds {};
            GetWindowBounds(mWindow, kWindowContentRgn, &bounds);
            bounds.right = short(bounds.left + width);
            SetWindowBounds(mWindow, kWindowContentRgn, &bounds);
            Run(0.2);
        };
        auto const hidden = [&] {
            std::vector<std::string> ids;
            for (toolbox::toolbar::ToolbarItem* item : behaviour->HiddenItems())
                ids.push_back(item->GetIdentifier());
            return ids;
        };
        auto const chooseFromChevron = [&](std::vector<std::string> expected, MenuItemIndex item) {
            CGRect const chevron = behaviour->ChevronFrame();
            InputDriver::MouseDown(Global(strip, { CGRectGetMidX(chevron), CGRectGetMidY(chevron) }));
            WhenMenuOpens(0.1, [expected, item](toolbox::OpenMenu const* menu) {
                ASSERT_NE(menu, nullptr) << "the chevron's menu did not open";
                std::vector<std::string> titles;
                for (MenuItemIndex i = 1; i <= CountMenuItems(menu->menu); ++i) {
                    CFStringRef title = nullptr;
                    CopyMenuItemTextAsCFString(menu->menu, i, &title);
                    titles.push_back(cf::ToUTF8(title));
                    CFRelease(title);
                }
                EXPECT_EQ(titles, expected);
                InputDriver::MouseMove(ItemPoint(*menu, item));
                InputDriver::MouseUp(ItemPoint(*menu, item));
            });
            Run(0.5);
        };

        // Room for the search field and one button: the search field stays, the buttons go.
        narrow(230);
        EXPECT_FALSE(CGRectIsEmpty(behaviour->ChevronFrame()));
        EXPECT_EQ(hidden(), (std::vector<std::string> { "save", kHIToolbarFlexibleSpaceIdentifier }));
        ASSERT_NE(mDelegate->searchField, nullptr);
        EXPECT_TRUE(mDelegate->searchField->IsVisible());

        // Too narrow for the field: it goes behind the chevron too, and nothing lies over it.
        narrow(100);
        CGRect const chevron = behaviour->ChevronFrame();
        ASSERT_FALSE(CGRectIsEmpty(chevron));
        EXPECT_LE(CGRectGetMaxX(chevron), CGRectGetMaxX(strip->GetBounds()));
        for (auto const& slot : behaviour->Layout())
            EXPECT_LE(CGRectGetMaxX(slot.frame), chevron.origin.x) << slot.item->GetIdentifier() << " under the chevron";
        EXPECT_FALSE(mDelegate->searchField->IsVisible());
        // The menu lists the hidden buttons and the search field (not the spaces); Save performs.
        chooseFromChevron({ "save", "Search" }, 1);
        EXPECT_EQ(mCommands, (std::vector<MenuCommand> { 'scmd' }));
        // Search brings the field into the strip, before the chevron, with the keyboard focus.
        chooseFromChevron({ "save", "Search" }, 2);
        EXPECT_TRUE(mDelegate->searchField->IsVisible());
        CGRect const field = mDelegate->searchField->GetFrame();
        EXPECT_GE(field.origin.x, 0);
        EXPECT_LE(CGRectGetMaxX(field), behaviour->ChevronFrame().origin.x);
        ControlRef focus = nullptr;
        GetKeyboardFocus(mWindow, &focus);
        EXPECT_EQ(focus, mDelegate->searchField);
        InputDriver::TypeKeys("lake");
        Run();
        EXPECT_EQ(SearchText(), "lake");
    }

    // Text only: the strip is low, and the search field sits in its middle, not hanging out below.
    TEST_F(ToolbarCustomizing, TextOnlyKeepsTheSearchFieldInsideTheStrip)
    {
        Bar()->SetDisplayMode(kHIToolbarDisplayModeLabelOnly);
        Run(0.2);
        toolbox::View* strip = Bar()->GetStrip();
        ASSERT_NE(mDelegate->searchField, nullptr);
        toolbox::View* field = mDelegate->searchField;
        EXPECT_TRUE(field->IsVisible());
        CGRect const frame = field->GetFrame();
        CGRect const b = strip->GetBounds();
        EXPECT_GE(frame.origin.y, b.origin.y);
        EXPECT_LE(CGRectGetMaxY(frame), CGRectGetMaxY(b));
        EXPECT_NEAR(CGRectGetMidY(frame), CGRectGetMidY(b), 1.0);
    }

} // namespace

} // namespace tw::test
