#include "toolbox/dialogs/AlertDialog.h"

#include "quartz/HITheme.h"
#include "toolbox/dialogs/DialogKit.h"

#include <algorithm>

namespace tw::toolbox::dialogs {

namespace {

    constexpr SInt16 kWidth = 420; // [px] the least width
    constexpr SInt16 kMaxWidth = 800; // [px] past this the text wraps, however long
    constexpr SInt16 kBadge = 48; // [px]
    constexpr SInt16 kTextLeft = kMargin + kBadge + 16; // [px]
    constexpr SInt16 kButtonGap = 12; // [px] between the default and cancel buttons
    constexpr SInt16 kOtherGap = 24; // [px] at least, between the other button and the rest
    constexpr double kLongLine = 3.5; // the main text may run to this many lines before the alert widens
    constexpr UInt32 kCommands[3] = { kHICommandOK, kHICommandCancel, kCommandOther };
    constexpr OSType kAlertCreator = 'twal'; // window property ('twal', 'type'): the alert type, for the badge

} // namespace

AlertDialog::AlertDialog(Spec const& spec, bool sheet)
    : mSheet(sheet)
    , mType(spec.type)
    , mKind(spec.kind)
    , mText(ToString(spec.main))
    , mDetail(spec.informative ? ToString(spec.informative) : std::string())
{
    Build(spec);
}

AlertDialog::~AlertDialog()
{
    mPending.Clear();
    mEnded = true; // the window's own end below is not a parent's
    if (mWindow)
        DisposeWindow(mWindow);
}

void AlertDialog::Build(Spec const& spec)
{
    // Wide enough for every button side by side with room between the groups, and for
    // a long main text to wrap in a few lines rather than in many.
    std::array<SInt16, 3> widths {};
    int buttons = 0;
    for (int i = 0; i < 3; ++i)
        if (spec.buttons[i]) {
            widths[i] = ButtonWidth(spec.buttons[i]);
            buttons += widths[i];
        }
    if (spec.buttons[0] && spec.buttons[1])
        buttons += kButtonGap;
    if (spec.buttons[2] && (spec.buttons[0] || spec.buttons[1]))
        buttons += kOtherGap;
    int width = std::max<int>(kWidth, kTextLeft + buttons + kMargin);
    SInt16 const lineHeight = TextHeight(CFSTR("X"), 1000, kThemeEmphasizedSystemFont);
    while (width < kMaxWidth
        && TextHeight(spec.main, width - kTextLeft - kMargin, kThemeEmphasizedSystemFont) > kLongLine * lineHeight)
        width = std::min<int>(width + 60, kMaxWidth);
    SInt16 const textWidth = static_cast<SInt16>(width - kTextLeft - kMargin);
    SInt16 const mainHeight = TextHeight(spec.main, textWidth, kThemeEmphasizedSystemFont);
    bool const hasInfo = spec.informative && CFStringGetLength(spec.informative) > 0;
    SInt16 const infoHeight = hasInfo ? TextHeight(spec.informative, textWidth, kThemeSmallSystemFont) : 0;
    int const textBottom = kMargin + mainHeight + (hasInfo ? 8 + infoHeight : 0);
    int const buttonsTop = std::max(textBottom, kMargin + kBadge) + 20;
    mWindow = MakeDialogWindow(
        mSheet, static_cast<SInt16>(width), static_cast<SInt16>(buttonsTop + kButtonHeight + kMargin), nullptr);
    if (!mWindow)
        return;
    SetWindowProperty(mWindow, kAlertCreator, 'type', sizeof mType, &mType);
    ControlRef badge = nullptr;
    Rect r = Box(kMargin, kMargin, kBadge, kBadge);
    CreateUserPaneControl(mWindow, &r, 0, &badge);
    auto draw = &AlertDialog::DrawBadge;
    SetControlData(badge, kControlEntireControl, kControlUserPaneDrawProcTag, sizeof draw, &draw);
    AddText(mWindow, Box(kTextLeft, kMargin, textWidth, mainHeight), spec.main, kThemeEmphasizedSystemFont);
    if (hasInfo)
        AddText(mWindow, Box(kTextLeft, kMargin + mainHeight + 8, textWidth, infoHeight), spec.informative,
            kThemeSmallSystemFont);

    int right = width - kMargin;
    for (int i = 0; i < 3; ++i) {
        CFStringRef const title = spec.buttons[i];
        if (!title)
            continue;
        int const left = i == 2 ? kTextLeft : right - widths[i];
        mButtons[i] = AddButton(mWindow, Box(left, buttonsTop, widths[i], kButtonHeight), title, kCommands[i]);
        if (i != 2)
            right = left - kButtonGap;
    }
    DialogItemIndex const cancel = spec.cancelButton ? spec.cancelButton : DialogItemIndex(kAlertStdAlertCancelButton);
    if (spec.defaultButton >= 1 && spec.defaultButton <= 3 && mButtons[spec.defaultButton - 1])
        SetWindowDefaultButton(mWindow, mButtons[spec.defaultButton - 1]);
    // A button may be both: Cancel as the safe default of a question answers Return and Escape.
    if (cancel >= 1 && cancel <= 3 && mButtons[cancel - 1])
        SetWindowCancelButton(mWindow, mButtons[cancel - 1]);
    // An alert with one button only (an OK to a message) is dismissed by Escape as well.
    else if (std::count(mButtons.begin(), mButtons.end(), nullptr) == 2)
        SetWindowCancelButton(mWindow, *std::find_if(mButtons.begin(), mButtons.end(),
                                           [](ControlRef button) { return button != nullptr; }));
    EventTypeSpec const events[] = { { kEventClassCommand, kEventCommandProcess },
        { kEventClassKeyboard, kEventRawKeyDown }, { kEventClassWindow, kEventWindowClosed } };
    InstallEventHandler(GetWindowEventTarget(mWindow), &AlertDialog::Handle, 3, events, this, nullptr);
}

void AlertDialog::Arm()
{
    mPending.Schedule(
        mKind, mText,
        [this](Answer const& answer) {
            if (answer.cancel)
                End(kAlertStdAlertCancelButton);
            else
                Press(static_cast<DialogItemIndex>(answer.action));
        },
        mDetail);
}

DialogItemIndex AlertDialog::RunModal(bool scripted)
{
    if (!mWindow || mSheet)
        return kAlertStdAlertCancelButton;
    RepositionWindow(mWindow, nullptr, kWindowAlertPositionOnMainScreen);
    ShowWindow(mWindow);
    mHit = 0;
    mRunning = true;
    if (scripted)
        Arm();
    RunAppModalLoopForWindow(mWindow);
    mRunning = false;
    mPending.Clear();
    HideWindow(mWindow);
    return mHit ? mHit : DialogItemIndex(kAlertStdAlertCancelButton);
}

void AlertDialog::Press(DialogItemIndex item)
{
    if (item >= 1 && item <= 3 && mButtons[item - 1])
        End(item);
}

void AlertDialog::End(DialogItemIndex item)
{
    if (mHit || mEnded)
        return;
    mHit = item;
    mPending.Clear();
    if (!mSheet) {
        if (mRunning)
            QuitAppModalLoopForWindow(mWindow);
        return;
    }
    HideSheetWindow(mWindow);
    if (auto answer = std::move(mSheetAnswer))
        answer(item); // may delete this
}

OSStatus AlertDialog::Handle(EventHandlerCallRef, EventRef event, void* data)
{
    auto* self = static_cast<AlertDialog*>(data);
    if (GetEventClass(event) == kEventClassWindow) {
        // A sheet disposed with its parent has no one left to answer: it goes quietly.
        if (self->mSheet && !self->mHit && !self->mEnded) {
            self->mEnded = true;
            self->mSheetAnswer = nullptr;
            self->mPending.Clear();
            RunSoon([self] { delete self; });
        }
        return eventNotHandledErr;
    }
    if (GetEventClass(event) == kEventClassKeyboard) {
        UInt32 modifiers = 0;
        char character = 0;
        GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
        GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, sizeof character, nullptr, &character);
        ControlRef cancel = nullptr;
        if (!(modifiers & cmdKey) || character != '.' || GetWindowCancelButton(self->mWindow, &cancel) != noErr
            || !cancel)
            return eventNotHandledErr;
        for (int i = 0; i < 3; ++i)
            if (self->mButtons[i] == cancel)
                self->Press(static_cast<DialogItemIndex>(i + 1));
        return noErr;
    }
    HICommand command {};
    GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
    for (int i = 0; i < 3; ++i) {
        if (command.commandID == kCommands[i] && self->mButtons[i]) {
            self->Press(static_cast<DialogItemIndex>(i + 1));
            return noErr;
        }
    }
    return eventNotHandledErr;
}

bool ConfirmReplace(std::string const& name)
{
    CFStringRef format = CopyText("NavReplaceMain", "\u201C%@\u201D already exists. Do you want to replace it?");
    CFStringRef nameString = tw::cf::CreateString(name);
    CFStringRef main = CFStringCreateWithFormat(nullptr, nullptr, format, nameString);
    CFStringRef info = CopyText("NavReplaceInfo",
        "A file with the same name already exists. Replacing it will overwrite its current contents.");
    CFStringRef cancel = CopyText("NavCancel", "Cancel");
    CFStringRef replace = CopyText("NavReplace", "Replace");
    AlertDialog::Spec spec;
    spec.type = kAlertCautionAlert;
    spec.main = main;
    spec.informative = info;
    spec.buttons = { cancel, nullptr, replace };
    spec.cancelButton = kAlertStdAlertOKButton;
    bool const replaced = AlertDialog(spec, false).RunModal() == kAlertStdAlertOtherButton;
    for (CFStringRef s : { format, nameString, main, info, cancel, replace })
        CFRelease(s);
    return replaced;
}

void TellAbout(std::string const& name, char const* key, char const* format, char const* infoKey, char const* info)
{
    CFStringRef formatString = CopyText(key, format);
    CFStringRef nameString = tw::cf::CreateString(name);
    CFStringRef main = CFStringCreateWithFormat(nullptr, nullptr, formatString, nameString);
    CFStringRef infoString = CopyText(infoKey, info);
    CFStringRef ok = CopyText("AlertOK", "OK");
    AlertDialog::Spec spec;
    spec.type = kAlertCautionAlert;
    spec.main = main;
    spec.informative = infoString;
    spec.buttons[0] = ok;
    AlertDialog(spec, false).RunModal();
    for (CFStringRef s : { formatString, nameString, main, infoString, ok })
        CFRelease(s);
}

// A round badge: red for stop, amber for caution, blue otherwise, with a mark.
void AlertDialog::DrawBadge(ControlRef control, SInt16)
{
    WindowRef const window = GetControlOwner(control);
    AlertType type = kAlertNoteAlert;
    GetWindowProperty(window, kAlertCreator, 'type', sizeof type, nullptr, &type);
    if (type == kAlertPlainAlert)
        return;
    CGContextRef c = nullptr;
    if (QDBeginCGContext(GetWindowPort(window), &c) != noErr)
        return;
    HIRect bounds {};
    HIViewGetBounds(control, &bounds);
    CGRect const disc = CGRectInset(bounds, 4, 4);
    if (type == kAlertStopAlert)
        CGContextSetRGBFillColor(c, 0.80, 0.18, 0.15, 1);
    else if (type == kAlertCautionAlert)
        CGContextSetRGBFillColor(c, 0.95, 0.68, 0.10, 1);
    else
        CGContextSetRGBFillColor(c, 0.20, 0.45, 0.80, 1);
    CGContextFillEllipseInRect(c, disc);
    CFStringRef mark = tw::cf::CreateString(type == kAlertNoteAlert ? "i" : "!");
    HIThemeTextInfo info;
    info.fontID = kThemeEmphasizedSystemFont;
    info.horizontalFlushness = kHIThemeTextHorizontalFlushCenter;
    info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
    CGContextSetRGBFillColor(c, 1, 1, 1, 1);
    HIThemeDrawTextBox(mark, &disc, &info, c, kHIThemeOrientationNormal);
    CFRelease(mark);
    QDEndCGContext(GetWindowPort(window), &c);
}

} // namespace tw::toolbox::dialogs
