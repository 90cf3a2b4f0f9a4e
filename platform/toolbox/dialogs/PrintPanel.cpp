#include "toolbox/dialogs/PrintPanel.h"

#include "toolbox/MenuCalls.h"
#include "toolbox/dialogs/AlertDialog.h"
#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/NavFiles.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>

namespace tw::toolbox::dialogs {

namespace {

    constexpr UInt32 kCommandDestination = 'pdst';
    constexpr UInt32 kCommandAllPages = 'pall';
    constexpr SInt16 kLabelWidth = 100; // [px]
    constexpr SInt16 kFieldLeft = kMargin + kLabelWidth + 8; // [px]

    ControlRef AddPopup(WindowRef window, Rect const& bounds, std::initializer_list<char const*> items, UInt32 command)
    {
        MenuRef menu = nullptr;
        CreateNewMenu(0, 0, &menu);
        for (char const* item : items) {
            CFStringRef text = tw::cf::CreateString(item);
            AppendMenuItemTextWithCFString(menu, text, 0, 0, nullptr);
            CFRelease(text);
        }
        ControlRef popup = nullptr;
        CreatePopupButtonControl(window, &bounds, nullptr, -12345, false, 0, 0, 0, &popup);
        SetControlPopupMenuHandle(popup, menu);
        ReleaseMenu(menu);
        SetControl32BitMaximum(popup, static_cast<SInt32>(items.size()));
        SetControl32BitValue(popup, 1);
        if (command)
            SetControlCommandID(popup, command);
        return popup;
    }

    void AddLabel(WindowRef window, int y, char const* key, char const* english)
    {
        CFStringRef text = CopyText(key, english);
        AddText(window, Box(kMargin, y + 3, kLabelWidth, 17), text);
        CFRelease(text);
    }

    ControlRef AddField(WindowRef window, Rect const& bounds, std::string const& text)
    {
        CFStringRef string = tw::cf::CreateString(text);
        ControlRef field = nullptr;
        CreateEditUnicodeTextControl(window, &bounds, string, false, nullptr, &field);
        CFRelease(string);
        Boolean const single = true; // Return is the default button's, not a line break
        SetControlData(field, kControlEditTextPart, kControlEditTextSingleLineTag, sizeof single, &single);
        return field;
    }

    std::string FieldText(ControlRef field)
    {
        std::string result = GetFieldText(field);
        while (!result.empty() && result.back() == ' ')
            result.pop_back();
        while (!result.empty() && result.front() == ' ')
            result.erase(result.begin());
        return result;
    }

    // A whole number within the limits, or 0.
    UInt32 ParseNumber(std::string const& text, UInt32 low, UInt32 high)
    {
        UInt32 value = 0;
        auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
            return 0;
        return value;
    }

    void Complain(char const* key, char const* english)
    {
        CFStringRef text = CopyText(key, english);
        AlertDialog::Spec spec;
        spec.type = kAlertStopAlert;
        spec.main = text;
        spec.buttons[0] = CFSTR("OK");
        AlertDialog(spec, false).RunModal();
        CFRelease(text);
    }

    // The folder of the last PDF file printed to, for the session: a new job is proposed there.
    std::string& LastPdfFolder()
    {
        static std::string folder;
        return folder;
    }

    std::string ProposedPdfFolder()
    {
        std::error_code error;
        std::string const& last = LastPdfFolder();
        return !last.empty() && std::filesystem::is_directory(last, error) ? last : HomeFolder();
    }

} // namespace

PrintPanel::PrintPanel(PrintSession* session, PageFormat* format, PrintSettings* settings)
    : mSession(session)
    , mFormat(format)
    , mSettings(settings)
    , mSheet(session->mSheetWindow != nullptr)
{
    mFormat->Retain();
    if (mSettings) {
        mSettings->Retain();
        mPrinter = DefaultPrinter();
    }
    Build();
}

PrintPanel::~PrintPanel()
{
    mPending.Clear();
    if (mWindow) {
        WindowRef parent = nullptr;
        if (GetSheetWindowParent(mWindow, &parent) == noErr && parent)
            HideSheetWindow(mWindow);
        DisposeWindow(mWindow);
    }
    mFormat->Release();
    if (mSettings)
        mSettings->Release();
}

void PrintPanel::Build()
{
    SInt16 const width = IsPrint() ? 460 : 380;
    SInt16 const height = IsPrint() ? 240 : 156;
    CFStringRef title = IsPrint() ? CopyText("PrintTitle", "Print") : CopyText("PageSetupTitle", "Page Setup");
    mWindow = MakeDialogWindow(mSheet, width, height, title);
    CFRelease(title);
    if (!mWindow)
        return;
    int y = kMargin;
    if (IsPrint())
        BuildPrint(y);
    else
        BuildPageSetup(y);
    y = height - kMargin - kButtonHeight;
    CFStringRef ok = IsPrint() ? CopyText("PrintButton", "Print") : CopyText("AlertOK", "OK");
    CFStringRef cancel = CopyText("NavCancel", "Cancel");
    SInt16 const okWidth = ButtonWidth(ok);
    SInt16 const cancelWidth = ButtonWidth(cancel);
    int const okLeft = width - kMargin - okWidth;
    // Made in the order they read, which Tab follows.
    ControlRef cancelButton
        = AddButton(mWindow, Box(okLeft - 12 - cancelWidth, y, cancelWidth, kButtonHeight), cancel, kHICommandCancel);
    ControlRef okButton = AddButton(mWindow, Box(okLeft, y, okWidth, kButtonHeight), ok, kHICommandOK);
    CFRelease(ok);
    CFRelease(cancel);
    SetWindowDefaultButton(mWindow, okButton);
    SetWindowCancelButton(mWindow, cancelButton);
    // A page range is chosen and printed from the keyboard too, though the sheet has fields.
    MakeTabStop(cancelButton);
    MakeTabStop(okButton);
    EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
    InstallEventHandler(GetWindowEventTarget(mWindow), &PrintPanel::Handle, 1, &command, this, nullptr);
}

void PrintPanel::BuildPageSetup(int& y)
{
    AddLabel(mWindow, y, "PrintPaper", "Paper Size:");
    mPaperPopup = AddPopup(mWindow, Box(kFieldLeft, y, 230, kButtonHeight),
        { "US Letter (8.5 \u00D7 11 in)", "A4 (210 \u00D7 297 mm)" }, 0);
    SetControl32BitValue(mPaperPopup, mFormat->mPaper == "iso-a4" ? 2 : 1);
    y += 36;
    AddLabel(mWindow, y, "PrintOrientation", "Orientation:");
    mOrientationPopup = AddPopup(mWindow, Box(kFieldLeft, y, 230, kButtonHeight), { "Portrait", "Landscape" }, 0);
    SetControl32BitValue(mOrientationPopup, mFormat->mOrientation == kPMLandscape ? 2 : 1);
    y += 36;
}

void PrintPanel::BuildPrint(int& y)
{
    AddLabel(mWindow, y, "PrintPrinter", "Printer:");
    Rect const popupBox = Box(kFieldLeft, y, 312, kButtonHeight);
    mDestinationPopup = mPrinter.empty()
        ? AddPopup(mWindow, popupBox, { "Save as PDF File" }, kCommandDestination)
        : AddPopup(mWindow, popupBox, { mPrinter.c_str(), "Save as PDF File" }, kCommandDestination);
    bool const toFile = mPrinter.empty() || mSettings->mDestination == kPMDestinationFile;
    SetControl32BitValue(mDestinationPopup, toFile && !mPrinter.empty() ? 2 : 1);
    y += 36;
    AddLabel(mWindow, y, "PrintFile", "PDF File:");
    // The document's name without its extension, as a PDF file in the folder printed to last,
    // else at home.
    std::string file = mSettings->mFile;
    if (file.empty())
        file = Join(ProposedPdfFolder(),
            (mSettings->mJobName.empty() ? std::string("Untitled") : WithoutExtension(mSettings->mJobName)) + ".pdf");
    mFileField = AddField(mWindow, Box(kFieldLeft, y, 312, 22), file);
    y += 34;
    AddLabel(mWindow, y, "PrintCopies", "Copies:");
    mCopiesField = AddField(mWindow, Box(kFieldLeft, y, 60, 22), std::to_string(mSettings->mCopies));
    y += 34;
    AddLabel(mWindow, y, "PrintPages", "Pages:");
    Rect const all = Box(kFieldLeft, y + 1, 60, 20);
    CFStringRef allText = CopyText("PrintAll", "All");
    CreateCheckBoxControl(mWindow, &all, allText, 1, true, &mAllPages);
    CFRelease(allText);
    SetControlCommandID(mAllPages, kCommandAllPages);
    CFStringRef from = CopyText("PrintFrom", "From:");
    AddText(mWindow, Box(kFieldLeft + 70, y + 3, 44, 17), from);
    CFRelease(from);
    mFromField = AddField(mWindow, Box(kFieldLeft + 116, y, 50, 22), "1");
    CFStringRef to = CopyText("PrintTo", "to:");
    AddText(mWindow, Box(kFieldLeft + 174, y + 3, 24, 17), to);
    CFRelease(to);
    std::string const last = mSettings->mMaxPage == kPMPrintAllPages ? "1" : std::to_string(mSettings->mMaxPage);
    mToField = AddField(mWindow, Box(kFieldLeft + 200, y, 50, 22), last);
    y += 34;
    DestinationChanged();
}

void PrintPanel::DestinationChanged()
{
    if (!mDestinationPopup)
        return;
    bool const toFile = mPrinter.empty() || GetControl32BitValue(mDestinationPopup) == 2;
    if (toFile)
        EnableControl(mFileField);
    else
        DisableControl(mFileField);
    bool const all = GetControl32BitValue(mAllPages) != 0;
    for (ControlRef field : { mFromField, mToField })
        if (all)
            DisableControl(field);
        else
            EnableControl(field);
}

// The PDF file's path ("~" and paths from the home folder taken), in an existing
// folder, not a folder itself; an existing file is replaced only when the user agrees.
bool PrintPanel::CheckFile()
{
    std::string const typed = FieldText(mFileField);
    std::string const file = ResolvePath(typed, HomeFolder());
    std::error_code error;
    if (file.empty()) {
        Complain("PrintNoFile", "Type the path of the PDF file.");
        return false;
    }
    if (!std::filesystem::is_directory(ParentOf(file), error)) {
        TellAbout(typed, "PrintNoFolder", "The folder of \u201C%@\u201D does not exist.", "PrintFileInfo",
            "Type the path of a file in an existing folder, such as ~/Documents/Trip.pdf.");
        return false;
    }
    if (std::filesystem::is_directory(file, error)) {
        TellAbout(typed, "PrintFileIsFolder", "\u201C%@\u201D is a folder.", "PrintFileInfo",
            "Type the path of a file in an existing folder, such as ~/Documents/Trip.pdf.");
        return false;
    }
    return !std::filesystem::exists(file, error) || ConfirmReplace(NameOf(file));
}

bool PrintPanel::Store()
{
    if (!IsPrint()) {
        mFormat->mPaper = GetControl32BitValue(mPaperPopup) == 2 ? "iso-a4" : "na-letter";
        mFormat->mOrientation = GetControl32BitValue(mOrientationPopup) == 2 ? kPMLandscape : kPMPortrait;
        return true;
    }
    bool const toFile = mPrinter.empty() || GetControl32BitValue(mDestinationPopup) == 2;
    UInt32 const copies = ParseNumber(FieldText(mCopiesField), 1, 999);
    if (copies == 0) {
        Complain("PrintBadCopies", "Enter a number of copies from 1 to 999.");
        return false;
    }
    bool const all = GetControl32BitValue(mAllPages) != 0;
    UInt32 const first = all ? 1 : ParseNumber(FieldText(mFromField), 1, 999999);
    UInt32 const last = all ? kPMPrintAllPages : ParseNumber(FieldText(mToField), 1, 999999);
    if (first == 0 || last == 0 || first > last) {
        Complain("PrintBadRange", "Enter a page range whose first page is not after its last.");
        return false;
    }
    // Last: the question of replacing a file comes once everything else is right.
    if (toFile && !CheckFile())
        return false;
    std::string const file = ResolvePath(FieldText(mFileField), HomeFolder());
    mSettings->mDestination = toFile ? kPMDestinationFile : kPMDestinationPrinter;
    mSettings->mPrinter = toFile ? std::string {} : mPrinter;
    if (toFile) {
        mSettings->mFile = file;
        LastPdfFolder() = ParentOf(file);
    }
    mSettings->mCopies = copies;
    mSettings->mFirstPage = first;
    mSettings->mLastPage = last;
    return true;
}

} // namespace tw::toolbox::dialogs
