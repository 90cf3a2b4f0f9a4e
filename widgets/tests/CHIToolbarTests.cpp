#include "WidgetTest.h"
#include "foundation/CFile.h"
#include "framework/CCarbonEvent.h"
#include "framework/CMacWindow.h"
#include "tests/support/TestSupport.h"
#include "toolbox/toolbar/ToolbarCalls.h"
#include "widgets/CHISearchField.h"
#include "widgets/CHIToolbar.h"
#include "widgets/CHIToolbarItem.h"

#include <cairo.h>
#include <string>
#include <vector>

namespace tw::test {

namespace {

    std::string WritePNG(char const* name)
    {
        std::string const path = (TestHome() / name).string();
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 32);
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 0.2, 0.6, 0.2);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_write_to_png(surface, path.c_str());
        cairo_surface_destroy(surface);
        return path;
    }

    CHIView* MakeSearch(CHIToolbarItem const*)
    {
        return new CHISearchField(CGRectMake(0, 0, 100, 19), 2, nullptr, CString());
    }

    // A toolbar with two image items (one image missing), a search item and the standard items.
    class TestToolbar : public CHIToolbar {
    public:
        OSStatus CreateToolbar(HIObjectRef& ref) override
        {
            std::string const png = WritePNG("Open.png");
            AddItem(0, CString("com.tarnwick.test.open"), CString("Open"), 'open', CFile(CString(png.c_str())), true);
            AddItem(0, CString("com.tarnwick.test.lost"), CString("Lost"), 'lost',
                CFile(CString((TestHome() / "Missing.png").c_str())), true);
            CHIToolbarItemData search;
            search.mIdentifier = "com.tarnwick.test.search";
            search.mLabel = "Search";
            search.mViewCreator = MakeSearch;
            search.mInDefaultSet = true;
            AddItem(search);
            return CHIToolbar::CreateToolbar(ref);
        }
    };

    std::vector<std::string> Identifiers(std::vector<CHIToolbarItem*> const& items)
    {
        std::vector<std::string> ids;
        for (CHIToolbarItem* item : items) {
            CFStringRef id = nullptr;
            HIToolbarItemCopyIdentifier(item->GetHIToolbarItemRef(false), &id);
            ids.push_back(CString(id, true).GetStdString());
        }
        return ids;
    }

    class ToolbarWrapper : public WidgetTest { };

    TEST_F(ToolbarWrapper, TheDescriptionsAnswerTheIdentifierRequests)
    {
        CHIToolbar toolbar;
        HIObjectRef ref = nullptr;
        ASSERT_EQ(toolbar.CreateToolbar(ref), noErr);
        std::vector<std::string> ids;
        for (CHIToolbarItemData const& item : toolbar.GetItemData())
            ids.push_back(item.mIdentifier.GetStdString() + (item.mInDefaultSet ? "+" : "-"));
        EXPECT_EQ(ids,
            (std::vector<std::string> { "com.apple.hitoolbox.toolbar.flexiblespace+",
                "com.apple.hitoolbox.toolbar.customize-", "com.apple.hitoolbox.toolbar.separator+",
                "com.apple.hitoolbox.toolbar.print-", "com.apple.hitoolbox.toolbar.fonts-" }));
        EXPECT_EQ(toolbar.GetItemData()[2].mOptions, 9u);
        // Default identifiers: the default set only, in list order.
        CCarbonEvent request(kEventClassToolbar, kEventToolbarGetDefaultIdentifiers);
        CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
        request.SetParameter(kEventParamMutableArray, typeCFMutableArrayRef, sizeof array, &array);
        EXPECT_EQ(toolbar.DoEventToolbarGetDefaultIdentifiers(request), noErr);
        ASSERT_EQ(CFArrayGetCount(array), 2);
        EXPECT_EQ(
            CString(CFStringRef(CFArrayGetValueAtIndex(array, 1)), false), CString(kHIToolbarSeparatorIdentifier));
        CFRelease(array);
        // Identifiers match without regard to case; standard items are the toolbox's; unknown ones are not answered.
        toolbar.DoAddItem(0, CString("com.tarnwick.Test.Open"), CString("Open"), 'open', nullptr, nullptr, true, false);
        CCarbonEvent create(kEventClassToolbar, kEventToolbarCreateItemWithIdentifier);
        CFStringRef wanted = CFSTR("COM.TARNWICK.TEST.OPEN");
        create.SetParameter(kEventParamToolbarItemIdentifier, typeCFStringRef, sizeof wanted, &wanted);
        ASSERT_EQ(toolbar.DoEventToolbarCreateItemWithIdentifier(create), noErr);
        HIToolbarItemRef item = nullptr;
        create.GetParameter(kEventParamToolbarItem, typeHIToolbarItemRef, sizeof item, &item);
        ASSERT_NE(item, nullptr);
        MenuCommand command = 0;
        HIToolbarItemGetCommandID(item, &command);
        EXPECT_EQ(command, MenuCommand('open'));
        CFRelease(item); // the item goes with its wrapper
        CCarbonEvent separator(kEventClassToolbar, kEventToolbarCreateItemWithIdentifier);
        CFStringRef standard = CFSTR(kHIToolbarSeparatorIdentifier);
        separator.SetParameter(kEventParamToolbarItemIdentifier, typeCFStringRef, sizeof standard, &standard);
        EXPECT_EQ(toolbar.DoEventToolbarCreateItemWithIdentifier(separator), noErr);
        CCarbonEvent unknown(kEventClassToolbar, kEventToolbarCreateItemWithIdentifier);
        CFStringRef nobody = CFSTR("com.tarnwick.nobody");
        unknown.SetParameter(kEventParamToolbarItemIdentifier, typeCFStringRef, sizeof nobody, &nobody);
        EXPECT_EQ(toolbar.DoEventToolbarCreateItemWithIdentifier(unknown), eventNotHandledErr);
        CFRelease(ref);
    }

    TEST_F(ToolbarWrapper, InstallingShowsTheItemsAndTheSearchField)
    {
        auto* window = new CMacWindow(mWindow);
        auto* toolbar = new TestToolbar;
        ASSERT_EQ(toolbar->Install(window), noErr);
        EXPECT_TRUE(toolbar->IsVisible());
        EXPECT_EQ(window->GetToolbar(), toolbar);
        WindowAttributes attributes = 0;
        GetWindowAttributes(mWindow, &attributes);
        EXPECT_TRUE(attributes & kWindowToolbarButtonAttribute);
        std::vector<CHIToolbarItem*> const items = toolbar->GetItems();
        EXPECT_EQ(Identifiers(items),
            (std::vector<std::string> { "com.tarnwick.test.open", "com.tarnwick.test.search",
                kHIToolbarFlexibleSpaceIdentifier, kHIToolbarSeparatorIdentifier }));
        CHIToolbarItem* open = toolbar->GetHIToolbarItem('open');
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(open, items[0]);
        EXPECT_EQ(open->GetHIToolbar(), toolbar);
        EXPECT_EQ(toolbar->GetHIToolbarItem('lost'), nullptr);
        open->SetEnabled(false);
        EXPECT_FALSE(HIToolbarItemIsEnabled(open->GetHIToolbarItemRef(false)));
        // The search item's view is a search field wrapper.
        HIViewRef view = HIToolbarItemGetView(items[1]->GetHIToolbarItemRef(false));
        ASSERT_NE(view, nullptr);
        EXPECT_NE(dynamic_cast<CHISearchField*>(CHIObject::GetHIObject(reinterpret_cast<HIObjectRef>(view))), nullptr);
        toolbar->SetVisible(false, false);
        EXPECT_FALSE(toolbar->IsVisible());
        delete window;
        delete toolbar;
    }

    TEST_F(ToolbarWrapper, AFailedCreationLeavesTheWindowWithoutAToolbar)
    {
        struct Failing : CHIToolbar {
            OSStatus CreateToolbar(HIObjectRef& ref) override
            {
                ref = nullptr;
                return -50;
            }
        } failing;
        CMacWindow window(mWindow);
        EXPECT_EQ(failing.Install(&window), -50);
        HIToolbarRef attached = nullptr;
        GetWindowToolbar(mWindow, &attached);
        EXPECT_EQ(attached, nullptr);
        EXPECT_FALSE(failing.IsVisible());
    }

} // namespace

} // namespace tw::test
