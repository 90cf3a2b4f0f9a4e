#include "widgets/CScrollableView.h"

#include "framework/CCarbonEvent.h"
#include "toolbox/HIViewCalls.h"
#include "widgets/CHIScrollView.h"

#include <algorithm>

CScrollableView::CScrollableView(HIObjectRef view)
    : CHIView(view)
{
    AddEvent(kEventClassKeyboard, kEventRawKeyDown);
    AddEvent(kEventClassKeyboard, kEventRawKeyRepeat);
    AddEvent(kEventClassScrollable, kEventScrollableGetInfo);
    AddEvent(kEventClassScrollable, kEventScrollableScrollTo);
    SetPartCodes({ kControlIndicatorPart });
    HIViewChangeFeatures(GetHIViewRef(), kHIViewFeatureGetsFocusOnClick, 0);
}

OSStatus CScrollableView::Register()
{
    return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("net.pellmar.CScrollableView"), Create);
}

OSStatus CScrollableView::Create(HIObjectRef object, CHIObject** outObject)
{
    *outObject = new CScrollableView(object);
    return *outObject ? noErr : memFullErr;
}

// The scroll view wrapper arrives with the scroll view's own Part; until then no super view qualifies.
CHIView* CScrollableView::GetScrollView() const
{
    HIViewRef parent = GetSuperView();
    return parent && HIObjectIsOfClass(reinterpret_cast<HIObjectRef>(parent), CFSTR("com.apple.HIScrollView"))
        ? GetSuperHIView()
        : nullptr;
}

// The scroll view's wrapper navigates: the system scroll view alone knows only Home, End and the
// page keys, while the wrapper moves the content line by line for the arrows.
OSStatus CScrollableView::NavigateScrollView(CCarbonEvent& event)
{
    CHIView* scroll = GetScrollView();
    if (auto* wrapper = dynamic_cast<CHIScrollView*>(scroll))
        return wrapper->Navigate(event);
    if (!scroll)
        return eventNotHandledErr;
    return event.SendToControl(scroll->GetHIViewRef());
}

CGRect CScrollableView::GetVisibleContent()
{
    CCarbonEvent info = GetScrollInfo();
    CGRect visible { info.GetScrollOrigin(), info.GetScrollViewSize() };
    CGRect const content = GetZoomContent();
    visible.size.width = std::min(visible.size.width, content.size.width);
    visible.size.height = std::min(visible.size.height, content.size.height);
    if (content.origin.x != 0) {
        visible.origin.x = 0;
        visible.size.width = content.size.width;
    }
    if (content.origin.y != 0) {
        visible.origin.y = 0;
        visible.size.height = content.size.height;
    }
    return visible;
}

OSStatus CScrollableView::DoEventRawKeyDown(CCarbonEvent& event) { return NavigateScrollView(event); }
OSStatus CScrollableView::DoEventRawKeyRepeat(CCarbonEvent& event) { return NavigateScrollView(event); }
