#include "toolbox/toolbar/SearchField.h"

#include "corefoundation/CFString.h"
#include "quartz/HITheme.h"
#include "toolbox/KeyCodes.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/Window.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/controls/EditTextCommands.h"
#include "toolbox/controls/EditTextData.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox::toolbar {

namespace {

    using controls::ControlTheme;

    enum : ControlPartCode { kCancelPart = 1 };

    constexpr UInt16 kFont = kThemeSmallSystemFont;

    void DrawString(CGContextRef c, std::u16string const& text, CGRect box, double grey)
    {
        CFStringRef string = cf::CreateString(cf::UTF16ToUTF8(text));
        HIThemeTextInfo info {};
        info.fontID = kFont;
        info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
        CGContextSetGrayFillColor(c, grey, 1);
        HIThemeDrawTextBox(string, &box, &info, c, kHIThemeOrientationNormal);
        CFRelease(string);
    }

    // The magnifier: a ring and a handle.
    void DrawSearchIcon(CGContextRef c, CGPoint centre)
    {
        CGContextSaveGState(c);
        CGContextSetGrayStrokeColor(c, 0.45, 1);
        CGContextSetLineWidth(c, 1.5);
        CGContextStrokeEllipseInRect(c, { { centre.x - 5, centre.y - 5 }, { 8, 8 } });
        CGContextBeginPath(c);
        CGContextMoveToPoint(c, centre.x + 2, centre.y + 2);
        CGContextAddLineToPoint(c, centre.x + 5, centre.y + 5);
        CGContextStrokePath(c);
        CGContextRestoreGState(c);
    }

    void DrawCancelButton(CGContextRef c, CGRect r, bool pressed)
    {
        CGFloat const size = 12;
        CGRect const disc
            = { { std::floor(CGRectGetMidX(r) - size / 2), std::floor(CGRectGetMidY(r) - size / 2) }, { size, size } };
        CGContextSaveGState(c);
        CGContextSetGrayFillColor(c, pressed ? 0.4 : 0.62, 1);
        CGContextFillEllipseInRect(c, disc);
        CGContextSetGrayStrokeColor(c, 1, 1);
        CGContextSetLineWidth(c, 1.5);
        CGContextBeginPath(c);
        CGContextMoveToPoint(c, disc.origin.x + 3.5, disc.origin.y + 3.5);
        CGContextAddLineToPoint(c, disc.origin.x + 8.5, disc.origin.y + 8.5);
        CGContextMoveToPoint(c, disc.origin.x + 8.5, disc.origin.y + 3.5);
        CGContextAddLineToPoint(c, disc.origin.x + 3.5, disc.origin.y + 8.5);
        CGContextStrokePath(c);
        CGContextRestoreGState(c);
    }

} // namespace

SearchField::SearchField(View* view)
    : Behaviour(view)
{
    mView->ChangeFeatures(kHIViewFeatureGetsFocusOnClick, 0);
}

void SearchField::SetAttributes(OptionBits attributes)
{
    mAttributes = attributes;
    mView->Invalidate();
}

void SearchField::SetDescription(std::u16string text)
{
    mDescription = std::move(text);
    mView->Invalidate();
}

CGRect SearchField::TextRect() const
{
    CGRect r = CGRectInset(mView->GetBounds(), 0, 2);
    CGFloat const left = (mAttributes & kHISearchFieldAttributesSearchIcon) ? kIconWidth : 8;
    CGFloat const right = (mAttributes & kHISearchFieldAttributesCancel) ? kCancelWidth : 6;
    r.origin.x += left;
    r.size.width = std::max<CGFloat>(0, r.size.width - left - right);
    return r;
}

CGRect SearchField::CancelRect() const
{
    if (!(mAttributes & kHISearchFieldAttributesCancel) || mModel.Text().empty())
        return CGRectZero;
    CGRect const b = mView->GetBounds();
    return { { CGRectGetMaxX(b) - kCancelWidth, b.origin.y }, { kCancelWidth, b.size.height } };
}

CGFloat SearchField::Width(std::size_t to) const
{
    if (to == 0)
        return 0;
    CFStringRef part = cf::CreateString(cf::UTF16ToUTF8(mModel.Text().substr(0, to)));
    HIThemeTextInfo info {};
    info.fontID = kFont;
    CGFloat w = 0, h = 0;
    HIThemeGetTextDimensions(part, 0, &info, &w, &h, nullptr);
    CFRelease(part);
    return w;
}

std::size_t SearchField::PositionAt(CGFloat x) const
{
    CGFloat const target = x - TextRect().origin.x + mScrollX;
    std::size_t best = 0;
    CGFloat bestDistance = std::fabs(target);
    for (std::size_t i = 1; i <= mModel.Text().size(); ++i) {
        CGFloat const distance = std::fabs(Width(i) - target);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

OSStatus SearchField::Draw(CGContextRef c)
{
    CGRect const b = mView->GetBounds();
    bool const focused = IsFocused() && mView->IsActive();
    CGFloat const radius = std::floor(b.size.height / 2);
    CGContextSaveGState(c);
    ControlTheme::RoundedRectPath(c, CGRectInset(b, 0.5, 0.5), radius);
    CGContextSetGrayFillColor(c, mView->IsEnabled() ? 1.0 : 0.95, 1);
    CGContextFillPath(c);
    ControlTheme::RoundedRectPath(c, CGRectInset(b, 0.5, 0.5), radius);
    CGContextSetGrayStrokeColor(c, 0.6, 1);
    CGContextStrokePath(c);
    if (mAttributes & kHISearchFieldAttributesSearchIcon)
        DrawSearchIcon(c, { b.origin.x + 10, CGRectGetMidY(b) });
    CGRect const text = TextRect();
    CGContextClipToRect(c, text);
    if (mModel.Text().empty()) {
        if (!focused)
            DrawString(c, mDescription, text, 0.6);
    } else {
        CGFloat const x = text.origin.x - mScrollX;
        if (focused && mModel.HasSelection()) {
            CGFloat const from = Width(mModel.SelectionStart()), to = Width(mModel.SelectionEnd());
            CGContextSetRGBFillColor(c, 0.7, 0.82, 0.97, 1);
            CGContextFillRect(c, { { x + from, text.origin.y + 1 }, { to - from, text.size.height - 2 } });
        }
        DrawString(
            c, mModel.Text(), { { x, text.origin.y }, { 10000, text.size.height } }, mView->IsEnabled() ? 0.1 : 0.55);
    }
    if (focused && !mModel.HasSelection()) {
        CGContextSetGrayFillColor(c, 0, 1);
        CGContextFillRect(c,
            { { std::floor(text.origin.x - mScrollX + Width(mModel.Caret())), text.origin.y + 2 },
                { 1, text.size.height - 4 } });
    }
    CGContextRestoreGState(c);
    CGRect const cancel = CancelRect();
    if (!CGRectIsEmpty(cancel))
        DrawCancelButton(c, cancel, mView->GetHilite() == kCancelPart);
    if (focused)
        ControlTheme::DrawFocusRing(c, b, radius);
    return noErr;
}

ControlPartCode SearchField::HitTest(CGPoint p)
{
    if (!CGRectContainsPoint(mView->GetBounds(), p))
        return kControlNoPart;
    return CGRectContainsPoint(CancelRect(), p) ? ControlPartCode(kCancelPart) : ControlPartCode(kControlEditTextPart);
}

ControlPartCode SearchField::Focus(ControlPartCode part)
{
    if (part == kControlFocusNoPart || !mView->IsEnabled() || !mView->IsVisible())
        return kControlFocusNoPart;
    if ((part == kControlFocusNextPart || part == kControlFocusPrevPart) && IsFocused())
        return kControlFocusNoPart;
    return kControlEditTextPart;
}

OSStatus SearchField::Track(EventHandlerCallRef, EventRef event)
{
    HIPoint p {};
    GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof p, nullptr, &p);
    View* const view = mView;
    Protector protect(view);
    ControlPartCode part = kControlEditTextPart;
    if (CGRectContainsPoint(CancelRect(), p)) {
        // The cancel button tracks like a button: it acts when released over it.
        UInt32 modifiers = 0;
        MouseTrackingResult result = kMouseTrackingMouseDown;
        bool inside = true;
        view->SetHilite(kCancelPart);
        while (result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled) {
            if (HIViewTrackMouseLocation(view, 0, kEventDurationForever, &p, &modifiers, &result) != noErr
                || view->IsDisposed())
                return noErr;
            inside = CGRectContainsPoint(CancelRect(), p) && result != kMouseTrackingUserCancelled;
            view->SetHilite(inside ? ControlPartCode(kCancelPart) : ControlPartCode(kControlNoPart));
        }
        view->SetHilite(kControlNoPart);
        if (inside) {
            mModel.SetText({});
            mScrollX = 0;
            Send(kEventClassSearchField, kEventSearchFieldCancelClicked);
            if (!view->IsDisposed())
                Changed();
        }
        part = kControlNoPart;
    } else {
        mModel.MoveTo(PositionAt(p.x), false);
        view->Invalidate();
    }
    if (!view->IsDisposed())
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
    return noErr;
}

OSStatus SearchField::Key(EventRef event)
{
    if (GetEventKind(event) != kEventRawKeyDown && GetEventKind(event) != kEventRawKeyRepeat)
        return eventNotHandledErr;
    UInt32 code = 0, modifiers = 0;
    UniChar character = 0;
    GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
    GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
    GetEventParameter(event, kEventParamKeyUnicodes, typeUnicodeText, nullptr, sizeof character, nullptr, &character);
    if (!IsFocused() || !mView->IsEnabled())
        return eventNotHandledErr;
    // A typed character's text follows its key as text input, and is inserted then.
    if (!(modifiers & cmdKey) && character >= 0x20 && character != 0x7F)
        return noErr;
    Protector protect(mView);
    return EditKey(code, character, modifiers) ? noErr : eventNotHandledErr;
}

// The Edit menu's commands act on the focused field, as their keys do.
OSStatus SearchField::OtherEvent(EventHandlerCallRef, EventRef event)
{
    if (!IsFocused() || !mView->IsEnabled())
        return eventNotHandledErr;
    Protector protect(mView);
    return controls::HandleEditCommand(
        event, [this](MenuCommand command) { return controls::CanEditText(mModel, command, {}); },
        [this](MenuCommand command) { return EditCommand(command); });
}

bool SearchField::EditCommand(MenuCommand command)
{
    switch (command) {
    case kHICommandSelectAll:
        mModel.SelectAll();
        mView->Invalidate();
        return true;
    case kHICommandCopy:
        controls::CopyEditText(mModel, {});
        return true;
    case kHICommandCut:
        controls::CopyEditText(mModel, {});
        [[fallthrough]];
    case kHICommandClear:
        if (mModel.Insert({}))
            Changed();
        return true;
    case kHICommandPaste: {
        std::u16string text;
        if (controls::CopyScrapText(&text))
            Insert(std::move(text));
        return true;
    }
    default:
        return false;
    }
}

// One line: line breaks become spaces, other control characters go.
void SearchField::Insert(std::u16string text)
{
    std::replace_if(text.begin(), text.end(), [](char16_t c) { return c == u'\n' || c == u'\r' || c == u'\t'; }, u' ');
    std::erase_if(text, [](char16_t c) { return c < 0x20 || c == 0x7F; });
    if (mModel.Insert(text))
        Changed();
}

// Text from an input method, as one insertion.
OSStatus SearchField::Text(EventRef event)
{
    if (!IsFocused() || !mView->IsEnabled())
        return eventNotHandledErr;
    ByteCount size = 0;
    if (GetEventParameter(event, kEventParamTextInputSendText, typeUnicodeText, nullptr, 0, &size, nullptr) != noErr)
        return eventNotHandledErr;
    std::u16string text(size / sizeof(char16_t), u'\0');
    GetEventParameter(event, kEventParamTextInputSendText, typeUnicodeText, nullptr, size, nullptr, text.data());
    Protector protect(mView);
    Insert(std::move(text));
    return noErr;
}

// True when the key was the field's.
bool SearchField::EditKey(UInt32 code, UniChar character, UInt32 modifiers)
{
    bool const extend = (modifiers & shiftKey) != 0;
    if (modifiers & cmdKey) {
        // Keys of the Edit menu's commands, when no menu took them.
        switch (character | 0x20) {
        case 'a':
            return EditCommand(kHICommandSelectAll);
        case 'c':
            return EditCommand(kHICommandCopy);
        case 'x':
            return EditCommand(kHICommandCut);
        case 'v':
            return EditCommand(kHICommandPaste);
        default:
            return false;
        }
    }
    switch (code) {
    case kKeyReturn:
    case kKeyEnter:
        // Accepted, and left for the default button.
        Send(kEventClassTextField, kEventTextAccepted);
        return false;
    case kKeyTab:
        return false;
    case kKeyEscape:
        if (mModel.Text().empty())
            return false;
        mModel.SetText({});
        Changed();
        return true;
    case kKeyBackspace:
        if (mModel.DeleteBackward())
            Changed();
        return true;
    case kKeyForwardDelete:
        if (mModel.DeleteForward())
            Changed();
        return true;
    case kKeyLeft:
        mModel.MoveLeft(extend);
        break;
    case kKeyRight:
        mModel.MoveRight(extend);
        break;
    case kKeyHome:
        mModel.MoveTo(0, extend);
        break;
    case kKeyEnd:
        mModel.MoveTo(mModel.Text().size(), extend);
        break;
    default:
        return false;
    }
    mView->Invalidate();
    return true;
}

void SearchField::Changed()
{
    // Keep the caret in view.
    CGFloat const caret = Width(mModel.Caret());
    CGFloat const width = TextRect().size.width;
    if (caret - mScrollX > width - 2)
        mScrollX = caret - width + 2;
    else if (caret < mScrollX)
        mScrollX = caret;
    mView->Invalidate();
    Send(kEventClassTextField, kEventTextDidChange);
}

void SearchField::Send(EventClass eventClass, EventKind kind)
{
    EventRef event = nullptr;
    if (mView->IsDisposed() || CreateEvent(nullptr, eventClass, kind, GetCurrentEventTime(), 0, &event) != noErr)
        return;
    ControlRef ref = mView;
    SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof ref, &ref);
    SendEventToEventTarget(event, &mView->GetTarget());
    ReleaseEvent(event);
}

OSStatus SearchField::SetData(ControlPartCode, OSType tag, Size size, void const* data)
{
    TW_RETURN_STATUS(controls::SetEditText(mModel, tag, size, data));
    mScrollX = 0;
    mView->Invalidate();
    return noErr;
}

OSStatus SearchField::GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize)
{
    return controls::GetEditText(mModel, tag, bufferSize, data, actualSize);
}

} // namespace tw::toolbox::toolbar

namespace tw::toolbox::controls {

Behaviour* MakeSearchField(View* view) { return new toolbar::SearchField(view); }

} // namespace tw::toolbox::controls
