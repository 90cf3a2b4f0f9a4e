#include "toolbox/ObjectClass.h"
#include "toolbox/Window.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlTheme.h"

namespace tw::toolbox::controls {

namespace {

    // Check boxes and radio buttons: a click toggles the value (a radio button only
    // turns on); the mixed value 2 of a check box turns on.
    class CheckBehaviour : public Behaviour {
    public:
        CheckBehaviour(View* view, bool radio)
            : Behaviour(view)
            , mRadio(radio)
        {
            if (mView->Values().maximum == 0)
                mView->Values().maximum = mRadio ? 1 : 2;
        }

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            ControlState const s { IsDrawnActive(), mView->GetHilite() != kControlNoPart, IsFocused() };
            SInt32 const value = mView->Values().value;
            if (mRadio)
                ControlTheme::DrawRadioButton(c, mView->GetBounds(), mView->GetTitle(), value != 0, s);
            else
                ControlTheme::DrawCheckBox(c, mView->GetBounds(), mView->GetTitle(), value, s);
            return noErr;
        }

        void Hit(ControlPartCode, UInt32) override
        {
            if (!mAutoToggle)
                return;
            SInt32 const value = mView->Values().value;
            mView->SetValue(mRadio ? 1 : value == 1 ? 0 : 1);
        }

        OSStatus SetData(ControlPartCode, OSType tag, Size size, void const* data) override
        {
            if (tag != 'auto')
                return eventNotHandledErr;
            Boolean flag = true;
            TW_RETURN_STATUS(Read(size, data, &flag));
            mAutoToggle = flag;
            return noErr;
        }

        bool TakesFocus() const override { return true; }

        OSStatus Key(EventRef event) override
        {
            char character = 0;
            GetEventParameter(
                event, kEventParamKeyMacCharCodes, typeChar, nullptr, sizeof character, nullptr, &character);
            if (character != ' ' || !mView->IsEnabled())
                return eventNotHandledErr;
            Hit(mView->GetClass()->GetDefaultHitPart(), 0);
            SendHit(mView->GetClass()->GetDefaultHitPart(), 0);
            return noErr;
        }

    private:
        bool mRadio;
        bool mAutoToggle = true;
    };

    // A radio group: its radio buttons (sub views, from 1) hold one value on; the
    // group's value is the index of that button, 0 for none.
    class RadioGroupBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;

        OSStatus Handle(EventHandlerCallRef callRef, EventRef event) override
        {
            if (GetEventClass(event) == kEventClassControl && GetEventKind(event) == kEventControlHit) {
                ControlRef hit = nullptr;
                GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr, sizeof hit, nullptr, &hit);
                if (hit != mView)
                    ChildHit(hit);
                return eventNotHandledErr;
            }
            if (GetEventClass(event) == kEventClassControl && GetEventKind(event) == kEventControlValueFieldChanged) {
                ControlRef changed = nullptr;
                GetEventParameter(
                    event, kEventParamDirectObject, typeControlRef, nullptr, sizeof changed, nullptr, &changed);
                if (changed == mView)
                    SyncChildren();
                return eventNotHandledErr;
            }
            if (GetEventClass(event) == kEventClassControl && GetEventKind(event) == kEventControlAddedSubControl) {
                mView->Values().maximum = static_cast<SInt32>(mView->GetChildren().size());
                return eventNotHandledErr;
            }
            return Behaviour::Handle(callRef, event);
        }

    protected:
        // The group itself shows nothing: its buttons do.
        OSStatus Draw(CGContextRef) override { return noErr; }
        ControlPartCode HitTest(CGPoint) override { return kControlNoPart; }

    private:
        void ChildHit(ControlRef child)
        {
            auto const& children = mView->GetChildren();
            for (std::size_t i = 0; i < children.size(); ++i) {
                if (children[i] == child) {
                    mView->Values().maximum = static_cast<SInt32>(children.size());
                    mView->SetValue(static_cast<SInt32>(i + 1));
                    SyncChildren();
                    return;
                }
            }
        }

        void SyncChildren()
        {
            std::vector<View*> const children(mView->GetChildren());
            SInt32 const value = mView->Values().value;
            for (std::size_t i = 0; i < children.size(); ++i) {
                View* child = children[i];
                if (!HIObject::Live(child))
                    continue;
                if (child->Values().maximum < 1)
                    child->Values().maximum = 1;
                child->SetValue(static_cast<SInt32>(i + 1) == value ? 1 : 0);
            }
        }
    };

} // namespace

Behaviour* MakeCheckBox(View* view) { return new CheckBehaviour(view, false); }
Behaviour* MakeRadioButton(View* view) { return new CheckBehaviour(view, true); }
Behaviour* MakeRadioGroup(View* view) { return new RadioGroupBehaviour(view); }

} // namespace tw::toolbox::controls
