#include "widgets/CHIViewUtilities.h"

#include "foundation/CString.h"
#include "foundation/Status.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CHIView.h"
#include "widgets/CViewInvalidator.h"

CHIView* CHIViewUtilities::GetCHIView(ControlRef control, bool create)
{
    if (!control)
        return nullptr;
    void* stored = nullptr;
    if (GetControlProperty(
            control, CHIView::kPropertyCreator, CHIView::kPropertyCreator, sizeof stored, nullptr, &stored)
            == noErr
        && stored)
        return static_cast<CHIView*>(stored);
    if (!create)
        return nullptr;
    if (auto* made = dynamic_cast<CHIView*>(CHIObject::CreateNewHIObjectForRef(reinterpret_cast<HIObjectRef>(control))))
        return made;
    return new CHIView(reinterpret_cast<HIObjectRef>(control));
}

// The panel window's content views move into the view, keeping their frames; the first error stops.
OSStatus CHIViewUtilities::LoadFromNib(IBNibRef nib, CString const& windowName, CHIView* into)
{
    WindowRef window = nullptr;
    if (!into || CreateWindowFromNib(nib, windowName.GetCFString(), &window) != noErr)
        return memFullErr;
    ControlRef content = nullptr;
    GetRootControl(window, &content);
    OSStatus status = noErr;
    while (HIViewRef view = HIViewGetLastSubview(content)) {
        HIRect frame {};
        HIViewGetFrame(view, &frame);
        CFRetain(view);
        HIViewRemoveFromSuperview(view);
        status = HIViewAddSubview(into->GetHIViewRef(), view);
        CFRelease(view);
        if (status != noErr)
            break;
        HIViewSetFrame(view, &frame);
    }
    DisposeWindow(window);
    return noErr;
}

OSStatus CHIViewUtilities::LoadFromNib(CString const& nibName, CString const& windowName, CHIView* into)
{
    IBNibRef nib = nullptr;
    OSStatus const status = CreateNibReference(nibName.GetCFString(), &nib);
    if (status != noErr)
        return status;
    OSStatus const loaded = LoadFromNib(nib, windowName, into);
    DisposeNibReference(nib);
    return loaded;
}

namespace {

// One axis of a placement: 1 keeps the size at the low edge, 2 at the high edge, 3 spans the
// container, 4 centres the size; anything else leaves the axis.
void PlaceAxis(SInt16& low, SInt16& high, UInt32 how, SInt16 containerLow, SInt16 containerHigh)
{
    SInt16 const size = high - low;
    switch (how) {
    case 1:
        low = containerLow, high = containerLow + size;
        break;
    case 2:
        high = containerHigh, low = containerHigh - size;
        break;
    case 3:
        low = containerLow, high = containerHigh;
        break;
    case 4:
        low = containerLow + (containerHigh - containerLow - size) / 2, high = low + size;
        break;
    }
}

} // namespace

CRect CHIViewUtilities::CalculateLayout(CRect const& rect, UInt32 placement, CRect const& container)
{
    CRect result = rect;
    PlaceAxis(result.left, result.right, placement & 7, container.left, container.right);
    PlaceAxis(result.top, result.bottom, (placement & 56) >> 3, container.top, container.bottom);
    return result;
}

// The replacement joins the proxy's parent just above it, takes its frame, layout and help, and the proxy goes.
OSStatus CHIViewUtilities::EmbedInScrollView(CHIView* view, UInt32 options)
{
    HIViewRef const ref = view ? view->GetHIViewRef() : nullptr;
    HIViewRef const parent = ref ? HIViewGetSuperview(ref) : nullptr;
    if (!parent)
        return paramErr;
    HIViewRef scroll = nullptr;
    TW_RETURN_IF_ERROR(HIScrollViewCreate(options, &scroll));
    HIViewAddSubview(parent, scroll);
    CFRelease(scroll); // the parent holds it now
    HIRect frame {};
    HIViewGetFrame(ref, &frame);
    HIViewSetFrame(scroll, &frame);
    HILayoutInfo layout {};
    HIViewGetLayoutInfo(ref, &layout);
    HIViewSetLayoutInfo(scroll, &layout);
    // Held across the move, so that leaving the old parent does not free it.
    CFRetain(ref);
    HIViewRemoveFromSuperview(ref);
    HIViewAddSubview(scroll, ref);
    CFRelease(ref);
    HIViewSetVisible(scroll, true);
    HIViewSetNeedsDisplay(ref, true);
    return noErr;
}

void CHIViewUtilities::ReplaceProxyView(CHIView* proxy, CHIView* replacement)
{
    if (!proxy || !replacement || !proxy->GetSuperView())
        return;
    if (CHIView* parent = proxy->GetSuperHIView())
        parent->AddSubHIView(replacement);
    replacement->SetFrame(proxy->GetFrame());
    HILayoutInfo layout {};
    HIViewGetLayoutInfo(proxy->GetHIViewRef(), &layout);
    HIViewSetLayoutInfo(replacement->GetHIViewRef(), &layout);
    HIViewSetZOrder(replacement->GetHIViewRef(), kHIViewZOrderAbove, proxy->GetHIViewRef());
    for (bool extended : { false, true })
        if (CString const help = proxy->GetHelpTag(extended); help.IsNotEmpty())
            replacement->SetHelpTag(help, extended);
    // The view outlives its wrapper here, so that its end-of-life events never meet a deleted wrapper.
    HIViewRef const proxyRef = proxy->GetHIViewRef();
    CFRetain(proxyRef);
    proxy->RemoveFromSuperView();
    delete proxy;
    CFRelease(proxyRef);
}

WindowRef CHIViewUtilities::GetViewWindow(ControlRef control) { return HIViewGetWindow(control); }

void CHIViewUtilities::ContentToView(ControlRef control, CGPoint& point)
{
    WindowRef window = GetViewWindow(control);
    if (window) {
        HIRect structure {}, content {};
        HIWindowGetBounds(window, kWindowStructureRgn, &structure);
        HIWindowGetBounds(window, kWindowContentRgn, &content);
        point.x += content.origin.x - structure.origin.x;
        point.y += content.origin.y - structure.origin.y;
    }
    HIViewConvertPoint(&point, nullptr, control);
}

void CHIViewUtilities::GlobalToView(ControlRef control, CGPoint& point)
{
    HIRect structure {};
    HIWindowGetBounds(GetViewWindow(control), kWindowStructureRgn, &structure);
    point.x -= structure.origin.x;
    point.y -= structure.origin.y;
    HIViewConvertPoint(&point, nullptr, control);
}

void CHIViewUtilities::ViewToGlobal(ControlRef control, CGPoint& point)
{
    HIViewConvertPoint(&point, control, nullptr);
    HIRect structure {};
    HIWindowGetBounds(GetViewWindow(control), kWindowStructureRgn, &structure);
    point.x += structure.origin.x;
    point.y += structure.origin.y;
}

void CHIViewUtilities::SetNeedsDisplayIn(CHIView* view, double delay, CGRect const* rect, double interval)
{
    if (!view)
        return;
    if (interval == 0)
        if (CViewInvalidator* pending = CViewInvalidator::Pending(view->GetHIViewRef())) {
            pending->Restart(rect, delay);
            return;
        }
    new CViewInvalidator(view, rect, delay, interval); // owns itself
}
