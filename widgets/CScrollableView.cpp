#include "widgets/CScrollableView.h"

#include "framework/CCarbonEvent.h"
#include "widgets/CHIScrollView.h"
#include "toolbox/HIViewCalls.h"

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

// Handed to the scroll view's own key navigation: sent to its control instead, a key it
// leaves would travel up to the application and back here.
OSStatus CScrollableView::NavigateScrollView(CCarbonEvent& event)
{
    auto* scroll = dynamic_cast<CHIScrollView*>(GetScrollView());
    return scroll ? scroll->Navigate(event) : eventNotHandledErr;
}

// The scroll information is in view pixels; the answer is in image units at every zoom, so
// that culling and drawing agree with hit testing when the image is zoomed.
void CScrollableView::SetPrintedContent(CGRect const* content)
{
    mPrintedSet = content != nullptr;
    mPrinted = content ? *content : CGRectZero;
}

CGRect CScrollableView::GetVisibleContent()
{
    if (mPrintedSet)
        return mPrinted;
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
    double const zoom = GetImageZoom() > 0 ? GetImageZoom() : 1.0;
    return { { visible.origin.x / zoom, visible.origin.y / zoom },
        { visible.size.width / zoom, visible.size.height / zoom } };
}

OSStatus CScrollableView::DoEventRawKeyDown(CCarbonEvent& event) { return NavigateScrollView(event); }
OSStatus CScrollableView::DoEventRawKeyRepeat(CCarbonEvent& event) { return NavigateScrollView(event); }
