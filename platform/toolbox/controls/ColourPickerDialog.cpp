#include "corefoundation/CFString.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <array>
#include <cmath>
#include <string>

namespace {

constexpr OSType kDialogCreator = 'twcp'; // window property ('twcp', 'dlog'): the dialog running in it
constexpr char const* kChannelNames[3] = { "Red", "Green", "Blue" };

// The colour picker: a modal window with the prompt, the old and the new colour
// side by side, a slider per channel and OK / Cancel. Channels the user leaves
// alone keep their full 16-bit value.
class ColourDialog {
public:
    explicit ColourDialog(RGBColor const& colour)
        : mOriginal(colour)
    {
    }

    bool Run(Point where, CFStringRef prompt, RGBColor* outColour);

private:
    static UInt16 Channel(RGBColor const& c, int i) { return i == 0 ? c.red : i == 1 ? c.green : c.blue; }
    static SInt32 ToSlider(UInt16 value) { return static_cast<SInt32>(std::lround(value / 257.0)); }

    void Build(WindowRef window, CFStringRef prompt);
    RGBColor Chosen() const;
    void ShowValues();

    static ColourDialog* Of(ControlRef control)
    {
        ColourDialog* dialog = nullptr;
        GetWindowProperty(GetControlOwner(control), kDialogCreator, 'dlog', sizeof dialog, nullptr, &dialog);
        return dialog;
    }
    static void SliderMoved(ControlRef control, ControlPartCode);
    static void DrawSwatches(ControlRef control, SInt16);
    static OSStatus CommandHandler(EventHandlerCallRef, EventRef event, void* data);

    RGBColor mOriginal;
    std::array<ControlRef, 3> mSliders {}; // weak: owned by the window
    std::array<ControlRef, 3> mValues {}; // weak
    ControlRef mSwatch = nullptr; // weak
    WindowRef mWindow = nullptr; // weak: disposed by Run
    bool mAccepted = false;
};

Rect Box(SInt16 left, SInt16 top, SInt16 width, SInt16 height)
{
    return { top, left, static_cast<SInt16>(top + height), static_cast<SInt16>(left + width) };
}

void ColourDialog::Build(WindowRef window, CFStringRef prompt)
{
    ControlRef control = nullptr;
    Rect r = Box(20, 14, 320, 20);
    CreateStaticTextControl(window, &r, prompt, nullptr, &control);
    r = Box(20, 46, 88, 88);
    CreateUserPaneControl(window, &r, 0, &mSwatch);
    auto draw = &ColourDialog::DrawSwatches;
    SetControlData(mSwatch, kControlEntireControl, kControlUserPaneDrawProcTag, sizeof draw, &draw);
    for (int i = 0; i < 3; ++i) {
        auto const top = static_cast<SInt16>(44 + i * 32);
        CFStringRef name = tw::cf::CreateString(kChannelNames[i]);
        r = Box(124, static_cast<SInt16>(top + 4), 48, 20);
        CreateStaticTextControl(window, &r, name, nullptr, &control);
        CFRelease(name);
        r = Box(172, top, 128, 26);
        CreateSliderControl(
            window, &r, ToSlider(Channel(mOriginal, i)), 0, 255, 0, 0, true, &ColourDialog::SliderMoved, &mSliders[i]);
        r = Box(306, static_cast<SInt16>(top + 4), 40, 20);
        CreateStaticTextControl(window, &r, nullptr, nullptr, &mValues[i]);
    }
    ShowValues();
    ControlRef cancel = nullptr, ok = nullptr;
    r = Box(176, 154, 80, 30);
    CreatePushButtonControl(window, &r, CFSTR("Cancel"), &cancel);
    SetControlCommandID(cancel, kHICommandCancel);
    r = Box(262, 154, 80, 30);
    CreatePushButtonControl(window, &r, CFSTR("OK"), &ok);
    SetControlCommandID(ok, kHICommandOK);
    SetWindowDefaultButton(window, ok);
    SetWindowCancelButton(window, cancel);
}

bool ColourDialog::Run(Point where, CFStringRef prompt, RGBColor* outColour)
{
    Rect const content = Box(0, 0, 362, 200);
    if (CreateNewWindow(
            kMovableModalWindowClass, kWindowStandardHandlerAttribute | kWindowCompositingAttribute, &content, &mWindow)
        != noErr)
        return false;
    ColourDialog* self = this;
    SetWindowProperty(mWindow, kDialogCreator, 'dlog', sizeof self, &self);
    SetWindowTitleWithCFString(mWindow, CFSTR("Colours"));
    Build(mWindow, prompt);
    EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
    InstallEventHandler(GetWindowEventTarget(mWindow), &ColourDialog::CommandHandler, 1, &command, this, nullptr);
    if (where.h < 0 || where.v < 0)
        RepositionWindow(mWindow, nullptr, kWindowAlertPositionOnMainScreen);
    else
        MoveWindow(mWindow, where.h, where.v, true);
    ShowWindow(mWindow);
    RunAppModalLoopForWindow(mWindow);
    if (mAccepted && outColour)
        *outColour = Chosen();
    DisposeWindow(mWindow);
    return mAccepted;
}

RGBColor ColourDialog::Chosen() const
{
    std::array<UInt16, 3> channels {};
    for (int i = 0; i < 3; ++i) {
        SInt32 const value = GetControl32BitValue(mSliders[i]);
        UInt16 const original = Channel(mOriginal, i);
        channels[i] = value == ToSlider(original) ? original : static_cast<UInt16>(value * 257);
    }
    return { channels[0], channels[1], channels[2] };
}

void ColourDialog::ShowValues()
{
    for (int i = 0; i < 3; ++i) {
        CFStringRef text = tw::cf::CreateString(std::to_string(GetControl32BitValue(mSliders[i])));
        SetControlData(mValues[i], kControlEntireControl, kControlStaticTextCFStringTag, sizeof text, &text);
        CFRelease(text);
    }
    HIViewSetNeedsDisplay(mSwatch, true);
}

void ColourDialog::SliderMoved(ControlRef control, ControlPartCode)
{
    if (ColourDialog* dialog = Of(control))
        dialog->ShowValues();
}

// The original colour on the left, the new one on the right.
void ColourDialog::DrawSwatches(ControlRef control, SInt16)
{
    ColourDialog* dialog = Of(control);
    CGContextRef c = nullptr;
    if (!dialog || QDBeginCGContext(GetWindowPort(GetControlOwner(control)), &c) != noErr)
        return;
    HIRect bounds {};
    HIViewGetBounds(control, &bounds);
    RGBColor const chosen = dialog->Chosen();
    CGRect const halves[2] = { { bounds.origin, { bounds.size.width / 2, bounds.size.height } },
        { { bounds.origin.x + bounds.size.width / 2, bounds.origin.y },
            { bounds.size.width / 2, bounds.size.height } } };
    for (int i = 0; i < 2; ++i) {
        RGBColor const& colour = i == 0 ? dialog->mOriginal : chosen;
        CGContextSetRGBFillColor(c, colour.red / 65535.0, colour.green / 65535.0, colour.blue / 65535.0, 1);
        CGContextFillRect(c, halves[i]);
    }
    CGContextSetGrayStrokeColor(c, 0.5, 1);
    CGContextSetLineWidth(c, 1);
    CGContextStrokeRect(c, CGRectInset(bounds, 0.5, 0.5));
    QDEndCGContext(GetWindowPort(GetControlOwner(control)), &c);
}

OSStatus ColourDialog::CommandHandler(EventHandlerCallRef, EventRef event, void* data)
{
    auto* dialog = static_cast<ColourDialog*>(data);
    HICommandExtended command {};
    GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
    if (command.commandID != kHICommandOK && command.commandID != kHICommandCancel)
        return eventNotHandledErr;
    dialog->mAccepted = command.commandID == kHICommandOK;
    QuitAppModalLoopForWindow(dialog->mWindow);
    return noErr;
}

} // namespace

Boolean GetColor(Point where, ConstStr255Param prompt, RGBColor const* inColor, RGBColor* outColor)
{
    if (!inColor || !outColor)
        return false;
    std::string text;
    if (prompt)
        text.assign(reinterpret_cast<char const*>(prompt + 1), prompt[0]);
    CFStringRef promptText = tw::cf::CreateString(text);
    if (!promptText)
        promptText = tw::cf::CreateString("");
    ColourDialog dialog(*inColor);
    bool const accepted = dialog.Run(where, promptText, outColor);
    CFRelease(promptText);
    return accepted;
}
