#include "toolbox/KeyCodes.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Theme.h"
#include "toolbox/Window.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/controls/ControlsInternal.h"

#include <cmath>

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
            CGImageRef icon = nullptr;
            if (Menu* menu = LiveMenu(mMenu))
                if (MenuItem* item = menu->Item(static_cast<MenuItemIndex>(std::max(0, mView->Values().value)))) {
                    text = item->text;
                    icon = Theme::MenuItemImage(*item);
                }
            ControlTheme::DrawPopupButton(c, mView->GetBounds(), text, s, icon);
            return noErr;
        }

        OSStatus Track(EventHandlerCallRef, EventRef event) override
        {
            HIPoint pressed {};
            GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof pressed, nullptr, &pressed);
            ControlPartCode const part
                = PopUp(&pressed) ? ControlPartCode { kControlButtonPart } : ControlPartCode { kControlNoPart };
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
            return noErr;
        }

        // Space and the up and down arrows open the menu of a focused pop-up, as a click does.
        OSStatus Key(EventRef event) override
        {
            UInt32 code = 0, modifiers = 0;
            GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
            GetEventParameter(
                event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
            if (!IsFocused() || !mView->IsEnabled() || (modifiers & (cmdKey | optionKey | controlKey))
                || (code != kKeySpace && code != kKeyUp && code != kKeyDown))
                return eventNotHandledErr;
            Protector protect(mView);
            if (PopUp(nullptr) && !mView->IsDisposed()) {
                ControlPartCode const part = kControlButtonPart;
                SendHit(part, modifiers);
            }
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
        // Pops the menu up over the button, its current item where the button shows it and
        // never narrower than the button; answers whether an item was chosen. pressed: where
        // the mouse went down in the view, null when a key opened it. The button keeps its
        // look while the menu is open.
        bool PopUp(HIPoint const* pressed)
        {
            TakeNibItems();
            Menu* menu = LiveMenu(mMenu);
            if (!menu || !mView->GetWindow())
                return false;
            Protector protect(mView);
            Protector keep(menu);
            CGRect const bounds = mView->GetBounds();
            CGRect const structure = mView->GetWindow()->GetStructure();
            auto const global = [&](CGPoint p) {
                CGPoint const inWindow = mView->ToWindow(p);
                return CGPoint { structure.origin.x + inWindow.x, structure.origin.y + inWindow.y };
            };
            CGPoint const topLeft = global(bounds.origin);
            CGPoint const pressedAt = pressed ? global(*pressed) : CGPoint {};
            double const width = menu->GetMinimumWidth();
            menu->SetMinimumWidth(bounds.size.width);
            Menu* chosenMenu = nullptr;
            MenuItemIndex item = 0;
            bool const chosen = MenuBar::TrackPopUp(menu, { std::floor(topLeft.x), std::floor(topLeft.y) + 2 },
                static_cast<MenuItemIndex>(mView->Values().value), pressed != nullptr, &chosenMenu, &item,
                pressed ? &pressedAt : nullptr);
            menu->SetMinimumWidth(width);
            if (mView->IsDisposed() || !chosen || chosenMenu != menu)
                return false;
            SyncMaximum();
            mView->SetValue(item);
            SendItemCommand(menu, item);
            return !mView->IsDisposed();
        }

        // An item with a command sends it, from the menu, to the popup (and on up through its
        // window), before the popup's own hit and command.
        void SendItemCommand(Menu* menu, MenuItemIndex index)
        {
            MenuItem const* item = menu->Item(index);
            EventRef event = nullptr;
            if (!item || item->command == 0
                || CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, GetCurrentEventTime(), 0, &event)
                    != noErr)
                return;
            HICommandExtended command {};
            command.attributes = kHICommandFromMenu;
            command.commandID = item->command;
            command.source.menu.menuRef = menu;
            command.source.menu.menuItemIndex = index;
            SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
            SendEventToEventTarget(event, &mView->GetTarget());
            ReleaseEvent(event);
        }

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
