#include "corefoundation/CFArray.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/NavDialog.h"
#include "toolbox/dialogs/NavFiles.h"

#include <filesystem>

namespace tw::toolbox::dialogs {

namespace {

    constexpr UInt32 kCommandUp = 'navU';
    constexpr UInt32 kCommandType = 'navT';
    constexpr SInt16 kWidth = 560; // [px]
    constexpr SInt16 kListHeight = 220; // [px]

    CFStringRef CopyLabel(CFStringRef given, char const* key, char const* english)
    {
        if (given && CFStringGetLength(given) > 0)
            return static_cast<CFStringRef>(CFRetain(given));
        return CopyText(key, english);
    }

    std::string Extension(std::string const& name)
    {
        std::size_t const dot = name.rfind('.');
        return dot == std::string::npos || dot == 0 ? std::string {} : name.substr(dot + 1);
    }

} // namespace

void NavDialog::BuildBrowser()
{
    bool const save = mKind == DialogKind::Save;
    bool const hasMessage = mOptions.message && CFStringGetLength(mOptions.message) > 0;
    SInt16 const messageHeight = hasMessage ? TextHeight(mOptions.message, kWidth - 2 * kMargin) : 0;
    int y = 16;
    int const listTop = y + (hasMessage ? messageHeight + 10 : 0) + (save ? 34 : 0) + 34;
    int const buttonsTop = listTop + kListHeight + 16;
    CFStringRef title = CopyLabel(mOptions.windowTitle, save ? "NavTitleSave" : "NavTitleOpen",
        save                                    ? "Save"
            : mKind == DialogKind::ChooseFolder ? "Choose a Folder"
                                                : "Open");
    mWindow = MakeDialogWindow(IsSheet(), kWidth, static_cast<SInt16>(buttonsTop + kButtonHeight + kMargin), title);
    CFRelease(title);
    if (!mWindow)
        return;
    if (hasMessage) {
        AddText(mWindow, Box(kMargin, y, kWidth - 2 * kMargin, messageHeight), mOptions.message);
        y += messageHeight + 10;
    }
    if (save) {
        CFStringRef label = CopyText("NavSaveAs", "Save As:");
        AddText(mWindow, Box(kMargin, y + 3, 70, 17), label);
        CFRelease(label);
        Rect const field = Box(kMargin + 75, y, 320, 22);
        CFStringRef name = mOptions.saveFileName ? mOptions.saveFileName : CFSTR("untitled");
        CreateEditUnicodeTextControl(mWindow, &field, name, false, nullptr, &mNameField);
        Boolean const single = true; // Return presses Save: a file name has no line breaks
        SetControlData(mNameField, kControlEditTextPart, kControlEditTextSingleLineTag, sizeof single, &single);
        SetKeyboardFocus(mWindow, mNameField, kControlEditTextPart);
        y += 34;
    }
    CFStringRef up = CopyText("NavUp", "Up");
    AddButton(mWindow, Box(kMargin, y, 70, kButtonHeight), up, kCommandUp);
    CFRelease(up);
    mPathText = AddText(mWindow, Box(kMargin + 82, y + 4, kWidth - 2 * kMargin - 82, 17), nullptr);
    mList = std::make_unique<FileListView>(mWindow, Box(kMargin, listTop, kWidth - 2 * kMargin, kListHeight),
        mKind == DialogKind::Open && (mOptions.optionFlags & kNavAllowMultipleFiles));
    mList->SetSelectionChanged([this] { UpdateButtons(); });
    mList->SetOpenEntry([this](FileEntry const& entry) {
        if (entry.folder)
            Enter(entry.path);
        else if (mKind == DialogKind::Open)
            Accept();
    });
    AddButtons(buttonsTop);
    AddTypePopup(buttonsTop);
    EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
    InstallEventHandler(GetWindowEventTarget(mWindow), &NavDialog::Handle, 1, &command, this, nullptr);
    Fill();
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
    ControlRef cancelButton = AddButton(
        mWindow, Box(actionLeft - 12 - cancelWidth, top, cancelWidth, kButtonHeight), cancel, kHICommandCancel);
    CFRelease(action);
    CFRelease(cancel);
    SetWindowDefaultButton(mWindow, mActionButton);
    SetWindowCancelButton(mWindow, cancelButton);
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
    if (SetLocation(folder) == noErr)
        Callback(kNavCBNewLocation, kNavUserActionNone, nullptr);
}

void NavDialog::GoUp() { Enter(ParentOf(mFolder)); }

void NavDialog::UpdateButtons()
{
    if (!mActionButton || mKind != DialogKind::Open)
        return;
    if (mList->SelectedEntries().empty())
        DisableControl(mActionButton);
    else
        EnableControl(mActionButton);
}

void NavDialog::Accept()
{
    if (mKind == DialogKind::Save) {
        AcceptSave();
        return;
    }
    std::vector<FileEntry> const selected = mList->SelectedEntries();
    mChosen.clear();
    if (mKind == DialogKind::ChooseFolder) {
        mChosen.push_back(selected.empty() ? mFolder : selected.front().path);
        Complete(kNavUserActionChoose);
        return;
    }
    for (FileEntry const& entry : selected)
        if (!entry.folder)
            mChosen.push_back(entry.path);
    if (!mChosen.empty())
        Complete(kNavUserActionOpen);
    else if (selected.size() == 1)
        Enter(selected.front().path);
}

void NavDialog::AcceptSave()
{
    CFStringRef text = nullptr;
    GetControlData(mNameField, kControlEditTextPart, kControlEditTextCFStringTag, sizeof text, &text, nullptr);
    std::string name = ToString(text);
    if (text)
        CFRelease(text);
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        CFStringRef main = CopyText("NavBadName", "This name cannot be used.");
        CFStringRef info = CopyText("NavBadNameInfo", "Use a name without \u201C/\u201D that is not empty.");
        AlertDialog::Spec spec;
        spec.type = kAlertStopAlert;
        spec.main = main;
        spec.informative = info;
        spec.buttons[0] = CFSTR("OK");
        AlertDialog(spec, false).RunModal();
        CFRelease(main);
        CFRelease(info);
        return;
    }
    std::string const proposed = ToString(mOptions.saveFileName);
    if ((mOptions.optionFlags & kNavPreserveSaveFileExtension) && Extension(name).empty()
        && !Extension(proposed).empty())
        name += "." + Extension(proposed);
    std::string const target = Join(mFolder, name);
    std::error_code error;
    bool const exists = std::filesystem::exists(target, error);
    if (exists && std::filesystem::is_directory(target, error))
        return; // a folder is never replaced: the user picks another name
    if (exists && !(mOptions.optionFlags & kNavDontConfirmReplacement) && !ConfirmReplace(name))
        return;
    mReplacing = exists;
    mSaveName = name;
    mChosen = { target };
    Complete(kNavUserActionSaveAs);
}

bool NavDialog::ConfirmReplace(std::string const& name)
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

void NavDialog::TypeChosen()
{
    NavMenuItemSpec spec;
    spec.menuType = static_cast<OSType>(GetControl32BitValue(mTypePopup) - 1);
    Callback(kNavCBPopupMenuSelect, kNavUserActionNone, &spec);
    if (IsLive(this))
        Fill();
}

void NavDialog::ApplyAnswer(Answer const& answer)
{
    ApplyScripted(answer);
    if (!mCompleting)
        mPending.Fallback(mKind, [this](Answer const&) { Complete(kNavUserActionCancel); });
}

void NavDialog::ApplyScripted(Answer const& answer)
{
    if (answer.cancel || answer.paths.empty()) {
        Complete(kNavUserActionCancel);
        return;
    }
    std::string const& first = answer.paths.front();
    if (SetLocation(ParentOf(first)) != noErr) {
        Complete(kNavUserActionCancel);
        return;
    }
    if (mKind == DialogKind::Save) {
        CFStringRef name = tw::cf::CreateString(NameOf(first));
        SetControlData(mNameField, kControlEditTextPart, kControlEditTextCFStringTag, sizeof name, &name);
        CFRelease(name);
        Accept();
        return;
    }
    bool any = false;
    for (std::string const& path : answer.paths)
        any = mList->Select(NameOf(path), true) || any;
    if (any)
        Accept();
    else
        Complete(kNavUserActionCancel); // the files are not shown: nothing can be chosen
}

OSStatus NavDialog::Handle(EventHandlerCallRef, EventRef event, void* data)
{
    auto* self = static_cast<NavDialog*>(data);
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
