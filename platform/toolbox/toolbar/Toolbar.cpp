#include "toolbox/toolbar/Toolbar.h"

#include "corefoundation/CFString.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/toolbar/ToolbarItem.h"

#include <algorithm>

namespace tw::toolbox::toolbar {

namespace {

    constexpr char kToolbarClassID[] = "com.apple.hitoolbar";

    ObjectClass* ToolbarClass()
    {
        static ObjectClass* cls = ObjectClass::Find(kToolbarClassID) ? ObjectClass::Find(kToolbarClassID)
                                                                     : ObjectClass::Add(kToolbarClassID, nullptr);
        return cls;
    }

    struct Standard {
        char const* identifier;
        OptionBits attributes;
        char16_t const* label;
        MenuCommand command;
    };

    // The items the toolbar makes itself when no handler makes them.
    constexpr Standard kStandardItems[] = {
        { kHIToolbarSeparatorIdentifier, kHIToolbarItemIsSeparator | kHIToolbarItemAllowDuplicates, u"", 0 },
        { kHIToolbarSpaceIdentifier, kHIToolbarItemAllowDuplicates, u"", 0 },
        { kHIToolbarFlexibleSpaceIdentifier, kHIToolbarItemAllowDuplicates, u"", 0 },
        { kHIToolbarCustomizeIdentifier, 0, u"Customize", kHICommandCustomizeToolbar },
        { kHIToolbarPrintItemIdentifier, 0, u"Print", kHICommandPrint },
        { kHIToolbarFontsItemIdentifier, 0, u"Fonts", kHICommandShowHideFontPanel },
    };

} // namespace

Toolbar::Toolbar(std::string identifier, OptionBits attributes)
    : HIObject(ToolbarClass(), events::Target::Kind::HIObject)
    , mIdentifier(std::move(identifier))
    , mIdentifierString(cf::CreateString(mIdentifier))
    , mAttributes(attributes)
{
}

Toolbar* Toolbar::From(HIToolbarRef ref)
{
    HIObject* live = HIObject::Live(ref);
    return live ? dynamic_cast<Toolbar*>(live) : nullptr;
}

// A shown strip takes its new height: the window grows or shrinks by the difference and
// its content keeps its size.
void Toolbar::SetDisplayMode(HIToolbarDisplayMode mode)
{
    double const before = GetHeight();
    mDisplayMode = mode == kHIToolbarDisplayModeDefault ? kHIToolbarDisplayModeIconAndLabel : mode;
    Window* window = GetWindow();
    View* strip = GetStrip();
    if (window && strip && strip->IsVisibleFlag() && GetHeight() != before) {
        View* content = window->GetContentView();
        CGRect const contentFrame = content->GetFrame();
        CGRect structure = window->GetStructure();
        structure.size.height += GetHeight() - before;
        window->SetToolbarHeight(GetHeight());
        strip->SetFrame({ { 0, window->GetTitleBarHeight() }, { structure.size.width, GetHeight() } });
        window->SetStructure(structure);
        content->SetFrame({ { 0, window->GetContentTop() }, contentFrame.size });
        window->InvalidateRect({ { 0, 0 }, structure.size });
    }
    Changed();
}

std::vector<std::string> Toolbar::AskIdentifiers(EventKind kind)
{
    std::vector<std::string> identifiers;
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassToolbar, kind, GetCurrentEventTime(), 0, &event) != noErr)
        return identifiers;
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    HIToolbarRef self = this;
    SetEventParameter(event, kEventParamToolbar, typeHIToolbarRef, sizeof self, &self);
    SetEventParameter(event, kEventParamMutableArray, typeCFMutableArrayRef, sizeof array, &array);
    SendEventToEventTargetWithOptions(event, &GetTarget(), kEventTargetDontPropagate);
    ReleaseEvent(event);
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
        auto const* value = static_cast<cf::Object const*>(CFArrayGetValueAtIndex(array, i));
        if (auto const* string = dynamic_cast<cf::String const*>(value))
            identifiers.push_back(cf::ToUTF8(string));
    }
    CFRelease(array);
    return identifiers;
}

void Toolbar::Populate()
{
    if (mPopulated || IsDisposed())
        return;
    mPopulated = true;
    Protector protect(this);
    for (std::string const& identifier : AskIdentifiers(kEventToolbarGetDefaultIdentifiers)) {
        CFStringRef string = cf::CreateString(identifier);
        ToolbarItem* item = IsDisposed() ? nullptr : CreateItem(string);
        CFRelease(string);
        if (!item)
            continue;
        Insert(item, mItems.size());
        item->Release();
    }
}

std::vector<std::string> Toolbar::GetAllowedIdentifiers()
{
    std::vector<std::string> allowed = AskIdentifiers(kEventToolbarGetAllowedIdentifiers);
    return allowed.empty() ? GetDefaultIdentifiers() : allowed;
}

void Toolbar::ResetToDefault()
{
    Protector protect(this);
    while (!mItems.empty() && !IsDisposed())
        Remove(mItems.size() - 1);
    mPopulated = false;
    Populate();
}

void Toolbar::SetCustomizing(bool customizing)
{
    bool const ended = mCustomizing && !customizing;
    mCustomizing = customizing;
    if (View* strip = GetStrip())
        strip->Invalidate();
    if (ended)
        Announce(kEventToolbarEndMultiChange, nullptr, 0);
}

ToolbarItem* Toolbar::CreateItem(CFStringRef identifier)
{
    if (!identifier || IsDisposed())
        return nullptr;
    EventRef event = nullptr;
    if (CreateEvent(
            nullptr, kEventClassToolbar, kEventToolbarCreateItemWithIdentifier, GetCurrentEventTime(), 0, &event)
        != noErr)
        return nullptr;
    HIToolbarRef self = this;
    SetEventParameter(event, kEventParamToolbar, typeHIToolbarRef, sizeof self, &self);
    SetEventParameter(event, kEventParamToolbarItemIdentifier, typeCFStringRef, sizeof identifier, &identifier);
    SendEventToEventTargetWithOptions(event, &GetTarget(), kEventTargetDontPropagate);
    HIToolbarItemRef ref = nullptr;
    GetEventParameter(event, kEventParamToolbarItem, typeHIToolbarItemRef, nullptr, sizeof ref, nullptr, &ref);
    ReleaseEvent(event);
    // The handler's new item comes with the reference it was made with.
    if (ToolbarItem* item = ToolbarItem::From(ref))
        return item;
    std::string const id = cf::ToUTF8(identifier);
    for (Standard const& standard : kStandardItems) {
        if (id != standard.identifier)
            continue;
        auto* item = new ToolbarItem(id, standard.attributes);
        item->SetLabel(standard.label);
        item->SetCommand(standard.command);
        return item;
    }
    return nullptr;
}

OSStatus Toolbar::Insert(ToolbarItem* item, std::size_t index)
{
    if (!item || item->IsDisposed() || item->GetToolbar() || IsDisposed())
        return paramErr;
    if (!(item->GetAttributes() & kHIToolbarItemAllowDuplicates)) {
        for (ToolbarItem* other : mItems) {
            if (other->GetIdentifier() == item->GetIdentifier())
                return paramErr;
        }
    }
    item->Retain();
    item->SetToolbar(this);
    std::size_t const at = std::min(index, mItems.size());
    mItems.insert(mItems.begin() + static_cast<std::ptrdiff_t>(at), item);
    Changed();
    Announce(kEventToolbarItemAdded, item, at);
    return noErr;
}

OSStatus Toolbar::Remove(std::size_t index)
{
    if (index >= mItems.size())
        return paramErr;
    ToolbarItem* item = mItems[index];
    mItems.erase(mItems.begin() + static_cast<std::ptrdiff_t>(index));
    item->SetToolbar(nullptr);
    // An item that never showed its view has none to take away (asking would make one).
    if (View* view = item->PeekView())
        view->RemoveFromParent();
    Changed();
    // The handlers hear of the item while it still lives: whoever kept its view lets go now.
    Announce(kEventToolbarItemRemoved, item, index);
    item->Release();
    return noErr;
}

void Toolbar::Announce(EventKind kind, ToolbarItem* item, std::size_t index)
{
    EventRef event = nullptr;
    if (IsDisposed() || CreateEvent(nullptr, kEventClassToolbar, kind, GetCurrentEventTime(), 0, &event) != noErr)
        return;
    Protector protect(this);
    HIToolbarRef self = this;
    SetEventParameter(event, kEventParamToolbar, typeHIToolbarRef, sizeof self, &self);
    if (item) {
        item->Retain();
        HIToolbarItemRef ref = item;
        auto const at = SInt32(index);
        SetEventParameter(event, kEventParamToolbarItem, typeHIToolbarItemRef, sizeof ref, &ref);
        SetEventParameter(event, kEventParamIndex, typeSInt32, sizeof at, &at);
    }
    SendEventToEventTargetWithOptions(event, &GetTarget(), kEventTargetDontPropagate);
    ReleaseEvent(event);
    if (item)
        item->Release();
}

Window* Toolbar::GetWindow() const { return mWindow.Get(); }

void Toolbar::Attach(Window* window, View* strip)
{
    mWindow.Reset(window);
    mStrip.Reset(strip);
    Changed();
}

double Toolbar::GetHeight() const
{
    switch (mDisplayMode) {
    case kHIToolbarDisplayModeIconOnly:
        return 44;
    case kHIToolbarDisplayModeLabelOnly:
        return 28;
    default:
        return 58;
    }
}

void Toolbar::ReleaseContents()
{
    // The items go with their toolbar: their handlers hear the dispose and let go of their wrappers.
    std::vector<ToolbarItem*> items;
    items.swap(mItems);
    for (ToolbarItem* item : items) {
        item->SetToolbar(nullptr);
        item->Dispose();
        item->Release();
    }
    if (mIdentifierString)
        CFRelease(mIdentifierString);
    mIdentifierString = nullptr;
}

} // namespace tw::toolbox::toolbar
