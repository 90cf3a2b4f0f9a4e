#include "widgets/CHIToolbar.h"

#include "framework/CMacWindow.h"
#include "render/CImage.h"
#include "toolbox/DragCalls.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/toolbar/ToolbarCalls.h"
#include "widgets/CHIToolbarItem.h"

namespace {

EventTypeSpec const kHIToolbarEvents[] = {
    { kEventClassToolbar, kEventToolbarGetDefaultIdentifiers },
    { kEventClassToolbar, kEventToolbarGetAllowedIdentifiers },
    { kEventClassToolbar, kEventToolbarCreateItemWithIdentifier },
    { kEventClassToolbar, kEventToolbarCreateItemFromDrag },
    { kEventClassToolbar, kEventToolbarItemAdded },
    { kEventClassToolbar, kEventToolbarItemRemoved },
    { kEventClassToolbar, kEventToolbarEndMultiChange },
    { 0, 0 },
};

// Appends the identifiers of the descriptions that pass to the event's array.
template <typename Pass>
OSStatus AppendIdentifiers(CCarbonEvent& event, std::vector<CHIToolbarItemData> const& items, Pass pass)
{
    CFMutableArrayRef array = nullptr;
    if (event.GetParameter(kEventParamMutableArray, typeCFMutableArrayRef, sizeof array, &array) != noErr || !array)
        return paramErr;
    for (CHIToolbarItemData const& item : items) {
        if (pass(item))
            CFArrayAppendValue(array, item.mIdentifier.GetCFString());
    }
    return noErr;
}

} // namespace

CHIToolbar::CHIToolbar()
    : CHIObject(nullptr)
{
}

CHIToolbar::~CHIToolbar() = default;

OSStatus CHIToolbar::CreateToolbar(HIObjectRef& ref)
{
    ref = nullptr;
    OSStatus const status
        = HIToolbarCreate(CString(kDefaultToolbarIdentifier).GetCFString(), kHIToolbarIsConfigurable, &ref);
    if (status != noErr)
        return status;
    AddFlexibleSpace(true);
    AddCustomizeItem(false);
    AddSeparator(true);
    AddPrintItem(false);
    AddFontsItem(false);
    return noErr;
}

OSStatus CHIToolbar::Install(CMacWindow* window)
{
    HIObjectRef ref = nullptr;
    OSStatus const status = CreateToolbar(ref);
    // A failure is reported: the window stays without a toolbar.
    if (status != noErr || !ref)
        return status != noErr ? status : paramErr;
    SetHIObjectRef(ref);
    mOwnsReference = true;
    InstallHandler(ref, kHIToolbarEvents);
    mWindow = window;
    if (!window)
        return noErr;
    WindowRef const windowRef = window->GetWindowRef();
    window->SetToolbar(this);
    HIToolbarRef attached = nullptr;
    if (GetWindowToolbar(windowRef, &attached) != noErr || attached != ref)
        AttachToWindow(windowRef, this);
    ShowHideWindowToolbar(windowRef, true, false);
    ChangeWindowAttributes(windowRef, kWindowToolbarButtonAttribute, 0);
    SetAutomaticControlDragTrackingEnabledForWindow(windowRef, true);
    return noErr;
}

OSStatus CHIToolbar::AttachToWindow(WindowRef window, CHIToolbar* toolbar)
{
    return SetWindowToolbar(window, toolbar ? toolbar->GetHIObjectRef() : nullptr);
}

void CHIToolbar::AddStandardItem(UInt32 options, CString const& identifier, bool inDefaultSet)
{
    DoAddItem(options, identifier, CString(), 0, nullptr, nullptr, inDefaultSet, true);
}

void CHIToolbar::DoAddItem(UInt32 options, CString const& identifier, CString const& label, UInt32 command,
    IconRef icon, CGImageRef image, bool inDefaultSet, bool standard)
{
    CHIToolbarItemData item;
    item.mOptions = options;
    item.mIdentifier = identifier;
    item.mLabel = label;
    item.mCommand = command;
    item.SetIcon(icon);
    item.SetImage(image);
    item.mInDefaultSet = inDefaultSet;
    item.mStandard = standard;
    mItems.push_back(item);
}

void CHIToolbar::AddItem(UInt32 options, CString const& identifier, CString const& label, UInt32 command,
    CFile const& image, bool inDefaultSet)
{
    CImage picture(0, 0, 32, 0);
    if (picture.CreateFromFile(image) != noErr)
        return;
    CGImageRef const made = picture.GetAsCGImageRef(nullptr, false);
    if (!made)
        return;
    DoAddItem(options, identifier, label, command, nullptr, made, inDefaultSet, false);
    CGImageRelease(made);
}

void CHIToolbar::AddItem(CHIToolbarItemData const& item) { mItems.push_back(item); }

void CHIToolbar::AddSeparator(bool inDefaultSet)
{
    AddStandardItem(
        kHIToolbarItemAllowDuplicates | kHIToolbarItemIsSeparator, kHIToolbarSeparatorIdentifier, inDefaultSet);
}

void CHIToolbar::AddFlexibleSpace(bool inDefaultSet)
{
    AddStandardItem(0, kHIToolbarFlexibleSpaceIdentifier, inDefaultSet);
}

void CHIToolbar::AddCustomizeItem(bool inDefaultSet)
{
    AddStandardItem(0, kHIToolbarCustomizeIdentifier, inDefaultSet);
}

void CHIToolbar::AddPrintItem(bool inDefaultSet) { AddStandardItem(0, kHIToolbarPrintItemIdentifier, inDefaultSet); }

void CHIToolbar::AddFontsItem(bool inDefaultSet) { AddStandardItem(0, kHIToolbarFontsItemIdentifier, inDefaultSet); }

OSStatus CHIToolbar::DoEventToolbarGetDefaultIdentifiers(CCarbonEvent& event)
{
    return AppendIdentifiers(event, mItems, [](CHIToolbarItemData const& item) { return item.mInDefaultSet; });
}

OSStatus CHIToolbar::DoEventToolbarGetAllowedIdentifiers(CCarbonEvent& event)
{
    return AppendIdentifiers(event, mItems, [](CHIToolbarItemData const&) { return true; });
}

OSStatus CHIToolbar::DoEventToolbarCreateItemWithIdentifier(CCarbonEvent& event)
{
    CFStringRef identifier = nullptr;
    event.GetParameter(kEventParamToolbarItemIdentifier, typeCFStringRef, sizeof identifier, &identifier);
    if (!identifier)
        return eventNotHandledErr;
    CString const wanted(identifier, false);
    for (CHIToolbarItemData const& item : mItems) {
        if (!item.mIdentifier.EqualNoCase(wanted))
            continue;
        // The toolbox makes the standard items itself.
        if (item.mStandard)
            return noErr;
        auto* made = new CHIToolbarItem(this, item);
        HIToolbarItemRef ref = made->GetHIToolbarItemRef(false);
        if (!ref) {
            delete made;
            return eventNotHandledErr;
        }
        return event.SetParameter(kEventParamToolbarItem, typeHIToolbarItemRef, sizeof ref, &ref);
    }
    return eventNotHandledErr;
}

bool CHIToolbar::IsVisible() const { return mWindow && IsWindowToolbarVisible(mWindow->GetWindowRef()); }

void CHIToolbar::SetVisible(bool show, bool animate)
{
    if (mWindow)
        ShowHideWindowToolbar(mWindow->GetWindowRef(), show, animate);
}

std::vector<CHIToolbarItem*> CHIToolbar::GetItems()
{
    std::vector<CHIToolbarItem*> items;
    CFArrayRef array = nullptr;
    if (!GetHIObjectRef() || HIToolbarCopyItems(GetHIObjectRef(), &array) != noErr || !array)
        return items;
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
        auto ref = HIToolbarItemRef(CFArrayGetValueAtIndex(array, i));
        auto* item = dynamic_cast<CHIToolbarItem*>(GetHIObject(ref));
        items.push_back(item ? item : new CHIToolbarItem(this, ref));
    }
    CFRelease(array);
    return items;
}

CHIToolbarItem* CHIToolbar::GetHIToolbarItem(UInt32 command)
{
    for (CHIToolbarItem* item : GetItems()) {
        MenuCommand itemCommand = 0;
        HIToolbarItemGetCommandID(item->GetHIToolbarItemRef(false), &itemCommand);
        if (itemCommand == command)
            return item;
    }
    return nullptr;
}
