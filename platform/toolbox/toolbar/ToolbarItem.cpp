#include "toolbox/toolbar/ToolbarItem.h"

#include "toolbox/ObjectClass.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/toolbar/Toolbar.h"

namespace tw::toolbox::toolbar {

ToolbarItem::ToolbarItem(std::string identifier, OptionBits attributes)
    : HIObject(ObjectClass::Find("com.apple.hitoolboxtoolbaritem"), events::Target::Kind::HIObject)
    , mIdentifier(std::move(identifier))
    , mAttributes(attributes)
{
}

ToolbarItem* ToolbarItem::From(HIToolbarItemRef ref)
{
    HIObject* live = HIObject::Live(ref);
    return live ? dynamic_cast<ToolbarItem*>(live) : nullptr;
}

void ToolbarItem::ChangeAttributes(OptionBits set, OptionBits clear)
{
    // Being a separator is fixed at creation.
    OptionBits const fixed = kHIToolbarItemIsSeparator;
    mAttributes = (mAttributes & fixed) | (((mAttributes | set) & ~clear) & ~fixed);
    if (mView)
        mView->SetEnabled(IsEnabled());
    Changed();
}

void ToolbarItem::SetLabel(std::u16string label)
{
    mLabel = std::move(label);
    Changed();
}

void ToolbarItem::SetHelp(std::u16string shortText, std::u16string longText)
{
    mHelp = std::move(shortText);
    mLongHelp = std::move(longText);
    Changed();
}

void ToolbarItem::SetContent(ControlButtonContentInfo const& content)
{
    mContent.Set(content);
    Changed();
}

View* ToolbarItem::GetView()
{
    if (mViewAsked || IsDisposed())
        return mView;
    mViewAsked = true;
    EventRef event = nullptr;
    if (CreateEvent(
            nullptr, kEventClassToolbarItem, kEventToolbarItemCreateCustomView, GetCurrentEventTime(), 0, &event)
        != noErr)
        return nullptr;
    Protector protect(this);
    SendEventToEventTargetWithOptions(event, &GetTarget(), kEventTargetDontPropagate);
    HIViewRef ref = nullptr;
    GetEventParameter(event, kEventParamControlRef, typeControlRef, nullptr, sizeof ref, nullptr, &ref);
    ReleaseEvent(event);
    // The item adopts the reference the view was made with.
    if (View* view = LiveView(ref); view && !IsDisposed()) {
        mView = view;
        mView->SetEnabled(IsEnabled());
    }
    return mView;
}

void ToolbarItem::Perform()
{
    if (!IsEnabled() || IsDisposed())
        return;
    Protector protect(this);
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassToolbarItem, kEventToolbarItemPerformAction, GetCurrentEventTime(), 0, &event)
        != noErr)
        return;
    OSStatus const status = SendEventToEventTargetWithOptions(event, &GetTarget(), kEventTargetDontPropagate);
    ReleaseEvent(event);
    Window* window = mToolbar ? mToolbar->GetWindow() : nullptr;
    if (status != eventNotHandledErr || mCommand == 0 || !window || IsDisposed())
        return;
    HICommandExtended command {};
    command.commandID = mCommand;
    if (CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, GetCurrentEventTime(), 0, &event) != noErr)
        return;
    SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
    Protector protectWindow(window);
    SendEventToEventTarget(event, &window->GetTarget());
    ReleaseEvent(event);
}

void ToolbarItem::Changed()
{
    if (mToolbar)
        mToolbar->Changed();
}

void ToolbarItem::ReleaseContents()
{
    mContent.Set({});
    if (mView) {
        View* view = mView;
        mView = nullptr;
        view->Release();
    }
}

} // namespace tw::toolbox::toolbar
