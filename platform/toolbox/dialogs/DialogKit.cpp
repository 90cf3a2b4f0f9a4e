#include "toolbox/dialogs/DialogKit.h"

#include "corefoundation/CFBundle.h"
#include "quartz/HITheme.h"
#include "toolbox/Theme.h"
#include "toolbox/controls/ControlsInternal.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox::dialogs {

namespace {

    struct Deferred {
        std::function<void()> work;
        EventLoopTimerRef timer = nullptr; // owns
    };

    void FireDeferred(EventLoopTimerRef, void* data)
    {
        auto* deferred = static_cast<Deferred*>(data);
        RemoveEventLoopTimer(deferred->timer);
        auto work = std::move(deferred->work);
        delete deferred;
        work();
    }

} // namespace

Rect Box(int left, int top, int width, int height)
{
    return { static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(top + height),
        static_cast<SInt16>(left + width) };
}

CFStringRef CopyText(char const* key, char const* english)
{
    CFStringRef keyString = tw::cf::CreateString(key);
    CFStringRef fallback = tw::cf::CreateString(english);
    CFStringRef text = CFBundleCopyLocalizedString(CFBundleGetMainBundle(), keyString, fallback, nullptr);
    CFRelease(keyString);
    if (!text)
        return fallback;
    CFRelease(fallback);
    return text;
}

std::string ToString(CFStringRef text) { return tw::cf::ToUTF8(text); }

SInt16 ButtonWidth(CFStringRef title)
{
    double const width = tw::toolbox::Theme::TextWidth(title, kThemeSystemFont) + 32;
    return static_cast<SInt16>(std::max(80.0, std::ceil(width)));
}

ControlRef AddButton(WindowRef window, Rect const& bounds, CFStringRef title, UInt32 command)
{
    ControlRef button = nullptr;
    if (CreatePushButtonControl(window, &bounds, title, &button) == noErr)
        SetControlCommandID(button, command);
    return button;
}

void MakeTabStop(ControlRef button)
{
    Boolean const stop = true;
    if (button)
        SetControlProperty(button, controls::kControlsCreator, 'tfoc', sizeof stop, &stop);
}

ControlRef AddText(WindowRef window, Rect const& bounds, CFStringRef text, ThemeFontID font)
{
    ControlFontStyleRec style;
    style.flags = kControlUseThemeFontIDMask;
    style.font = static_cast<SInt16>(font);
    ControlRef control = nullptr;
    CreateStaticTextControl(window, &bounds, text, &style, &control);
    return control;
}

std::string GetFieldText(ControlRef field)
{
    CFStringRef text = nullptr;
    GetControlData(field, kControlEditTextPart, kControlEditTextCFStringTag, sizeof text, &text, nullptr);
    std::string result = ToString(text);
    if (text)
        CFRelease(text);
    return result;
}

void SetFieldText(ControlRef field, std::string const& text)
{
    CFStringRef string = tw::cf::CreateString(text);
    SetControlData(field, kControlEditTextPart, kControlEditTextCFStringTag, sizeof string, &string);
    CFRelease(string);
}

SInt16 TextHeight(CFStringRef text, double width, ThemeFontID font)
{
    HIThemeTextInfo info;
    info.fontID = font;
    CGFloat w = 0, h = 0;
    if (!text || CFStringGetLength(text) == 0 || HIThemeGetTextDimensions(text, width, &info, &w, &h, nullptr) != noErr)
        return 17;
    return static_cast<SInt16>(std::max(17.0, std::ceil(h) + 1));
}

WindowRef MakeDialogWindow(bool sheet, SInt16 width, SInt16 height, CFStringRef title)
{
    Rect const content = Box(0, 0, width, height);
    WindowRef window = nullptr;
    WindowClass const windowClass = sheet ? kSheetWindowClass : kMovableModalWindowClass;
    if (CreateNewWindow(windowClass, kWindowStandardHandlerAttribute | kWindowCompositingAttribute, &content, &window)
        != noErr)
        return nullptr;
    if (title && !sheet)
        SetWindowTitleWithCFString(window, title);
    return window;
}

OSStatus SendCommand(EventTargetRef target, UInt32 command)
{
    EventRef event = nullptr;
    OSStatus status = CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, GetCurrentEventTime(), 0, &event);
    if (status != noErr)
        return status;
    HICommand hiCommand {};
    hiCommand.commandID = command;
    SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof hiCommand, &hiCommand);
    status = SendEventToEventTarget(event, target);
    ReleaseEvent(event);
    return status;
}

void RunSoon(std::function<void()> work)
{
    auto* deferred = new Deferred { std::move(work) };
    if (InstallEventLoopTimer(GetMainEventLoop(), 0, 0, &FireDeferred, deferred, &deferred->timer) != noErr) {
        auto now = std::move(deferred->work);
        delete deferred;
        now();
    }
}

} // namespace tw::toolbox::dialogs
