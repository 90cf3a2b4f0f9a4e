#include "corefoundation/CFArray.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/KeyCodes.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/controls/ControlsInternal.h"
#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/NavDialog.h"
#include "toolbox/dialogs/NavFiles.h"

#include <algorithm>
#include <vector>

namespace tw::toolbox::dialogs {

namespace {

    constexpr UInt32 kCommandUp = 'navU';
    constexpr UInt32 kCommandType = 'navT';
    constexpr SInt16 kWidth = 560; // [px]
    constexpr SInt16 kListHeight = 220; // [px]
    constexpr SInt16 kFieldHeight = 22; // [px]
    constexpr SInt16 kRowGap = 12; // [px] between the rows of controls
    constexpr SInt16 kPlaceLeft = kMargin + 82; // [px] the folder's path or the place field

    CFStringRef CopyLabel(CFStringRef given, char const* key, char const* english)
    {
        if (given && CFStringGetLength(given) > 0)
            return static_cast<CFStringRef>(CFRetain(given));
        return CopyText(key, english);
    }

    // Selects the text `selected` that follows `before` in the field (the field counts in UTF-16).
    void SelectInField(ControlRef field, std::string const& before, std::string const& selected)
    {
        auto const length
            = [](std::string const& text) { return static_cast<SInt16>(tw::cf::UTF8ToUTF16(text).size()); };
        ControlEditTextSelectionRec const selection { length(before),
            static_cast<SInt16>(length(before) + length(selected)) };
        SetControlData(field, kControlEditTextPart, kControlEditTextSelectionTag, sizeof selection, &selection);
    }

    ControlRef AddField(WindowRef window, Rect const& bounds, CFStringRef text)
    {
        ControlRef field = nullptr;
        if (CreateEditUnicodeTextControl(window, &bounds, text, false, nullptr, &field) != noErr)
            return nullptr;
        Boolean const single = true; // Return presses the default button: names and paths have no line breaks
        SetControlData(field, kControlEditTextPart, kControlEditTextSingleLineTag, sizeof single, &single);
        return field;
    }

} // namespace

void NavDialog::BuildBrowser()
{
    bool const save = mKind == DialogKind::Save;
    CFStringRef title = CopyLabel(mOptions.windowTitle, save ? "NavTitleSave" : "NavTitleOpen",
        save                                    ? "Save"
            : mKind == DialogKind::ChooseFolder ? "Choose a Folder"
                                                : "Open");
    // A message that only says the title again ("Open" under "Open") is left out.
    bool const hasMessage = mOptions.message && CFStringGetLength(mOptions.message) > 0
        && (IsSheet() || CFStringCompare(mOptions.message, title, kCFCompareCaseInsensitive) != kCFCompareEqualTo);
    SInt16 const messageHeight = hasMessage ? TextHeight(mOptions.message, kWidth - 2 * kMargin) : 0;
    int const nameTop = kMargin - 4 + (hasMessage ? messageHeight + 10 : 0);
    int const placeTop = nameTop + (save ? kFieldHeight + kRowGap : 0);
    int const listTop = placeTop + kButtonHeight + kRowGap;
    int const buttonsTop = listTop + kListHeight + 16;
    mWindow = MakeDialogWindow(IsSheet(), kWidth, static_cast<SInt16>(buttonsTop + kButtonHeight + kMargin), title);
    CFRelease(title);
    if (!mWindow)
        return;
    if (hasMessage)
        AddText(mWindow, Box(kMargin, kMargin - 4, kWidth - 2 * kMargin, messageHeight), mOptions.message);
    if (save)
        AddNameField(nameTop);
    AddPlaceRow(placeTop);
    AddList(listTop);
    AddButtons(buttonsTop);
    AddTypePopup(buttonsTop);
    EventTypeSpec const events[]
        = { { kEventClassCommand, kEventCommandProcess }, { kEventClassKeyboard, kEventRawKeyDown } };
    InstallEventHandler(GetWindowEventTarget(mWindow), &NavDialog::Handle, std::size(events), events, this, nullptr);
    Fill();
    FocusFirst();
}

void NavDialog::AddNameField(int top)
{
    CFStringRef label = CopyText("NavSaveAs", "Save As:");
    AddText(mWindow, Box(kMargin, top + 3, 70, 17), label);
    CFRelease(label);
    CFStringRef name = mOptions.saveFileName ? mOptions.saveFileName : CFSTR("untitled");
    mNameField = AddField(mWindow, Box(kPlaceLeft, top, 320, kFieldHeight), name);
}

// The Up button and the folder's path, with the place field hidden over the path.
void NavDialog::AddPlaceRow(int top)
{
    CFStringRef up = CopyText("NavUp", "Up");
    AddButton(mWindow, Box(kMargin, top, 70, kButtonHeight), up, kCommandUp);
    CFRelease(up);
    int const width = kWidth - kMargin - kPlaceLeft;
    mPathText = AddText(mWindow, Box(kPlaceLeft, top + 4, width, 17), nullptr);
    if (mKind == DialogKind::Save)
        return;
    mLocationField = AddField(mWindow, Box(kPlaceLeft, top + 1, width, kFieldHeight), nullptr);
    if (!mLocationField)
        return;
    HideControl(mLocationField);
    EventTypeSpec const changed { kEventClassTextField, kEventTextDidChange };
    InstallEventHandler(
        GetControlEventTarget(mLocationField),
        [](EventHandlerCallRef, EventRef, void* data) {
            static_cast<NavDialog*>(data)->UpdateButtons();
            return eventNotHandledErr;
        },
        1, &changed, this, nullptr);
}

void NavDialog::AddList(int top)
{
    mList = std::make_unique<FileListView>(mWindow, Box(kMargin, top, kWidth - 2 * kMargin, kListHeight),
        mKind == DialogKind::Open && (mOptions.optionFlags & kNavAllowMultipleFiles));
    mList->SetSelectionChanged([this] { SelectionChanged(); });
    mList->SetOpenEntry([this](FileEntry const& entry) {
        if (entry.folder)
            Enter(entry.path);
        else if (mKind == DialogKind::Open)
            Accept();
    });
    mList->SetGoUp([this] { GoUp(); });
    mList->SetStartPath([this](std::string const& text) { StartPath(text); });
}

void NavDialog::AddButtons(int top)
{
    bool const save = mKind == DialogKind::Save;
    char const* const actionKey = save ? "NavSave" : mKind == DialogKind::ChooseFolder ? "NavChoose" : "NavOpen";
    char const* const actionEnglish = save ? "Save" : mKind == DialogKind::ChooseFolder ? "Choose" : "Open";
    CFStringRef action = CopyLabel(mOptions.actionButtonLabel, actionKey, actionEnglish);
    CFStringRef cancel = CopyLabel(mOptions.cancelButtonLabel, "NavCancel", "Cancel");
    SInt16 const actionWidth = ButtonWidth(action);
    SInt16 const cancelWidth = ButtonWidth(cancel);
    int const actionLeft = kWidth - kMargin - actionWidth;
    mActionButton = AddButton(mWindow, Box(actionLeft, top, actionWidth, kButtonHeight), action, kHICommandOK);
    mCancelButton = AddButton(
        mWindow, Box(actionLeft - 12 - cancelWidth, top, cancelWidth, kButtonHeight), cancel, kHICommandCancel);
    CFRelease(action);
    CFRelease(cancel);
    SetWindowDefaultButton(mWindow, mActionButton);
    SetWindowCancelButton(mWindow, mCancelButton);
    MakeTabStop(mCancelButton);
    MakeTabStop(mActionButton);
}

void NavDialog::AddTypePopup(int top)
{
    CFArrayRef const types = mOptions.popupExtension;
    if (types && CFArrayGetCount(types) > 0 && !(mOptions.optionFlags & kNavNoTypePopup)) {
        MenuRef menu = nullptr;
        CreateNewMenu(0, 0, &menu);
        for (CFIndex i = 0; i < CFArrayGetCount(types); ++i)
            AppendMenuItemTextWithCFString(
                menu, static_cast<CFStringRef>(CFArrayGetValueAtIndex(types, i)), 0, 0, nullptr);
        Rect const r = Box(kMargin, top, 200, kButtonHeight);
        CreatePopupButtonControl(mWindow, &r, nullptr, -12345, false, 0, 0, 0, &mTypePopup);
        SetControlPopupMenuHandle(mTypePopup, menu);
        ReleaseMenu(menu);
        SetControl32BitMaximum(mTypePopup, static_cast<SInt32>(CFArrayGetCount(types)));
        SetControl32BitValue(mTypePopup, 1);
        SetControlCommandID(mTypePopup, kCommandType);
    }
}

// The keyboard starts in the list, or in the save dialog's name with the name
// selected without its extension, ready to be typed over.
void NavDialog::FocusFirst()
{
    if (!mNameField) {
        SetKeyboardFocus(mWindow, mList->GetControl(), 1);
        return;
    }
    SetKeyboardFocus(mWindow, mNameField, kControlEditTextPart);
    std::string const name = mOptions.saveFileName ? ToString(mOptions.saveFileName) : std::string("untitled");
    SelectInField(mNameField, {}, WithoutExtension(name));
}

void NavDialog::Fill()
{
    std::vector<FileEntry> shown;
    for (FileEntry& entry : ListFolder(mFolder, mOptions.optionFlags & kNavAllowInvisibleFiles)) {
        if (!Shows(entry))
            continue;
        if (!IsLive(this))
            return;
        entry.enabled = entry.folder || mKind == DialogKind::Open;
        shown.push_back(std::move(entry));
    }
    CFStringRef path = tw::cf::CreateString(mFolder);
    SetControlData(mPathText, kControlEntireControl, kControlStaticTextCFStringTag, sizeof path, &path);
    CFRelease(path);
    mList->SetEntries(std::move(shown));
}

bool NavDialog::Shows(FileEntry const& entry)
{
    if (mKind == DialogKind::ChooseFolder && !entry.folder)
        return false;
    if (mKind == DialogKind::Save || !mFilterProc)
        return true;
    AEDesc item {};
    if (MakeFileDesc(entry.path, &item) != noErr)
        return false;
    ++mCallbackDepth;
    bool const shown = mFilterProc(&item, nullptr, mUserData, kNavFilteringBrowserList);
    --mCallbackDepth;
    AEDisposeDesc(&item);
    return shown;
}

void NavDialog::Enter(std::string const& folder)
{
    if (SetLocation(folder) != noErr)
        return;
    CloseLocation();
    Callback(kNavCBNewLocation, kNavUserActionNone, nullptr);
}

void NavDialog::GoUp() { Enter(ParentOf(mFolder)); }

// "/" or "~" typed in the list, or Command-L: the save dialog takes the path in its
// name field; the others open the place field over the folder's path.
void NavDialog::StartPath(std::string const& text)
{
    ControlRef const field = mNameField ? mNameField : mLocationField;
    if (!field)
        return;
    if (field == mLocationField && !IsLocationOpen()) {
        HideControl(mPathText);
        ShowControl(mLocationField);
    }
    SetKeyboardFocus(mWindow, field, kControlEditTextPart);
    if (!text.empty()) {
        SetFieldText(field, text);
        SelectInField(field, text, {});
    } else if (field == mLocationField) {
        // Command-L: the folder's path, selected, so that a name typed over it is taken from here.
        std::string const here = mFolder == "/" ? mFolder : mFolder + "/";
        SetFieldText(field, here);
        SelectInField(field, {}, here);
    } else {
        SelectInField(field, {}, GetFieldText(field));
    }
    UpdateButtons();
}

void NavDialog::CloseLocation()
{
    if (!IsLocationOpen())
        return;
    ControlRef focus = nullptr;
    bool const focused = GetKeyboardFocus(mWindow, &focus) == noErr && focus == mLocationField;
    SetFieldText(mLocationField, {});
    HideControl(mLocationField);
    ShowControl(mPathText);
    if (focused)
        SetKeyboardFocus(mWindow, mList->GetControl(), 1);
    UpdateButtons();
}

bool NavDialog::IsLocationOpen() const { return mLocationField && IsControlVisible(mLocationField); }

std::string NavDialog::LocationText() const { return IsLocationOpen() ? GetFieldText(mLocationField) : std::string {}; }

// The place field follows the list: choosing a row there puts its name in the field.
void NavDialog::SelectionChanged()
{
    if (IsLocationOpen()) {
        std::vector<FileEntry> const selected = mList->SelectedEntries();
        SetFieldText(mLocationField, selected.size() == 1 ? selected.front().name : std::string {});
    }
    UpdateButtons();
}

void NavDialog::UpdateButtons()
{
    if (!mActionButton || mKind != DialogKind::Open)
        return;
    if (mList->SelectedEntries().empty() && ResolvePath(LocationText(), mFolder).empty())
        DisableControl(mActionButton);
    else
        EnableControl(mActionButton);
}

void NavDialog::TypeChosen()
{
    NavMenuItemSpec spec;
    spec.menuType = static_cast<OSType>(GetControl32BitValue(mTypePopup) - 1);
    Callback(kNavCBPopupMenuSelect, kNavUserActionNone, &spec);
    if (IsLive(this))
        Fill();
}

// Command-L opens the place field; Escape there closes it (and not the dialog).
bool NavDialog::Key(EventRef event)
{
    UInt32 modifiers = 0, code = 0;
    char character = 0;
    GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
    GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
    GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, sizeof character, nullptr, &character);
    if ((modifiers & cmdKey) && (character | 0x20) == 'l') {
        StartPath({});
        return true;
    }
    if (code == kKeyTab && !(modifiers & (cmdKey | optionKey | controlKey)))
        return AdvanceFocus((modifiers & shiftKey) != 0);
    ControlRef focus = nullptr;
    if (code == kKeyEscape && IsLocationOpen() && GetKeyboardFocus(mWindow, &focus) == noErr
        && focus == mLocationField) {
        CloseLocation();
        return true;
    }
    return false;
}

bool NavDialog::AdvanceFocus(bool backwards)
{
    std::vector<ControlRef> order;
    for (ControlRef control : { mNameField, mList->GetControl(), mLocationField, mTypePopup, mCancelButton, mActionButton })
        if (control)
            order.push_back(control);
    ControlRef focus = nullptr;
    GetKeyboardFocus(mWindow, &focus);
    auto const at = std::find(order.begin(), order.end(), focus);
    std::size_t const count = order.size(), current = at == order.end() ? 0 : std::size_t(at - order.begin());
    for (std::size_t step = 1; step < count; ++step) {
        ControlRef const next = order[backwards ? (current + count * 2 - step) % count : (current + step) % count];
        if (next == mLocationField && !IsLocationOpen()) {
            StartPath({}); // the folder's path, selected, to be typed over
            return true;
        }
        if (IsControlEnabled(next) && IsControlVisible(next)
            && SetKeyboardFocus(mWindow, next, backwards ? kControlFocusPrevPart : kControlFocusNextPart) == noErr)
            return true;
    }
    return false;
}

OSStatus NavDialog::Handle(EventHandlerCallRef, EventRef event, void* data)
{
    auto* self = static_cast<NavDialog*>(data);
    if (GetEventClass(event) == kEventClassKeyboard)
        return self->Key(event) ? OSStatus { noErr } : OSStatus { eventNotHandledErr };
    HICommand command {};
    GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
    switch (command.commandID) {
    case kHICommandOK:
        self->Accept();
        return noErr;
    case kHICommandCancel:
        self->Complete(kNavUserActionCancel);
        return noErr;
    case kCommandUp:
        self->GoUp();
        return noErr;
    case kCommandType:
        self->TypeChosen();
        return noErr;
    default:
        return eventNotHandledErr;
    }
}

} // namespace tw::toolbox::dialogs
