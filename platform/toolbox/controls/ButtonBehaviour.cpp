#include "toolbox/KeyCodes.h"
#include "toolbox/Window.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ButtonContent.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/controls/ControlsInternal.h"

namespace tw::toolbox::controls {

namespace {

    // Push and bevel buttons: a title and optional image content; a push button may
    // be its window's default or cancel button, a toggling bevel button keeps a value.
    class ButtonBehaviour : public Behaviour {
    public:
        ButtonBehaviour(View* view, bool bevel)
            : Behaviour(view)
            , mBevel(bevel)
        {
        }

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            CGRect const b = mView->GetBounds();
            ControlState const s { IsDrawnActive(), mView->GetHilite() != kControlNoPart, IsFocused() };
            Window* window = mView->GetWindow();
            CFStringRef title = mView->GetTitle();
            bool const hasImage = mContent.Image() != nullptr;
            if (mBevel)
                ControlTheme::DrawBevelButton(
                    c, b, hasImage ? nullptr : title, s, mToggles && mView->Values().value != 0);
            else
                ControlTheme::DrawPushButton(
                    c, b, hasImage ? nullptr : title, s, window && window->GetDefaultButton() == mView);
            if (hasImage)
                mContent.Draw(c, CGRectInset(b, 4, 4), s.enabled);
            return noErr;
        }

        void Hit(ControlPartCode, UInt32) override
        {
            if (mToggles)
                mView->SetValue(mView->Values().value ? 0 : 1);
        }

        // As on a Mac, Tab moves between text fields and lists; in a window that has
        // neither (an about box, an alert) it reaches the push buttons, which show their
        // focus. A button the nib marks ('twbh', 'tfoc') is reached in any window: the
        // buttons that act on a sheet's list are worked from the keyboard too. Space
        // presses the focused one; Return and Escape stay with the window's default and
        // cancel buttons.
        bool TakesFocus() const override
        {
            Window* window = mView->GetWindow();
            if (mBevel || !window)
                return false;
            Boolean marked = false;
            if (mView->GetProperty(kControlsCreator, 'tfoc', sizeof marked, nullptr, &marked) == noErr && marked)
                return true;
            return !HasFieldOrList(window->GetRoot());
        }

        static bool HasFieldOrList(View* view)
        {
            if (!view->IsVisibleFlag())
                return false;
            if (view->GetFeatures() & kHIViewFeatureGetsFocusOnClick)
                return true;
            for (View* child : view->GetChildren())
                if (HasFieldOrList(child))
                    return true;
            return false;
        }

        OSStatus Key(EventRef event) override
        {
            UInt32 code = 0, modifiers = 0;
            GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
            GetEventParameter(
                event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
            if (code != kKeySpace || (modifiers & (cmdKey | optionKey | controlKey)) || !IsFocused()
                || !mView->IsEnabled())
                return eventNotHandledErr;
            if (GetEventKind(event) == kEventRawKeyDown)
                SendHit(kControlButtonPart, modifiers);
            return noErr;
        }

        OSStatus SetData(ControlPartCode, OSType tag, Size size, void const* data) override
        {
            Boolean flag = false;
            switch (tag) {
            case kControlPushButtonDefaultTag:
            case kControlPushButtonCancelTag: {
                TW_RETURN_STATUS(Read(size, data, &flag));
                SetRole(tag == kControlPushButtonDefaultTag, flag);
                return noErr;
            }
            case kControlBevelButtonContentTag: {
                ControlButtonContentInfo info;
                TW_RETURN_STATUS(Read(size, data, &info));
                mContent.Set(info);
                mView->Invalidate();
                return noErr;
            }
            case 'bhav': {
                UInt16 behaviour = 0;
                TW_RETURN_STATUS(Read(size, data, &behaviour));
                mToggles = (behaviour & kControlBehaviorToggles) != 0;
                return noErr;
            }
            default:
                return eventNotHandledErr;
            }
        }

        OSStatus GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize) override
        {
            Window* window = mView->GetWindow();
            switch (tag) {
            case kControlPushButtonDefaultTag:
                return Write(Boolean(window && window->GetDefaultButton() == mView), bufferSize, data, actualSize);
            case kControlPushButtonCancelTag:
                return Write(Boolean(window && window->GetCancelButton() == mView), bufferSize, data, actualSize);
            case kControlBevelButtonContentTag:
                return Write(mContent.Get(), bufferSize, data, actualSize);
            default:
                return eventNotHandledErr;
            }
        }

    private:
        // Clearing a role takes it from the window only when this button holds it.
        void SetRole(bool isDefault, bool on)
        {
            Window* window = mView->GetWindow();
            if (!window)
                return;
            View* holder = isDefault ? window->GetDefaultButton() : window->GetCancelButton();
            if (!on && holder != mView)
                return;
            isDefault ? window->SetDefaultButton(on ? mView : nullptr) : window->SetCancelButton(on ? mView : nullptr);
            if (holder)
                holder->Invalidate();
            mView->Invalidate();
        }

        bool mBevel;
        bool mToggles = false;
        ButtonContent mContent;
    };

} // namespace

Behaviour* MakePushButton(View* view) { return new ButtonBehaviour(view, false); }
Behaviour* MakeBevelButton(View* view) { return new ButtonBehaviour(view, true); }

} // namespace tw::toolbox::controls
