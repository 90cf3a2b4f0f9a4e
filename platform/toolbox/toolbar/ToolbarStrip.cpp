#include "toolbox/toolbar/ToolbarStrip.h"

#include "corefoundation/CFString.h"
#include "quartz/HITheme.h"
#include "quartz/HIViewDrawing.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/Window.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/toolbar/ToolbarCustomize.h"
#include "toolbox/toolbar/ToolbarItem.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox::toolbar {

namespace {

    using controls::ControlTheme;

    constexpr OSType kStripCreator = 'twtb'; // property ('twtb', 'strp'): the strip behaviour of a view
    constexpr CGFloat kIconSize = 32; // [px]
    constexpr CGFloat kLabelHeight = 14; // [px]
    constexpr CGFloat kTop = 5; // [px] above the icons
    constexpr UInt16 kLabelFont = kThemeSmallSystemFont;
    constexpr CGFloat kMinimumReveal = 24; // [px] the least an item asked for through the chevron is given

    constexpr EventTypeSpec kEvents[] = {
        { kEventClassControl, kEventControlDraw },
        { kEventClassControl, kEventControlHitTest },
        { kEventClassControl, kEventControlTrack },
        { kEventClassControl, kEventControlBoundsChanged },
        { kEventClassHIObject, kEventHIObjectDestruct },
    };

    CGFloat LabelWidth(std::u16string const& label)
    {
        if (label.empty())
            return 0;
        CFStringRef string = cf::CreateString(cf::UTF16ToUTF8(label));
        CGFloat const width = ControlTheme::TextWidth(string, kLabelFont);
        CFRelease(string);
        return std::ceil(width);
    }

    // The view's size limits as its handlers give them; its frame size when none answers.
    void SizeLimits(View* view, CGSize* minimum, CGSize* maximum)
    {
        *minimum = *maximum = view->GetFrame().size;
        EventRef event = nullptr;
        if (CreateEvent(nullptr, kEventClassControl, kEventControlGetSizeConstraints, GetCurrentEventTime(), 0, &event)
            != noErr)
            return;
        ControlRef ref = view;
        SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof ref, &ref);
        if (SendEventToEventTargetWithOptions(event, &view->GetTarget(), kEventTargetDontPropagate) == noErr) {
            GetEventParameter(event, 'mnsz', typeHISize, nullptr, sizeof *minimum, nullptr, minimum);
            GetEventParameter(event, 'mxsz', typeHISize, nullptr, sizeof *maximum, nullptr, maximum);
            if (maximum->width < minimum->width)
                maximum->width = minimum->width;
        }
        ReleaseEvent(event);
    }

} // namespace

ToolbarStrip::ToolbarStrip(View* view, Toolbar* toolbar)
    : Behaviour(view)
    , mToolbar(toolbar)
{
}

View* ToolbarStrip::Make(Toolbar* toolbar)
{
    auto* view = new View(ObjectClass::Find("com.apple.hiview"));
    auto* strip = new ToolbarStrip(view, toolbar);
    controls::InstallBehaviour(view, strip, std::size(kEvents), kEvents);
    view->SetProperty(kStripCreator, 'strp', sizeof strip, &strip);
    return view;
}

ToolbarStrip* ToolbarStrip::Find(View* view)
{
    ToolbarStrip* strip = nullptr;
    if (!view || view->GetProperty(kStripCreator, 'strp', sizeof strip, nullptr, &strip) != noErr)
        return nullptr;
    return strip;
}

CGFloat ToolbarStrip::BaseWidth(ToolbarItem* item, CGFloat* outMaximum) const
{
    Toolbar* toolbar = mToolbar.Get();
    HIToolbarDisplayMode const mode = toolbar ? toolbar->GetDisplayMode() : kHIToolbarDisplayModeIconAndLabel;
    CGFloat width = 0;
    if (item->IsSeparator())
        width = 12;
    else if (item->IsSpace())
        width = kIconSize;
    else if (item->IsFlexibleSpace())
        width = 8;
    else if (View* view = item->GetView()) {
        CGSize minimum {}, maximum {};
        SizeLimits(view, &minimum, &maximum);
        *outMaximum = maximum.width;
        return minimum.width;
    } else {
        CGFloat const label = mode == kHIToolbarDisplayModeIconOnly ? 0 : LabelWidth(item->GetLabel());
        width = mode == kHIToolbarDisplayModeLabelOnly ? label + 12 : std::max(kIconSize + 8, label + 8);
    }
    *outMaximum = width;
    return width;
}

std::vector<ToolbarStrip::Slot> ToolbarStrip::Layout() const
{
    bool overflow = false;
    return Arrange(&overflow);
}

// Without room for every item, the chevron takes its place at the right end first.
std::vector<ToolbarStrip::Slot> ToolbarStrip::Arrange(bool* outOverflow) const
{
    bool complete = true;
    CGFloat const width = mView->GetBounds().size.width;
    std::vector<Slot> slots = LayoutWithin(width, &complete);
    *outOverflow = !complete;
    if (!complete)
        slots = LayoutWithin(width - kChevronWidth - kSpacing, &complete);
    return slots;
}

CGRect ToolbarStrip::ChevronFrame() const
{
    bool complete = true;
    LayoutWithin(mView->GetBounds().size.width, &complete);
    return ChevronFrame(!complete);
}

CGRect ToolbarStrip::ChevronFrame(bool overflow) const
{
    if (!overflow)
        return CGRectZero;
    CGRect const b = mView->GetBounds();
    return { { CGRectGetMaxX(b) - kMargin - kChevronWidth, b.origin.y }, { kChevronWidth, b.size.height } };
}

std::vector<ToolbarItem*> ToolbarStrip::HiddenItems() const
{
    std::vector<ToolbarItem*> hidden;
    Toolbar* toolbar = mToolbar.Get();
    if (!toolbar)
        return hidden;
    std::vector<Slot> const shown = Layout();
    for (ToolbarItem* item : toolbar->GetItems()) {
        if (std::none_of(shown.begin(), shown.end(), [item](Slot const& s) { return s.item == item; }))
            hidden.push_back(item);
    }
    return hidden;
}

std::vector<ToolbarStrip::Slot> ToolbarStrip::LayoutWithin(CGFloat room, bool* outComplete) const
{
    std::vector<Slot> slots;
    *outComplete = true;
    Toolbar* toolbar = mToolbar.Get();
    if (!toolbar)
        return slots;
    CGRect const b = mView->GetBounds();
    std::vector<ToolbarItem*> const& items = toolbar->GetItems();
    std::vector<CGFloat> base(items.size()), top(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        base[i] = BaseWidth(items[i], &top[i]);
    // Short of room, the buttons go first, from the right: an item with a view of its own (a
    // search field) stays in the strip as long as it fits, and one the user asked for through
    // the chevron comes before all.
    // Nothing is drawn over the chevron: an item without room is left out, but for the one
    // asked for, which narrows to the room there is.
    std::vector<bool> shown(items.size(), false);
    std::size_t taken = 0;
    CGFloat used = 2 * kMargin;
    auto const take = [&](std::size_t i) {
        CGFloat const spacing = taken == 0 ? 0 : kSpacing;
        if (used + spacing + base[i] > room)
            return false;
        used += spacing + base[i];
        shown[i] = true;
        ++taken;
        return true;
    };
    ToolbarItem* const revealed = mRevealed.Get();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] != revealed || take(i) || room - used < kMinimumReveal)
            continue;
        base[i] = top[i] = room - used;
        take(i);
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (shown[i] || (items[i]->PeekView() != nullptr) != (pass == 0))
                continue;
            if (!take(i))
                break;
        }
    }
    *outComplete = taken == items.size();
    std::vector<CGFloat> widths, maxima;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!shown[i])
            continue;
        slots.push_back({ items[i], {} });
        widths.push_back(base[i]);
        maxima.push_back(top[i]);
    }
    // The room left over grows the views that can grow, then the flexible spaces.
    CGFloat extra = std::max<CGFloat>(0, room - used);
    for (std::size_t i = 0; i < slots.size() && extra > 0; ++i) {
        CGFloat const grow = std::min(extra, std::max<CGFloat>(0, maxima[i] - widths[i]));
        widths[i] += grow;
        extra -= grow;
    }
    auto const flexible
        = std::count_if(slots.begin(), slots.end(), [](Slot const& s) { return s.item->IsFlexibleSpace(); });
    CGFloat x = b.origin.x + kMargin;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].item->IsFlexibleSpace() && flexible > 0)
            widths[i] += std::floor(extra / static_cast<CGFloat>(flexible));
        slots[i].frame = { { x, b.origin.y }, { widths[i], b.size.height } };
        x += widths[i] + kSpacing;
    }
    return slots;
}

void ToolbarStrip::PlaceViews()
{
    Toolbar* toolbar = mToolbar.Get();
    if (!toolbar)
        return;
    std::vector<Slot> const slots = Layout();
    // Under an icon row a view sits where an icon would; otherwise it is centred in the strip.
    bool const labels = toolbar->GetDisplayMode() == kHIToolbarDisplayModeIconAndLabel;
    for (ToolbarItem* item : toolbar->GetItems()) {
        View* view = item->GetView();
        if (!view)
            continue;
        if (view->GetParent() != mView)
            mView->AddChild(view);
        auto const slot = std::find_if(slots.begin(), slots.end(), [&](Slot const& s) { return s.item == item; });
        view->SetVisible(slot != slots.end());
        if (slot == slots.end())
            continue;
        // The view sits where an icon would, its label below it.
        CGFloat const height = std::min(view->GetFrame().size.height, mView->GetBounds().size.height);
        CGFloat const area = labels ? kTop + kIconSize : mView->GetBounds().size.height;
        CGFloat const y = labels ? kTop + std::floor((kIconSize - height) / 2) : std::floor((area - height) / 2);
        view->SetFrame({ { slot->frame.origin.x, y }, { slot->frame.size.width, height } });
    }
    PlaceHelp(slots);
    mView->Invalidate();
}

void ToolbarStrip::PlaceHelp(std::vector<Slot> const& slots)
{
    for (WeakRef<View> const& old : mHelpViews) {
        if (View* view = old.Get(); view && view->GetParent() == mView)
            view->RemoveFromParent();
    }
    mHelpViews.clear();
    for (Slot const& slot : slots) {
        ToolbarItem* item = slot.item;
        if (item->GetHelp().empty() || item->GetView())
            continue;
        // A plain view takes no clicks: they reach the strip below it.
        auto* help = new View(ObjectClass::Find("com.apple.hiview"));
        help->SetFrame(slot.frame);
        HMHelpContentRec content {};
        content.version = kMacHelpVersion;
        content.content[kHMMinimumContentIndex].contentType = kHMCFStringContent;
        content.content[kHMMinimumContentIndex].u.tagCFString = cf::CreateString(cf::UTF16ToUTF8(item->GetHelp()));
        help->SetHelp(content);
        CFRelease(content.content[kHMMinimumContentIndex].u.tagCFString);
        mView->AddChild(help);
        help->Release();
        mHelpViews.emplace_back(help);
    }
}

OSStatus ToolbarStrip::Draw(CGContextRef c)
{
    CGRect const b = mView->GetBounds();
    CGContextSetGrayFillColor(c, 0.9, 1);
    CGContextFillRect(c, b);
    CGContextSetGrayFillColor(c, 0.66, 1);
    CGContextFillRect(c, { { b.origin.x, CGRectGetMaxY(b) - 1 }, { b.size.width, 1 } });
    bool overflow = false;
    for (Slot const& slot : Arrange(&overflow))
        DrawItem(c, slot, slot.item == mPressed);
    CGRect const chevron = ChevronFrame(overflow);
    if (!CGRectIsEmpty(chevron)) {
        CFStringRef text = cf::CreateString("\u00bb");
        ControlTheme::DrawText(c, text, chevron, kThemeSystemFont, 1, mView->IsActive());
        CFRelease(text);
    }
    return noErr;
}

// The items without room, as a menu under the chevron; the chosen one does its action.
void ToolbarStrip::ShowOverflowMenu()
{
    Window* window = mView->GetWindow();
    if (!window)
        return;
    MenuRef menu = nullptr;
    if (CreateNewMenu(0, 0, &menu) != noErr)
        return;
    std::vector<ToolbarItem*> entries;
    for (ToolbarItem* item : HiddenItems()) {
        if (item->IsSeparator() || item->IsSpace() || item->IsFlexibleSpace() || item->GetLabel().empty())
            continue;
        CFStringRef title = cf::CreateString(cf::UTF16ToUTF8(item->GetLabel()));
        AppendMenuItemTextWithCFString(menu, title, 0, 0, nullptr);
        CFRelease(title);
        entries.push_back(item);
        if (!item->IsEnabled())
            DisableMenuItem(menu, MenuItemIndex(entries.size()));
    }
    if (entries.empty()) {
        ReleaseMenu(menu);
        return;
    }
    for (ToolbarItem* item : entries)
        item->Retain();
    CGRect const chevron = ChevronFrame();
    CGPoint const at = mView->ToWindow({ chevron.origin.x, CGRectGetMaxY(chevron) });
    CGRect const structure = window->GetStructure();
    SInt32 const chosen = PopUpMenuSelect(
        menu, short(at.y + structure.origin.y), short(at.x + structure.origin.x), 0);
    ReleaseMenu(menu);
    MenuItemIndex const index = MenuItemIndex(chosen & 0xffff);
    if (index >= 1 && index <= entries.size()) {
        ToolbarItem* item = entries[index - 1];
        if (item->GetToolbar() && item->IsEnabled())
            Choose(item);
    }
    for (ToolbarItem* item : entries)
        item->Release();
}

// A button does its action; an item with a view (a search field) is brought into the strip,
// before the others, and takes the keyboard focus, ready for typing.
void ToolbarStrip::Choose(ToolbarItem* item)
{
    View* view = item->PeekView();
    if (!view) {
        item->Perform();
        return;
    }
    mRevealed.Reset(item);
    PlaceViews();
    if (Window* window = mView->GetWindow())
        SetKeyboardFocus(window, view, kControlFocusNextPart);
}

void ToolbarStrip::DrawItem(CGContextRef c, Slot const& slot, bool pressed)
{
    ToolbarItem* item = slot.item;
    CGRect const r = slot.frame;
    if (item->IsSeparator()) {
        CGContextSetGrayFillColor(c, 0.6, 1);
        CGContextFillRect(c, { { std::floor(CGRectGetMidX(r)), r.origin.y + 6 }, { 1, r.size.height - 12 } });
        return;
    }
    if (item->IsSpace() || item->IsFlexibleSpace())
        return;
    Toolbar* toolbar = mToolbar.Get();
    HIToolbarDisplayMode const mode = toolbar ? toolbar->GetDisplayMode() : kHIToolbarDisplayModeIconAndLabel;
    bool const enabled = item->IsEnabled() && mView->IsActive();
    if (pressed || (item->GetAttributes() & kHIToolbarItemSelected)) {
        ControlTheme::RoundedRectPath(c, CGRectInset(r, 0, 2), 5);
        CGContextSetGrayFillColor(c, 0, pressed ? 0.18 : 0.1);
        CGContextFillPath(c);
    }
    CGRect label = { { r.origin.x, r.origin.y + kTop + kIconSize + 2 }, { r.size.width, kLabelHeight } };
    if (mode == kHIToolbarDisplayModeLabelOnly)
        label = r;
    else if (!item->GetView()) {
        CGRect const icon
            = { { std::floor(CGRectGetMidX(r) - kIconSize / 2), r.origin.y + kTop }, { kIconSize, kIconSize } };
        if (CGImageRef image = item->GetImage()) {
            CGContextSaveGState(c);
            if (!enabled)
                CGContextSetAlpha(c, 0.4);
            HIViewDrawCGImage(c, &icon, image);
            CGContextRestoreGState(c);
        }
    }
    if (mode == kHIToolbarDisplayModeIconOnly || item->GetLabel().empty())
        return;
    CFStringRef text = cf::CreateString(cf::UTF16ToUTF8(item->GetLabel()));
    bool const labelEnabled = enabled && !(item->GetAttributes() & kHIToolbarItemLabelDisabled);
    ControlTheme::DrawText(c, text, label, kLabelFont, 1, labelEnabled);
    CFRelease(text);
}

std::size_t ToolbarStrip::IndexAt(CGFloat x) const
{
    Toolbar* toolbar = mToolbar.Get();
    if (!toolbar)
        return 0;
    std::vector<ToolbarItem*> const& items = toolbar->GetItems();
    for (Slot const& slot : Layout()) {
        if (x < CGRectGetMidX(slot.frame)) {
            auto const it = std::find(items.begin(), items.end(), slot.item);
            return std::size_t(it - items.begin());
        }
    }
    // Past the last item shown: before a trailing fixed inset, else at the end.
    std::size_t index = items.size();
    while (index > 0 && (items[index - 1]->GetAttributes() & kHIToolbarItemCantBeRemoved))
        --index;
    return index;
}

// Customising: an item dragged along the strip moves there; dragged out of it, it goes,
// unless the toolbar cannot do without it.
OSStatus ToolbarStrip::TrackCustomizing(ToolbarItem* item)
{
    View* const view = mView;
    Protector protect(view);
    Protector protectItem(item);
    HIPoint p {};
    if (!TrackRelease(view, &p))
        return noErr;
    Toolbar* toolbar = mToolbar.Get();
    if (!toolbar || item->GetToolbar() != toolbar)
        return noErr;
    std::vector<ToolbarItem*> const& items = toolbar->GetItems();
    std::size_t const from = std::size_t(std::find(items.begin(), items.end(), item) - items.begin());
    if (!CGRectContainsPoint(mView->GetBounds(), p)) {
        if (!(item->GetAttributes() & kHIToolbarItemCantBeRemoved))
            toolbar->Remove(from);
        return noErr;
    }
    if (item->GetAttributes() & kHIToolbarItemAnchoredLeft)
        return noErr;
    std::size_t to = IndexAt(p.x);
    if (to == from || to == from + 1)
        return noErr;
    item->Retain();
    toolbar->Remove(from);
    toolbar->Insert(item, to > from ? to - 1 : to);
    item->Release();
    return noErr;
}

ControlPartCode ToolbarStrip::HitTest(CGPoint p)
{
    return CGRectContainsPoint(mView->GetBounds(), p) ? 1 : kControlNoPart;
}

OSStatus ToolbarStrip::Track(EventHandlerCallRef, EventRef event)
{
    HIPoint p {};
    GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof p, nullptr, &p);
    ControlPartCode const none = kControlNoPart;
    SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof none, &none);
    auto const over = [this](CGPoint at) -> ToolbarItem* {
        for (Slot const& slot : Layout()) {
            if (CGRectContainsPoint(slot.frame, at))
                return slot.item;
        }
        return nullptr;
    };
    UInt32 const clickModifiers = [&] {
        UInt32 value = 0;
        GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof value, nullptr, &value);
        return value;
    }();
    EventMouseButton button = 1;
    GetEventParameter(event, kEventParamMouseButton, typeMouseButton, nullptr, sizeof button, nullptr, &button);
    if (button == 2 || (clickModifiers & controlKey)) {
        CGPoint const inWindow = mView->ToWindow(p);
        Window* window = mView->GetWindow();
        if (window)
            ShowToolbarMenu(mToolbar.Get(),
                { inWindow.x + window->GetStructure().origin.x, inWindow.y + window->GetStructure().origin.y });
        return noErr;
    }
    if (CGRectContainsPoint(ChevronFrame(), p)) {
        if (mToolbar.Get() && !mToolbar.Get()->IsCustomizing())
            ShowOverflowMenu();
        return noErr;
    }
    ToolbarItem* item = over(p);
    if (item && mToolbar.Get() && mToolbar.Get()->IsCustomizing())
        return TrackCustomizing(item);
    if (!item || !item->IsEnabled() || item->IsSeparator() || item->IsSpace() || item->IsFlexibleSpace())
        return noErr;
    View* const view = mView;
    Protector protect(view);
    Protector protectItem(item);
    mPressed = item;
    view->Invalidate();
    UInt32 modifiers = 0;
    MouseTrackingResult result = kMouseTrackingMouseDown;
    bool inside = true;
    while (result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled) {
        if (HIViewTrackMouseLocation(view, 0, kEventDurationForever, &p, &modifiers, &result) != noErr
            || view->IsDisposed())
            return noErr;
        inside = result != kMouseTrackingUserCancelled && over(p) == item;
        ToolbarItem* const shown = inside ? item : nullptr;
        if (shown != mPressed) {
            mPressed = shown;
            view->Invalidate();
        }
    }
    mPressed = nullptr;
    view->Invalidate();
    if (inside && item->GetToolbar())
        item->Perform();
    return noErr;
}

void Toolbar::Changed()
{
    if (View* strip = GetStrip()) {
        if (ToolbarStrip* behaviour = ToolbarStrip::Find(strip))
            behaviour->PlaceViews();
    }
}

} // namespace tw::toolbox::toolbar
