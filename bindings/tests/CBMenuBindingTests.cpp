#include "bindings/Source/Bindings/CBMenuBinding.h"
#include "bindings/tests/ObjectBindingTest.h"

namespace tw::test {
namespace {

    class CountedMenuBinding : public CBMenuBinding {
    public:
        CountedMenuBinding(unsigned long command, int& alive)
            : CBMenuBinding(command)
            , mAlive(alive)
        {
            mAlive++;
        }
        ~CountedMenuBinding() override { mAlive--; }

    private:
        int& mAlive;
    };

    using MenuBinding = ObjectBindingTest;

    TEST_F(MenuBinding, MarksAreNoneCheckOrDiamond)
    {
        MenuRef menu = MakeMenuBar('grid');
        auto* binding = new CBMenuBinding('grid');
        EXPECT_EQ(binding->GetKeyPathValue("mark"), MakeBoolean(false));
        EXPECT_EQ(binding->GetKeyPathValue("title"), MakeText(CFSTR("Show Palette")));
        CharParameter mark = 0;
        binding->SetKeyPathValue("mark", MakeUInt32(2), false);
        GetItemMark(menu, 2, &mark);
        EXPECT_EQ(mark, diamondMark);
        binding->SetKeyPathValue("mark", MakeBoolean(true), false);
        GetItemMark(menu, 2, &mark);
        EXPECT_EQ(mark, checkMark);
        binding->SetKeyPathValue("enabled", MakeBoolean(false), false);
        EXPECT_FALSE(IsMenuItemEnabled(menu, 2));
        binding->SetKeyPathValue("title", MakeText(CFSTR("Hide Palette")), false);
        CFStringRef text = nullptr;
        CopyMenuItemTextAsCFString(menu, 2, &text);
        EXPECT_EQ(tw::cf::ToUTF8(text), "Hide Palette");
        CFRelease(text);
        // Read back from the menu, a diamond is the number 2.
        SetItemMark(menu, 2, diamondMark);
        binding->SyncValue("mark");
        EXPECT_EQ(binding->GetKeyPathValue("mark").GetType(), CBValue::kTypeUInt32);
        EXPECT_EQ(binding->GetKeyPathValue("mark").GetUInt32(), 2u);
    }

    TEST_F(MenuBinding, CanFollowButNeverBeFollowed)
    {
        MakeMenuBar('grid');
        auto* binding = new CBMenuBinding('grid');
        CBKeyValueBinding other;
        EXPECT_EQ(other.BindTo("shown", binding, "mark", nullptr), paramErr);
        EXPECT_EQ(other.Bind("shown", binding, "mark", nullptr, nullptr), paramErr);
        other.SetKeyPathValue("shown", MakeBoolean(true), false);
        EXPECT_EQ(binding->BindTo("mark", &other, "shown", nullptr), noErr);
        EXPECT_EQ(binding->GetKeyPathValue("mark"), MakeBoolean(true));
    }

    TEST_F(MenuBinding, StatusUpdatesFromTheMenuReadTheItemBack)
    {
        MenuRef menu = MakeMenuBar('grid');
        auto* binding = new CBMenuBinding('grid');
        SetItemMark(menu, 2, checkMark);
        DisableMenuItem(menu, 2);
        EventRef event = nullptr;
        CreateEvent(nullptr, kEventClassCommand, kEventCommandUpdateStatus, 0, 0, &event);
        HICommandExtended command {};
        command.commandID = 'grid'; // not from a menu: ignored
        SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
        EXPECT_EQ(SendEventToEventTarget(event, GetMenuEventTarget(menu)), eventNotHandledErr);
        EXPECT_EQ(binding->GetKeyPathValue("mark"), MakeBoolean(false));
        command.attributes = kHICommandFromMenu;
        SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
        EXPECT_EQ(SendEventToEventTarget(event, GetMenuEventTarget(menu)), eventNotHandledErr);
        ReleaseEvent(event);
        EXPECT_EQ(binding->GetKeyPathValue("mark"), MakeBoolean(true));
        EXPECT_EQ(binding->GetKeyPathValue("enabled"), MakeBoolean(false));
    }

    TEST_F(MenuBinding, GoesWithItsMenuAndFindsNothingForAnUnknownCommand)
    {
        int alive = 0;
        MakeMenuBar('grid');
        new CountedMenuBinding('grid', alive);
        CBMenuBinding nowhere('zzzz');
        EXPECT_EQ(nowhere.GetMenu(), nullptr);
        ASSERT_EQ(alive, 1);
        toolbox::MenuBar::Reset();
        EXPECT_EQ(alive, 0);
    }

} // namespace
} // namespace tw::test
