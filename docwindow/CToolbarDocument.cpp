#include "docwindow/CToolbarDocument.h"

#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "render/CCoreGraphicsUtilities.h"
#include "toolbox/toolbar/ToolbarCalls.h"
#include "widgets/CHISearchField.h"
#include "widgets/CHIToolbarItem.h"
#include "widgets/CHIViewUtilities.h"

namespace {

// The items in the order of the default set, between the search field's neighbours.
struct DocumentItem {
    UInt32 command;
    char const* suffix;
    char const* label; // bundle-string keys
    char const* help;
    char const* icon; // bundle resource
};

constexpr DocumentItem kToolItems[] = {
    { 'dway', "waypoint", "DocWaypoint", "DocHelpWaypoint", "DocWaypoint.png" },
    { 'drot', "route", "DocRoute", "DocHelpRoute", "DocRoute.png" },
    { 'dtha', "hand", "DocHand", "DocHelpHand", "DocHand.png" },
    { 'dtzo', "zoom", "DocZoom", "DocHelpZoom", "DocZoom.png" },
    { 'dtrl', "ruler", "DocRuler", "DocHelpRuler", "DocRuler.png" },
    { 'dtno', "note", "DocNote", "DocHelpNote", "DocNote.png" },
    { 'dtre', "rectangle", "DocRectangle", "DocHelpRectangle", "DocRectangle.png" },
    { 'dtci', "circle", "DocCircle", "DocHelpCircle", "DocCircle.png" },
    { 'dtli', "line", "DocLine", "DocHelpLine", "DocLine.png" },
};

constexpr DocumentItem kCommandItems[] = {
    { 'insp', "inspector", "DocInspector", "DocHelpInspector", "DocInspector.png" },
    { 'ddev', "device", "DocDevice", "DocHelpDevice", "DocDevice.png" },
    { 'dsyn', "synchronise", "DocSynchronise", "DocHelpSynchronise", "DocSynchronise.png" },
};

constexpr UInt32 kInsetLeading = kHIToolbarItemAllowDuplicates | kHIToolbarItemCantBeRemoved
    | kHIToolbarItemAnchoredLeft | kHIToolbarItemLabelDisabled | kHIToolbarItemDisabled; // 103
constexpr UInt32 kInsetTrailing = kInsetLeading & ~UInt32(kHIToolbarItemAnchoredLeft); // 99
constexpr UInt32 kSearchFieldIcon = 2; // the search field's magnifier

CString ItemIdentifier(char const* suffix) { return CString(CToolbarDocument::kItemPrefix) + CString(suffix); }

CHIToolbarItemData InsetItem(char const* suffix, UInt32 options)
{
    CHIToolbarItemData inset;
    inset.mIdentifier = ItemIdentifier(suffix);
    inset.mViewCreator = &CToolbarDocument::CreateInsetView;
    inset.mOptions = options;
    inset.mInDefaultSet = true;
    return inset;
}

} // namespace

// Every identifier carries the prefix; the two spacers have one each, so that each is made
// with its own attributes.
OSStatus CToolbarDocument::CreateToolbar(HIObjectRef& ref)
{
    ref = nullptr;
    OSStatus const status = HIToolbarCreate(CString(kIdentifier).GetCFString(), kHIToolbarIsConfigurable, &ref);
    if (status != noErr)
        return status;
    CHIToolbarItemData search;
    search.mIdentifier = ItemIdentifier("search");
    search.mLabel = CTextUtilities::GetBundleString("DocSearch");
    search.mHelpTag = CTextUtilities::GetBundleString("DocHelpSearch");
    search.mViewCreator = &CToolbarDocument::CreateSearchView;
    search.mOptions = kHIToolbarItemLabelDisabled;
    search.mInDefaultSet = true;

    CHIToolbar::AddItem(InsetItem("inset", kInsetLeading));
    for (DocumentItem const& item : kToolItems)
        AddItem(item.command, ItemIdentifier(item.suffix), item.label, item.help, item.icon);
    AddFlexibleSpace(true);
    for (DocumentItem const& item : kCommandItems)
        AddItem(item.command, ItemIdentifier(item.suffix), item.label, item.help, item.icon);
    CHIToolbar::AddItem(search);
    CHIToolbar::AddItem(InsetItem("inset.trailing", kInsetTrailing));
    return noErr;
}

void CToolbarDocument::AddItem(
    UInt32 command, CString const& identifier, CString const& labelKey, CString const& helpKey, CString const& iconName)
{
    CFile const file = CFileUtilities::GetBundleResource(iconName, CString(), CString());
    CGImageRef image = CCoreGraphicsUtilities::LoadImage(file, CGSizeZero);
    if (!image)
        return;
    CHIToolbarItemData item;
    item.mCommand = command;
    item.mIdentifier = identifier;
    item.mLabel = CTextUtilities::GetBundleString(labelKey);
    item.mHelpTag = CTextUtilities::GetBundleString(helpKey);
    item.SetImage(image);
    item.mInDefaultSet = true;
    CGImageRelease(image);
    CHIToolbar::AddItem(item);
}

CHIView* CToolbarDocument::CreateInsetView(CHIToolbarItem const*)
{
    CGRect const frame = CGRectMake(0, 0, kSizeInset.width, kSizeInset.height);
    auto* view = new CHIView(CString("com.apple.hiview"), &frame);
    view->SetSizeConstraints(&kSizeInset, &kSizeInset);
    return view;
}

CHIView* CToolbarDocument::CreateSearchView(CHIToolbarItem const* item)
{
    auto* field = new CHISearchField(CGRectMake(0, 0, kSizeSearchMin.width, kSizeSearchMin.height), kSearchFieldIcon,
        nullptr, CString());
    field->SetSizeConstraints(&kSizeSearchMin, &kSizeSearchMax);
    if (auto* toolbar = item ? dynamic_cast<CToolbarDocument*>(item->GetHIToolbar()) : nullptr)
        field->AddListener(toolbar);
    return field;
}

CHISearchField* CToolbarDocument::GetSearch() const
{
    CFArrayRef items = nullptr;
    if (!GetHIObjectRef() || HIToolbarCopyItems(GetHIObjectRef(), &items) != noErr || !items)
        return nullptr;
    CString const wanted = ItemIdentifier("search");
    CHISearchField* search = nullptr;
    for (CFIndex i = 0; i < CFArrayGetCount(items) && !search; ++i) {
        auto const item = HIToolbarItemRef(CFArrayGetValueAtIndex(items, i));
        CFStringRef identifier = nullptr;
        if (HIToolbarItemCopyIdentifier(item, &identifier) != noErr || !identifier)
            continue;
        if (CString(identifier, false).EqualNoCase(wanted))
            if (HIViewRef view = HIToolbarItemGetView(item))
                search = dynamic_cast<CHISearchField*>(CHIViewUtilities::GetCHIView(view, false));
        CFRelease(identifier);
    }
    CFRelease(items);
    return search;
}

OSStatus CToolbarDocument::DoEventToolbarItemAdded(CCarbonEvent&)
{
    BroadcastMessage(kMsgItemsChanged, this);
    return eventNotHandledErr;
}

OSStatus CToolbarDocument::DoEventToolbarItemRemoved(CCarbonEvent&)
{
    BroadcastMessage(kMsgItemsChanged, this);
    return eventNotHandledErr;
}

// Items made while the customising sheet was open took the states of a window with a sheet.
OSStatus CToolbarDocument::DoEventToolbarEndMultiChange(CCarbonEvent&)
{
    BroadcastMessage(kMsgItemsChanged, this);
    return eventNotHandledErr;
}

// Only the field in the toolbar speaks for it: one taken out may live on a moment longer.
void CToolbarDocument::DoMessage(UInt32 message, void* parameter)
{
    if ((message == CHISearchField::kMsgTextChanged || message == CHISearchField::kMsgTextAccepted)
        && parameter == GetSearch())
        BroadcastMessage(message, parameter);
}
