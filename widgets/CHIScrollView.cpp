#include "widgets/CHIScrollView.h"

#include "framework/CCarbonEvent.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CHIViewUtilities.h"

#include <new>

namespace {

struct KeyFlags {
    UInt32 keyCode;
    UInt32 plain;
    UInt32 withCommand;
};

constexpr KeyFlags kKeys[] = {
    { 115, 5, 5 }, // Home: to the top and the left
    { 116, 16, 64 }, // Page Up (left)
    { 119, 10, 10 }, // End: to the bottom and the right
    { 121, 32, 128 }, // Page Down (right)
    { 125, CHIScrollView::kNavigateLineDown, CHIScrollView::kNavigateLineRight },
    { 126, CHIScrollView::kNavigateLineUp, CHIScrollView::kNavigateLineLeft },
};

// The content's geometry in image units.
struct Geometry {
    CGPoint origin;
    CGSize image;
    CGSize line;
    CGSize view;
};

Geometry GeometryOf(CHIView* content)
{
    CGSize const bounds = content->GetBounds().size;
    float const zoom = content->GetImageZoom() > 0 ? content->GetImageZoom() : 1.0f;
    return { content->GetImageOrigin(), content->GetImageSize(), content->GetScrollLineSize(),
        { bounds.width / zoom, bounds.height / zoom } };
}

} // namespace

CHIScrollView::CHIScrollView(HIObjectRef object)
    : CHIView(object)
{
    InitialiseSelf(0);
}

void CHIScrollView::InitialiseSelf(UInt32 options)
{
    if (GetHIViewRef())
        return;
    HIViewRef view = nullptr;
    if (HIScrollViewCreate(options, &view) != noErr)
        return;
    mOwnsReference = true;
    SetHIViewRef(view);
    HIViewSetVisible(view, true);
}

OSStatus CHIScrollView::Create(HIObjectRef object, CHIObject** outObject)
{
    *outObject = nullptr;
    auto* wrapper = new (std::nothrow) CHIScrollView(object);
    if (!wrapper)
        return memFullErr;
    *outObject = wrapper;
    return noErr;
}

CHIView* CHIScrollView::GetContent() const
{
    for (UInt16 i = 1; i <= GetSubHIViewCount(); ++i) {
        CHIView* sub = GetSubHIView(i);
        if (!sub)
            continue;
        CCarbonEvent info(kEventClassScrollable, kEventScrollableGetInfo);
        if (info.SendToControl(sub->GetHIViewRef()) == noErr)
            return sub;
    }
    return nullptr;
}

// Line moves may reach either end: the content's origin clamps to its image.
bool CHIScrollView::CanNavigate(UInt32 flags) const
{
    CHIView* content = GetContent();
    if (!content || !(flags & kNavigateOwnFlags))
        return HIScrollViewCanNavigate(GetHIViewRef(), flags & ~UInt32(kNavigateOwnFlags));
    Geometry const g = GeometryOf(content);
    if (flags & kNavigateLineUp)
        return g.origin.y > 0;
    if (flags & kNavigateLineDown)
        return g.origin.y + g.view.height < g.image.height;
    if (flags & kNavigateLineLeft)
        return g.origin.x > 0;
    if (flags & kNavigateLineRight)
        return g.origin.x + g.view.width < g.image.width;
    return true; // the ends are always reachable
}

void CHIScrollView::Navigate(UInt32 flags)
{
    CHIView* content = GetContent();
    if (content && (flags & kNavigateOwnFlags)) {
        Geometry const g = GeometryOf(content);
        CGPoint p = g.origin;
        if ((flags & kNavigateLineUp) && CanNavigate(kNavigateLineUp))
            p.y -= g.line.height;
        if ((flags & kNavigateLineDown) && CanNavigate(kNavigateLineDown))
            p.y += g.line.height;
        if ((flags & kNavigateLineLeft) && CanNavigate(kNavigateLineLeft))
            p.x -= g.line.width;
        if ((flags & kNavigateLineRight) && CanNavigate(kNavigateLineRight))
            p.x += g.line.width;
        if (flags & kNavigateRightEnd)
            p.x = g.image.width - g.view.width;
        if (flags & kNavigateBottomEnd)
            p.y = g.image.height - g.view.height;
        content->SetImageOrigin(p, true);
    }
    if (UInt32 const system = flags & ~UInt32(kNavigateOwnFlags))
        HIScrollViewNavigate(GetHIViewRef(), system);
}

OSStatus CHIScrollView::Navigate(CCarbonEvent& event)
{
    if (!event.IsClass(kEventClassKeyboard) || (!event.IsKind(kEventRawKeyDown) && !event.IsKind(kEventRawKeyRepeat)))
        return eventNotHandledErr;
    UInt32 const code = event.GetKeyCode();
    bool const command = (event.GetKeyModifiers() & cmdKey) != 0;
    for (KeyFlags const& key : kKeys) {
        if (key.keyCode == code) {
            Navigate(command ? key.withCommand : key.plain);
            return noErr;
        }
    }
    return eventNotHandledErr;
}
