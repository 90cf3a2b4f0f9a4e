#include "ToolbarTestDelegate.h"
#include "ToolboxTest.h"
#include "tests/support/PixelProbe.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"

#include <cairo.h>

namespace tw::test {

namespace {

    class Toolbar : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            mWindow = MakeWindow(kDocumentWindowClass, { 100, 100, 400, 600 },
                kWindowStandardDocumentAttributes | kWindowStandardHandlerAttribute | kWindowCompositingAttribute);
            ASSERT_EQ(HIToolbarCreate(CFSTR("com.tarnwick.test.toolbar"), kHIToolbarIsConfigurable, &mToolbar), noErr);
        }
        void TearDown() override
        {
            mDelegate.reset();
            if (mToolbar)
                CFRelease(mToolbar);
            DisposeWindow(mWindow);
            ToolboxTest::TearDown();
        }

        void Use(std::vector<std::string> ids)
        {
            mDelegate = std::make_unique<ToolbarDelegate>(mToolbar, std::move(ids));
        }
        std::vector<std::string> Identifiers()
        {
            CFArrayRef items = nullptr;
            EXPECT_EQ(HIToolbarCopyItems(mToolbar, &items), noErr);
            std::vector<std::string> ids;
            for (CFIndex i = 0; i < CFArrayGetCount(items); ++i) {
                CFStringRef id = nullptr;
                HIToolbarItemCopyIdentifier(HIToolbarItemRef(CFArrayGetValueAtIndex(items, i)), &id);
                ids.push_back(cf::ToUTF8(id));
                CFRelease(id);
            }
            CFRelease(items);
            return ids;
        }
        HIToolbarItemRef Item(std::size_t index)
        {
            CFArrayRef items = nullptr;
            HIToolbarCopyItems(mToolbar, &items);
            auto item = HIToolbarItemRef(CFArrayGetValueAtIndex(items, CFIndex(index)));
            CFRelease(items);
            return item;
        }
        PixelProbe Draw()
        {
            mWindow->Update();
            cairo_surface_t* backing = mWindow->GetBackingStore();
            cairo_surface_flush(backing);
            return PixelProbe(cairo_image_surface_get_data(backing), cairo_image_surface_get_width(backing),
                cairo_image_surface_get_height(backing), std::size_t(cairo_image_surface_get_stride(backing)));
        }

        WindowRef mWindow = nullptr;
        HIToolbarRef mToolbar = nullptr;
        std::unique_ptr<ToolbarDelegate> mDelegate;
    };

    bool Red(Pixel p) { return p.r > 200 && p.g < 60 && p.b < 60; }

    TEST_F(Toolbar, TheDefaultSetIsMadeOnceInOrderWithTheStandardItemsBuiltIn)
    {
        Use({ "open", kHIToolbarSeparatorIdentifier, "unknown", kHIToolbarFlexibleSpaceIdentifier, "save" });
        EXPECT_EQ(Identifiers(),
            (std::vector<std::string> {
                "open", kHIToolbarSeparatorIdentifier, kHIToolbarFlexibleSpaceIdentifier, "save" }));
        EXPECT_EQ(mDelegate->created.size(), 5u);
        Identifiers();
        EXPECT_EQ(mDelegate->created.size(), 5u); // asked once
        OptionBits attributes = 0;
        HIToolbarItemGetAttributes(Item(1), &attributes);
        EXPECT_TRUE(attributes & kHIToolbarItemIsSeparator);
        // A separator stays one; the other bits change.
        HIToolbarItemChangeAttributes(Item(1), kHIToolbarItemDisabled, kHIToolbarItemIsSeparator);
        HIToolbarItemGetAttributes(Item(1), &attributes);
        EXPECT_EQ(attributes & (kHIToolbarItemIsSeparator | kHIToolbarItemDisabled),
            OptionBits(kHIToolbarItemIsSeparator | kHIToolbarItemDisabled));
        MenuCommand command = 0;
        HIToolbarItemGetCommandID(Item(0), &command);
        EXPECT_EQ(command, MenuCommand('ocmd'));
        // An item without duplicates allowed is refused a second place.
        HIToolbarItemRef twin = nullptr;
        HIToolbarItemCreate(CFSTR("open"), 0, &twin);
        EXPECT_EQ(HIToolbarAppendItem(mToolbar, twin), paramErr);
        CFRelease(twin);
        EXPECT_EQ(HIToolbarCreate(CFSTR(""), 0, &twin), paramErr);
    }

    TEST_F(Toolbar, ShowingGrowsTheWindowAndPutsTheStripAboveTheContent)
    {
        Use({ "open" });
        ASSERT_EQ(SetWindowToolbar(mWindow, mToolbar), noErr);
        Rect before {};
        GetWindowBounds(mWindow, kWindowContentRgn, &before);
        EXPECT_FALSE(IsWindowToolbarVisible(mWindow));
        ASSERT_EQ(ShowHideWindowToolbar(mWindow, true, false), noErr);
        EXPECT_TRUE(IsWindowToolbarVisible(mWindow));
        Rect after {};
        GetWindowBounds(mWindow, kWindowContentRgn, &after);
        double const strip = mWindow->GetToolbarHeight();
        EXPECT_GT(strip, 40);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top); // the content keeps its size
        EXPECT_EQ(after.top - before.top, int(strip));
        HIViewRef content = nullptr;
        GetRootControl(mWindow, &content);
        HIRect frame {};
        HIViewGetFrame(content, &frame);
        EXPECT_EQ(frame.origin.y, mWindow->GetTitleBarHeight() + strip);
        ShowHideWindowToolbar(mWindow, false, false);
        GetWindowBounds(mWindow, kWindowContentRgn, &after);
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(after.bottom, before.bottom);
        EXPECT_EQ(ShowHideWindowToolbar(nullptr, true, false), paramErr);
    }

    TEST_F(Toolbar, ItemsDrawTheirImagesAndTheFlexibleSpaceTakesTheRoomLeft)
    {
        Use({ "open", kHIToolbarFlexibleSpaceIdentifier, "save" });
        SetWindowToolbar(mWindow, mToolbar);
        ShowHideWindowToolbar(mWindow, true, false);
        ShowWindow(mWindow);
        PixelProbe const probe = Draw();
        int const top = int(mWindow->GetTitleBarHeight());
        auto const red = probe.Bounds(Red);
        ASSERT_TRUE(red.has_value());
        // Two icons: one at the left end, one pushed to the right end.
        EXPECT_LT(red->left, 30);
        EXPECT_GT(red->right, 500 - 30);
        EXPECT_GE(red->top, top);
        EXPECT_LT(red->bottom, top + int(mWindow->GetToolbarHeight()));
        EXPECT_FALSE(probe.Any({ 100, top, 400, top + 40 }, Red));
        // Icon only: no labels under the icons, a lower strip.
        double const tall = mWindow->GetToolbarHeight();
        HIToolbarSetDisplayMode(mToolbar, kHIToolbarDisplayModeIconOnly);
        EXPECT_LT(mWindow->GetToolbarHeight(), tall);
    }

    TEST_F(Toolbar, ACustomViewItemPlacesItsViewInTheStrip)
    {
        Use({ "open", "search" });
        SetWindowToolbar(mWindow, mToolbar);
        ShowHideWindowToolbar(mWindow, true, false);
        HIViewRef field = HIToolbarItemGetView(Item(1));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field, mDelegate->searchField);
        HIRect frame {};
        HIViewGetFrame(field, &frame);
        HIViewConvertRect(&frame, HIViewGetSuperview(field), nullptr);
        EXPECT_GT(frame.origin.x, 40); // after the first item
        EXPECT_GE(frame.origin.y, mWindow->GetTitleBarHeight());
        EXPECT_LE(CGRectGetMaxY(frame), mWindow->GetContentTop());
        EXPECT_EQ(HIToolbarItemGetView(Item(0)), nullptr);
    }

    TEST_F(Toolbar, TheItemsGoWithTheWindow)
    {
        Use({ "open", "search", kHIToolbarSeparatorIdentifier });
        SetWindowToolbar(mWindow, mToolbar);
        ShowHideWindowToolbar(mWindow, true, false);
        HIToolbarItemRef item = Item(0);
        CFRetain(item);
        mDelegate.reset();
        CFRelease(mToolbar);
        mToolbar = nullptr;
        DisposeWindow(mWindow);
        mWindow = nullptr;
        // The item is dead though still allocated: the calls refuse it.
        EXPECT_FALSE(HIToolbarItemIsEnabled(item));
        EXPECT_EQ(HIToolbarItemSetEnabled(item, true), paramErr);
        CFRelease(item);
    }

} // namespace

} // namespace tw::test
