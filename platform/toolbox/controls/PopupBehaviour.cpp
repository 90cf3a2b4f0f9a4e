#include "toolbox/Menu.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Window.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/controls/ControlsInternal.h"

namespace tw::toolbox::controls {

namespace {

    // A popup button: shows the text of its menu's item at the value and, when
    // clicked, pops the menu up over itself with that item under the mouse. The
    // value is the item chosen (from 1); the maximum follows the menu's item count.
    class PopupBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;
        ~PopupBehaviour() override { SetMenu(nullptr); }

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            TakeNibItems();
            ControlState const s { IsDrawnActive(), mView->GetHilite() != kControlNoPart, IsFocused() };
            CFStringRef text = nullptr;
            if (Menu* menu = LiveMenu(mMenu))
                if (MenuItem* item = menu->Item(static_cast<MenuItemIndex>(std::max(0, mView->Values().value))))
                    text = item->text;
            ControlTheme::DrawPopupButton(c, mView->GetBounds(), text, s);
            return noErr;
        }

        OSStatus Track(EventHandlerCallRef, EventRef event) override
        {
            TakeNibItems();
            Menu* menu = LiveMenu(mMenu);
            ControlPartCode part = kControlNoPart;
            if (menu && mView->GetWindow()) {
                Protector protect(mView);
                mView->SetHilite(kControlButtonPart);
                CGPoint const inWindow = mView->ToWindow(mView->GetBounds().origin);
                CGRect const structure = mView->GetWindow()->GetStructure();
                SInt32 const chosen = PopUpMenuSelect(menu, static_cast<short>(structure.origin.y + inWindow.y + 2),
                    static_cast<short>(structure.origin.x + inWindow.x),
                    static_cast<MenuItemIndex>(mView->Values().value));
                if (mView->IsDisposed())
                    return noErr;
                mView->SetHilite(kControlNoPart);
                MenuItemIndex const item = static_cast<MenuItemIndex>(chosen & 0xFFFF);
                if (item != 0) {
                    SyncMaximum();
                    mView->SetValue(item);
                    part = kControlButtonPart;
                }
            }
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
            return noErr;
        }

        OSStatus SetData(ControlPartCode, OSType tag, Size size, void const* data) override
        {
            if (tag != kControlPopupButtonMenuRefTag)
                return eventNotHandledErr;
            MenuRef menu = nullptr;
            TW_RETURN_STATUS(Read(size, data, &menu));
            if (menu && !LiveMenu(menu))
                return paramErr;
            SetMenu(menu);
            return noErr;
        }

        OSStatus GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize) override
        {
            if (tag != kControlPopupButtonMenuRefTag)
                return eventNotHandledErr;
            TakeNibItems();
            return Write(LiveMenu(mMenu) ? mMenu : MenuRef { nullptr }, bufferSize, data, actualSize);
        }

        bool TakesFocus() const override { return true; }

    private:
        // A nib describes a popup's items as its property ('twbh', 'itms'), one a line, a line
        // of one "-" being a separator; the popup makes its menu from them the first time it needs one.
        void TakeNibItems()
        {
            if (mMenu || mTriedNib)
                return;
            mTriedNib = true;
            std::vector<CFStringRef> const items = CopyNibLines(mView, 'itms');
            if (items.empty())
                return;
            MenuRef menu = nullptr;
            CreateNewMenu(0, 0, &menu);
            for (CFStringRef item : items) {
                bool const separator = CFStringCompare(item, CFSTR("-"), 0) == kCFCompareEqualTo;
                AppendMenuItemTextWithCFString(menu, separator ? CFSTR("") : item,
                    separator ? MenuItemAttributes(kMenuItemAttrSeparator) : 0, 0, nullptr);
                CFRelease(item);
            }
            SetMenu(menu);
            ReleaseMenu(menu);
            mView->SetValue(mView->Values().value);
        }

        void SetMenu(MenuRef menu)
        {
            if (menu)
                RetainMenu(menu);
            if (mMenu)
                ReleaseMenu(mMenu);
            mMenu = menu;
            SyncMaximum();
            mView->Invalidate();
        }

        void SyncMaximum()
        {
            Menu* menu = LiveMenu(mMenu);
            mView->Values().maximum = menu ? static_cast<SInt32>(menu->Count()) : 0;
        }

        MenuRef mMenu = nullptr; // retains
        bool mTriedNib = false;
    };

} // namespace

Behaviour* MakePopupButton(View* view) { return new PopupBehaviour(view); }

} // namespace tw::toolbox::controls
