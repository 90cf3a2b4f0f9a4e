#include "toolbox/controls/ControlBehaviour.h"

#include "toolbox/ObjectClass.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/Window.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlsInternal.h"

#include <string_view>

namespace tw::toolbox::controls {

namespace {

    constexpr OSType kBehaviourCreator = 'twbh'; // property ('twbh', 'bhvr'): the behaviour of a view

    using Maker = Behaviour* (*)(View*);
    struct ClassBehaviour {
        std::string_view id;
        Maker make;
    };

    // Most specific first: a subclass of a system class gets its nearest system behaviour.
    constexpr ClassBehaviour kBehaviours[] = {
        { "com.apple.HIPushButton", MakePushButton },
        { "com.apple.HIBevelButton", MakeBevelButton },
        { "com.apple.HICheckBox", MakeCheckBox },
        { "com.apple.HICheckBoxGroup", MakeCheckBox },
        { "com.apple.HIRadioButton", MakeRadioButton },
        { "com.apple.HIRadioGroup", MakeRadioGroup },
        { "com.apple.HIPopupButton", MakePopupButton },
        { "com.apple.HISlider", MakeSlider },
        { "com.apple.HIStaticTextView", MakeStaticText },
        { "com.apple.HITextField", MakeEditText },
        { "com.apple.hieditunicodetext", MakeEditText },
        { "com.apple.HIProgressBar", MakeProgressBar },
        { "com.apple.HIChasingArrows", MakeChasingArrows },
        { "com.apple.HIGroupBox", MakeGroupBox },
        { "com.apple.HIWindowHeaderView", MakeWindowHeader },
        { "com.apple.HIUserPane", MakeUserPane },
        { "com.apple.HIIconView", MakeIconView },
        { "com.apple.HISegmentedView", MakeSegmentedView },
        { "com.apple.HIScrollView", MakeScrollView },
        { "com.apple.HIDataBrowser", MakeDataBrowser },
        { "com.apple.HISearchField", MakeSearchField },
    };

    constexpr EventTypeSpec kEvents[] = {
        { kEventClassControl, kEventControlDraw },
        { kEventClassControl, kEventControlHitTest },
        { kEventClassControl, kEventControlTrack },
        { kEventClassControl, kEventControlHit },
        { kEventClassControl, kEventControlSetData },
        { kEventClassControl, kEventControlGetData },
        { kEventClassControl, kEventControlSetFocusPart },
        { kEventClassControl, kEventControlBoundsChanged },
        { kEventClassControl, kEventControlValueFieldChanged },
        { kEventClassControl, kEventControlGetOptimalBounds },
        { kEventClassControl, kEventControlAddedSubControl },
        { kEventClassKeyboard, kEventRawKeyDown },
        { kEventClassKeyboard, kEventRawKeyRepeat },
        { kEventClassTextInput, kEventTextInputUnicodeForKeyEvent },
        { kEventClassMouse, kEventMouseWheelMoved },
        { kEventClassScrollable, kEventScrollableInfoChanged },
        { kEventClassCommand, kEventCommandProcess },
        { kEventClassCommand, kEventCommandUpdateStatus },
        { kEventClassHIObject, kEventHIObjectDestruct },
    };

    OSStatus BehaviourHandler(EventHandlerCallRef callRef, EventRef event, void* userData)
    {
        auto* behaviour = static_cast<Behaviour*>(userData);
        if (GetEventClass(event) == kEventClassHIObject && GetEventKind(event) == kEventHIObjectDestruct) {
            delete behaviour;
            return eventNotHandledErr;
        }
        return behaviour->Handle(callRef, event);
    }

    template <typename T> T Param(EventRef event, EventParamName name, EventParamType type, T fallback = T {})
    {
        T value = fallback;
        GetEventParameter(event, name, type, nullptr, sizeof value, nullptr, &value);
        return value;
    }

} // namespace

void AttachBehaviour(View* view)
{
    for (ObjectClass const* cls = view->GetClass(); cls; cls = cls->GetBase()) {
        if (!cls->IsSystem())
            continue;
        for (ClassBehaviour const& entry : kBehaviours) {
            if (entry.id != cls->GetID())
                continue;
            Behaviour* behaviour = entry.make(view);
            view->GetTarget().Install(
                BehaviourHandler, std::size(kEvents), kEvents, behaviour, events::Target::Placement::Standard, nullptr);
            view->SetProperty(kBehaviourCreator, 'bhvr', sizeof behaviour, &behaviour);
            return;
        }
    }
}

void InstallBehaviour(View* view, Behaviour* behaviour, std::size_t count, EventTypeSpec const* events)
{
    view->GetTarget().Install(BehaviourHandler, count, events, behaviour, events::Target::Placement::Standard, nullptr);
}

Behaviour* FindBehaviour(HIViewRef ref)
{
    View* view = LiveView(ref);
    Behaviour* behaviour = nullptr;
    if (!view || view->GetProperty(kBehaviourCreator, 'bhvr', sizeof behaviour, nullptr, &behaviour) != noErr)
        return nullptr;
    return behaviour;
}

OSStatus Behaviour::Handle(EventHandlerCallRef callRef, EventRef event)
{
    EventClass const eventClass = GetEventClass(event);
    EventKind const kind = GetEventKind(event);
    if (eventClass == kEventClassKeyboard)
        return Key(event);
    if (eventClass == kEventClassTextInput)
        return Text(event);
    if (eventClass != kEventClassControl)
        return OtherEvent(callRef, event);
    // Events that travel up from sub views are the sub views' business, except where a container asks for them.
    ControlRef subject = Param<ControlRef>(event, kEventParamDirectObject, typeControlRef, mView);
    if (subject != mView && kind != kEventControlHit)
        return eventNotHandledErr;
    switch (kind) {
    case kEventControlDraw: {
        CGContextRef context = Param<CGContextRef>(event, kEventParamCGContextRef, typeCGContextRef);
        return context ? Draw(context) : paramErr;
    }
    case kEventControlHitTest: {
        ControlPartCode const part = HitTest(Param<HIPoint>(event, kEventParamMouseLocation, typeHIPoint));
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        return noErr;
    }
    case kEventControlTrack:
        return Track(callRef, event);
    case kEventControlSetData:
    case kEventControlGetData: {
        auto const part = Param<ControlPartCode>(event, kEventParamControlPart, typeControlPartCode);
        auto const tag = Param<OSType>(event, 'cdtg', typeEnumeration);
        void* data = Param<void*>(event, 'cdbf', typePtr);
        Size size = Param<Size>(event, 'cdbs', typeSInt64);
        if (kind == kEventControlSetData)
            return SetData(part, tag, size, data);
        OSStatus const status = GetData(part, tag, size, data, &size);
        if (status == noErr)
            SetEventParameter(event, 'cdbs', typeSInt64, sizeof size, &size);
        return status;
    }
    case kEventControlSetFocusPart: {
        if (!TakesFocus())
            return eventNotHandledErr;
        ControlPartCode const part = Focus(Param<ControlPartCode>(event, kEventParamControlPart, typeControlPartCode));
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        mView->Invalidate();
        return noErr;
    }
    case kEventControlBoundsChanged:
        BoundsChanged();
        return eventNotHandledErr;
    default:
        return OtherEvent(callRef, event);
    }
}

OSStatus Behaviour::Draw(CGContextRef) { return eventNotHandledErr; }

ControlPartCode Behaviour::HitTest(CGPoint point)
{
    return CGRectContainsPoint(mView->GetBounds(), point) ? mView->GetClass()->GetDefaultHitPart()
                                                          : ControlPartCode(kControlNoPart);
}

OSStatus Behaviour::Track(EventHandlerCallRef callRef, EventRef event)
{
    OSStatus const status = CallNextEventHandler(callRef, event);
    auto const part = Param<ControlPartCode>(event, kEventParamControlPart, typeControlPartCode);
    if (part != kControlNoPart && !mView->IsDisposed())
        Hit(part, Param<UInt32>(event, kEventParamKeyModifiers, typeUInt32));
    return status;
}

void Behaviour::Hit(ControlPartCode, UInt32) { }

OSStatus Behaviour::SetData(ControlPartCode, OSType, Size, void const*) { return eventNotHandledErr; }

OSStatus Behaviour::GetData(ControlPartCode, OSType, Size, void*, Size*) { return eventNotHandledErr; }

OSStatus Behaviour::Key(EventRef) { return eventNotHandledErr; }

OSStatus Behaviour::Text(EventRef) { return eventNotHandledErr; }

ControlPartCode Behaviour::Focus(ControlPartCode part)
{
    // One focusable part: entering takes it, moving on from it leaves.
    bool const focused = IsFocused();
    if (part == kControlFocusNoPart || (focused && (part == kControlFocusNextPart || part == kControlFocusPrevPart)))
        return kControlFocusNoPart;
    return mView->IsEnabled() && mView->IsVisible() ? mView->GetClass()->GetDefaultHitPart()
                                                    : ControlPartCode(kControlFocusNoPart);
}

OSStatus Behaviour::OtherEvent(EventHandlerCallRef, EventRef) { return eventNotHandledErr; }

bool Behaviour::IsFocused() const { return mView->GetWindow() && mView->GetWindow()->GetFocus() == mView; }

void Behaviour::SendHit(ControlPartCode part, UInt32 modifiers)
{
    EventRef hit = nullptr;
    if (CreateEvent(nullptr, kEventClassControl, kEventControlHit, GetCurrentEventTime(), 0, &hit) != noErr)
        return;
    ControlRef ref = mView;
    Protector protect(mView);
    SetEventParameter(hit, kEventParamDirectObject, typeControlRef, sizeof ref, &ref);
    SetEventParameter(hit, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
    SetEventParameter(hit, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    SendEventToEventTarget(hit, &mView->GetTarget());
    ReleaseEvent(hit);
    if (!mView->IsDisposed() && mView->Values().command != 0)
        mView->SendCommand(modifiers);
}

std::u16string TypedText(EventRef event)
{
    ByteCount size = 0;
    if (GetEventParameter(event, kEventParamTextInputSendText, typeUnicodeText, nullptr, 0, &size, nullptr) != noErr)
        return {};
    std::u16string text(size / sizeof(char16_t), u'\0');
    GetEventParameter(event, kEventParamTextInputSendText, typeUnicodeText, nullptr, size, nullptr, text.data());
    std::erase_if(text, [](char16_t c) { return c < 0x20 || c == 0x7F; });
    return text;
}

} // namespace tw::toolbox::controls
