#include "widgets/CHIView.h"

#include "framework/CCarbonEvent.h"
#include "toolbox/HIViewCalls.h"
#include "widgets/CHIViewUtilities.h"

#include <algorithm>
#include <cstring>

namespace {

EventTypeSpec const kHIViewEvents[] = {
    { kEventClassControl, kEventControlDispose },
    { kEventClassControl, kEventControlGetSizeConstraints },
    { kEventClassHIObject, kEventHIObjectDestruct },
    { 0, 0 },
};

} // namespace

CHIView::CHIView(HIObjectRef view)
    : CHIObject(nullptr)
{
    if (view)
        SetHIViewRef(reinterpret_cast<HIViewRef>(view));
}

// The program makes the toolbox object; a registered class binds its construct event to this wrapper.
CHIView::CHIView(CString const& classID, CGRect const* frame)
    : CHIObject(nullptr)
{
    CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
    if (frame)
        init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof *frame, frame);
    SetNewObjectInstance(this);
    HIObjectRef object = nullptr;
    OSStatus const status = HIObjectCreate(classID.GetCFString(), init.GetEvent(), &object);
    // Cleared whatever happened: a class that is no registered subclass never consumes it.
    SetNewObjectInstance(nullptr);
    if (status == noErr) {
        mOwnsReference = true;
        CompleteCreation(reinterpret_cast<HIViewRef>(object));
    }
}

CHIView::~CHIView()
{
    // The count of tracking views must fall with each one that goes, or the shared handler outlives them all.
    DisposeTrackingArea();
    if (HIViewRef view = GetHIViewRef()) {
        void* stored = nullptr;
        ByteCount size = 0;
        if (::GetControlProperty(view, kPropertyCreator, kPropertyCreator, sizeof stored, &size, &stored) == noErr
            && stored == this)
            RemoveControlProperty(view, kPropertyCreator, kPropertyCreator);
    }
}

void CHIView::CompleteCreation(HIViewRef view)
{
    SetHIViewRef(view);
    HIViewSetVisible(view, true);
}

void CHIView::SetHIViewRef(HIViewRef view)
{
    SetHIObjectRef(reinterpret_cast<HIObjectRef>(view));
    if (!view)
        return;
    InstallHandler(static_cast<ControlRef>(view), kHIViewEvents);
    CHIView* self = this;
    ::SetControlProperty(view, kPropertyCreator, kPropertyCreator, sizeof self, &self);
}

OSStatus CHIView::CreateWrapper(HIObjectRef object, CHIObject** outObject)
{
    *outObject = new CHIView(object);
    return noErr;
}

WindowRef CHIView::GetWindowRef() const { return CHIViewUtilities::GetViewWindow(GetHIViewRef()); }

CGRect CHIView::GetFrame() const
{
    HIRect frame {};
    HIViewGetFrame(GetHIViewRef(), &frame);
    return frame;
}

void CHIView::SetFrame(CGRect const& frame) { HIViewSetFrame(GetHIViewRef(), &frame); }

CGRect CHIView::GetBounds() const
{
    HIRect bounds {};
    HIViewGetBounds(GetHIViewRef(), &bounds);
    return bounds;
}

bool CHIView::IsVisible() const { return HIViewIsVisible(GetHIViewRef()); }
void CHIView::SetVisible(bool visible) { HIViewSetVisible(GetHIViewRef(), visible); }

void CHIView::SetBehaviour(UInt32 set, UInt32 clear)
{
    mBehaviour = (mBehaviour | set) & ~clear;
    SetNeedsDisplay(true, nullptr);
}

// The parent holds the view from now on: a reference the program's creation gave us passes to it.
void CHIView::AddSubHIView(CHIView* view)
{
    if (!view || HIViewAddSubview(GetHIViewRef(), view->GetHIViewRef()) != noErr)
        return;
    if (view->mOwnsReference) {
        view->mOwnsReference = false;
        CFRelease(view->GetHIViewRef());
    }
}

void CHIView::RemoveFromSuperView()
{
    HIViewSetNeedsDisplay(GetHIViewRef(), true);
    HIViewRemoveFromSuperview(GetHIViewRef());
}

UInt16 CHIView::GetSubHIViewCount() const
{
    UInt16 count = 0;
    CountSubControls(GetHIViewRef(), &count);
    return count;
}

CHIView* CHIView::GetSubHIView(UInt16 index) const
{
    ControlRef sub = nullptr;
    return GetIndexedSubControl(GetHIViewRef(), index, &sub) == noErr ? CHIViewUtilities::GetCHIView(sub, true)
                                                                      : nullptr;
}

HIViewRef CHIView::GetSuperView() const { return HIViewGetSuperview(GetHIViewRef()); }
CHIView* CHIView::GetSuperHIView() const { return CHIViewUtilities::GetCHIView(GetSuperView(), true); }

OSStatus CHIView::GetControlProperty(OSType creator, OSType tag, CString& value) const
{
    ByteCount size = 0;
    if (GetControlPropertySize(GetHIViewRef(), creator, tag, &size) != noErr)
        return memFullErr;
    std::vector<UniChar> text(size / sizeof(UniChar) + 1, 0); // the property size plus a terminator
    if (::GetControlProperty(GetHIViewRef(), creator, tag, size, nullptr, text.data()) != noErr)
        return memFullErr;
    value = CString(text.data());
    return noErr;
}

OSStatus CHIView::GetControlProperty(OSType creator, OSType tag, UInt32& value) const
{
    value = 0;
    return ::GetControlProperty(GetHIViewRef(), creator, tag, sizeof value, nullptr, &value);
}

OSStatus CHIView::GetControlProperty(OSType creator, OSType tag, void** value) const
{
    *value = nullptr;
    return ::GetControlProperty(GetHIViewRef(), creator, tag, sizeof *value, nullptr, value);
}

OSStatus CHIView::SetControlProperty(OSType creator, OSType tag, void const* pointer)
{
    return ::SetControlProperty(GetHIViewRef(), creator, tag, sizeof pointer, &pointer);
}

std::vector<UInt8> CHIView::GetControlData(ControlPartCode part, OSType tag) const
{
    Size size = 0;
    if (GetControlDataSize(GetHIViewRef(), part, tag, &size) != noErr || size <= 0)
        return {};
    std::vector<UInt8> data(static_cast<std::size_t>(size));
    if (::GetControlData(GetHIViewRef(), part, tag, size, data.data(), &size) != noErr)
        return {};
    return data;
}

OSErr CHIView::SetControlData(ControlPartCode part, OSType tag, Size size, void const* data)
{
    return static_cast<OSErr>(::SetControlData(GetHIViewRef(), part, tag, size, data));
}

CString CHIView::GetHelpTag(bool extended) const
{
    HMHelpContentRec help {};
    if (HMGetControlHelpContent(GetHIViewRef(), &help) != noErr)
        return {};
    HMHelpContent const& content = help.content[extended ? kHMMaximumContentIndex : kHMMinimumContentIndex];
    if (content.contentType == kHMCFStringContent && content.u.tagCFString)
        return CString(content.u.tagCFString, false);
    if (content.contentType == kHMPascalStrContent)
        return CString(
            reinterpret_cast<char const*>(content.u.tagString + 1), content.u.tagString[0], kCFStringEncodingUTF8);
    return {};
}

void CHIView::SetHelpTag(CString const& text, bool extended)
{
    HMHelpContentRec help {};
    if (HMGetControlHelpContent(GetHIViewRef(), &help) != noErr) {
        help = {};
        help.version = kMacHelpVersion;
        help.content[0].contentType = help.content[1].contentType = kHMNoContent;
    }
    HMHelpContent& content = help.content[extended ? kHMMaximumContentIndex : kHMMinimumContentIndex];
    content.contentType = kHMCFStringContent;
    content.u.tagCFString = text.GetCFString();
    HMSetControlHelpContent(GetHIViewRef(), &help);
}

void CHIView::SetPartCodes(std::vector<SInt16> const& parts)
{
    mPartCodes = parts;
    AddEvent(kEventClassControl, kEventControlSetFocusPart);
}

ControlPartCode CHIView::GetFocusedPart() const
{
    ControlPartCode part = kControlFocusNoPart;
    HIViewGetFocusPart(GetHIViewRef(), &part);
    return part;
}

OSStatus CHIView::SetKeyboardFocus(ControlPartCode part)
{
    return ::SetKeyboardFocus(GetWindowRef(), GetHIViewRef(), part);
}

// Wrappers of system views die with their control; custom-class wrappers with the object.
OSStatus CHIView::DoEventControlDispose(CCarbonEvent&)
{
    HIViewRef view = GetHIViewRef();
    void* stored = nullptr;
    if (::GetControlProperty(view, kPropertyCreator, kPropertyCreator, sizeof stored, nullptr, &stored) != noErr)
        stored = nullptr;
    RemoveControlProperty(view, kPropertyCreator, kPropertyCreator);
    auto* object = static_cast<CHIView*>(stored);
    if (object && !object->GetIsCustomClass() && object->GetHIObjectRef()) {
        object->ForgetHIObjectRef();
        delete object;
    }
    // Not handled: every other handler on the control hears of the dispose too.
    return eventNotHandledErr;
}

OSStatus CHIView::DoEventControlHitTest(CCarbonEvent& event)
{
    ControlPartCode const part = kControlIndicatorPart;
    return event.SetParameter(kEventParamControlPart, typeControlPartCode, sizeof part, &part);
}

OSStatus CHIView::DoEventControlSetFocusPart(CCarbonEvent& event)
{
    ControlPartCode const requested = event.GetParameterControlPartCode(kEventParamControlPart);
    ControlPartCode const current = GetFocusedPart();
    if (requested != kControlFocusNextPart && requested != kControlFocusPrevPart) {
        // Losing the focus takes its ring away.
        if (requested == kControlFocusNoPart && current != kControlFocusNoPart)
            SetNeedsDisplay(true, nullptr);
        return noErr;
    }
    auto const it = std::find(mPartCodes.begin(), mPartCodes.end(), current);
    ControlPartCode next = 0;
    // Tab from another view enters at the first part, Shift+Tab at the last.
    if (current == kControlFocusNoPart && !mPartCodes.empty())
        next = requested == kControlFocusNextPart ? mPartCodes.front() : mPartCodes.back();
    else if (it != mPartCodes.end()) {
        std::size_t const i = it - mPartCodes.begin();
        if (requested == kControlFocusNextPart)
            next = i + 1 < mPartCodes.size() ? mPartCodes[i + 1] : 0;
        else
            next = i > 0 ? mPartCodes[i - 1] : 0;
    }
    event.SetParameter(kEventParamControlPart, typeControlPartCode, sizeof next, &next);
    if (next != current)
        SetNeedsDisplay(true, nullptr);
    return noErr;
}
