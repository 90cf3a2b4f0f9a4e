#include "widgets/CHIToolbarItem.h"

#include "framework/CMacWindow.h"
#include "toolbox/toolbar/ToolbarCalls.h"
#include "widgets/CHIView.h"

namespace {

EventTypeSpec const kToolbarItemEvents[] = {
    { kEventClassToolbarItem, kEventToolbarItemCreateCustomView },
    { kEventClassHIObject, kEventHIObjectDestruct },
    { 0, 0 },
};

} // namespace

CHIToolbarItem::CHIToolbarItem(CHIToolbar* toolbar, CHIToolbarItemData const& data)
    : CHIObject(nullptr)
    , CHIToolbarItemData(data)
    , mToolbar(toolbar)
{
    SetNewObjectInstance(this);
    HIToolbarItemRef item = nullptr;
    OSStatus const status = HIToolbarItemCreate(mIdentifier.GetCFString(), mOptions, &item);
    SetNewObjectInstance(nullptr);
    if (status != noErr)
        return;
    HIToolbarItemSetCommandID(item, mCommand);
    HIToolbarItemSetLabel(item, mLabel.GetCFString());
    HIToolbarItemSetHelpText(item, mHelpTag.GetCFString(), mExtendedHelpTag.GetCFString());
    if (mIcon)
        HIToolbarItemSetIconRef(item, mIcon);
    else if (mImage)
        HIToolbarItemSetImage(item, mImage);
    // The toolbar that asked for the item takes over its creation reference.
    Bind(item);
}

CHIToolbarItem::CHIToolbarItem(CHIToolbar* toolbar, HIObjectRef object)
    : CHIObject(nullptr)
    , mToolbar(toolbar)
{
    Bind(object);
}

void CHIToolbarItem::Bind(HIObjectRef object)
{
    SetHIObjectRef(object);
    InstallHandler(object, kToolbarItemEvents);
}

HIToolbarItemRef CHIToolbarItem::GetHIToolbarItemRef(bool retain) const { return GetHIObjectRef(retain); }

void CHIToolbarItem::SetAttributes(CMacWindow* window, UInt32 set, UInt32 clear)
{
    HIToolbarItemChangeAttributesInWindow(GetHIObjectRef(), window ? window->GetWindowRef() : nullptr, set, clear);
}

void CHIToolbarItem::SetEnabled(bool enabled) { HIToolbarItemSetEnabled(GetHIObjectRef(), enabled); }

OSStatus CHIToolbarItem::DoEventToolbarItemCreateCustomView(CCarbonEvent& event)
{
    CHIView* view = mViewCreator ? mViewCreator(this) : nullptr;
    if (!view || !view->GetHIViewRef())
        return eventNotHandledErr;
    // The item adopts a reference: the wrapper's own when it holds one, as a super view would.
    ControlRef control = view->GetHIViewRef();
    if (view->mOwnsReference)
        view->mOwnsReference = false;
    else
        CFRetain(control);
    return event.SetParameter(kEventParamControlRef, typeControlRef, sizeof control, &control);
}

OSStatus CHIToolbarItem::DoEventHIObjectDestruct(CCarbonEvent&)
{
    // The item is going: so is its wrapper.
    ForgetHIObjectRef();
    delete this;
    return eventNotHandledErr;
}
