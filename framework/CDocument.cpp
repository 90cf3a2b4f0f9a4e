#include "framework/CDocument.h"

#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CFileErrorText.h"
#include "framework/CMacWindow.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/toolbar/ToolbarCalls.h"

#include <algorithm>

std::vector<CDocument*> CDocument::mDocumentList;
UInt32 CDocument::mUntitledCount = 0;

CDocument::CDocument()
    : mPrintDialog(false)
{
    mDocumentList.push_back(this);
    mFileDialog.AddListener(this);
    mPrintDialog.AddListener(this);
}

CDocument::~CDocument()
{
    std::erase(mDocumentList, this);
    CApplication* app = CApplication::GetApp();
    if (app && app->GetCurrentDocument() == this)
        app->SetCurrentDocument(nullptr);
    ForgetAlias();
    if (mModified)
        DiscardRecoveredCopy(); // closed without saving: the user let the changes go
}

void CDocument::DiscardRecoveredCopy()
{
    if (!mRecoveredCopy.IsSpecified())
        return;
    CApplication::RemoveRecoveredCopy(mRecoveredCopy);
    mRecoveredCopy = CFile();
}

std::vector<CDocument*> CDocument::GetDocuments(bool modifiedOnly)
{
    if (!modifiedOnly)
        return mDocumentList;
    std::vector<CDocument*> documents;
    for (CDocument* document : mDocumentList)
        if (document->IsModified() && document->GetSaveMode() == kSaveModeAsk)
            documents.push_back(document);
    return documents;
}

bool CDocument::IsDocument(CDocument const* document)
{
    return std::find(mDocumentList.begin(), mDocumentList.end(), document) != mDocumentList.end();
}

// The window shows no separate mark: the Close command and the quit review read the flag.
void CDocument::SetModified(bool modified)
{
    mModified = modified;
    if (CMacWindow* window = GetWindow())
        SetWindowModified(window->GetWindowRef(), modified);
}

void CDocument::SetFile(CFile const& file)
{
    // Another file has no state on disk this document has seen.
    if (file.GetPath() != mFile.GetPath())
        mDiskState = {};
    mFile = file;
    // A document named by a file before any other took a number gives its number back, so the
    // next new document is not "untitled 2" with no "untitled" open.
    if (file.IsSpecified() && mUntitledNumber != 0 && mUntitledNumber == mUntitledCount)
        --mUntitledCount;
    if (file.IsSpecified())
        mUntitledNumber = 0;
    if (CApplication* app = CApplication::GetApp()) {
        app->AddFileToRecentItems(file);
        // The save mode belongs to the file: a copy saved elsewhere asks, and the application's
        // own file saves itself however it was opened.
        if (file.IsSpecified())
            mSaveMode = app->GetSaveModeForFile(file);
    }
    UpdateFileProxy(true);
}

CString CDocument::GetDisplayName() const
{
    if (mFile.IsSpecified())
        return mFile.GetDisplayName();
    return GetWindow() ? GetWindow()->GetTitle() : CString();
}

bool CDocument::IsDialogActive() { return mFileDialog.IsActive() || mPrintDialog.IsActive(); }

CString CDocument::GetPropertyString(unsigned long id) const
{
    switch (id) {
    case 'dnib': {
        CApplication* app = CApplication::GetApp();
        return app ? app->GetPropertyString('anib') : CString();
    }
    case 'dnwn':
        return "Document";
    case 'dfic':
        return "FileDocument";
    case 'dfex':
        return "txt";
    default:
        return CString();
    }
}

UInt32 CDocument::GetPropertyInteger(unsigned long id) const
{
    switch (id) {
    case 'dfcr': {
        CApplication* app = CApplication::GetApp();
        return app ? CTextUtilities::GetOSTypeFromString(app->GetPropertyString('apro')) : 0;
    }
    case 'dfty':
        return 'TEXT';
    default:
        return 0;
    }
}

OSStatus CDocument::Initialise(IBNibRef nibRef, CString const& nib, CString const& window)
{
    return Initialise(nullptr);
}

// Two steps: a failure is returned and the creator deletes the document.
OSStatus CDocument::Initialise(CFile const* file)
{
    if (file)
        mFile = *file;
    OSStatus status = CWindowController::Initialise(nullptr, GetPropertyString('dnib'), GetPropertyString('dnwn'));
    if (status != noErr)
        return status;
    static EventTypeSpec const kEvents[] = {
        { 'wind' /* window */, 5 /* activated */ },
        { 'wind', 72 /* close */ },
        { 'cmds' /* command */, 1 /* process */ },
        { 'cmds', 2 /* update status */ },
        { 0, 0 },
    };
    AddEvents(kEvents);
    CMacWindow* window = GetWindow();
    window->Reposition(nullptr, kWindowCascadeOnMainScreen);
    window->SetTitle(GetWindowTitle());
    mFileDialog.SetParent(window->GetWindowRef());
    mPrintDialog.SetParent(window->GetWindowRef());
    if (mFile.IsSpecified()) {
        status = LoadDocument();
        if (status != noErr)
            return status;
        SetFile(mFile); // listed among the recent items only once it loaded
    } else {
        UpdateFileProxy(false);
    }
    SetModified(false);
    window->Select(true);
    return noErr;
}

// Every document window is titled in one form, without the document's own extension,
// whether or not the file system kept the file's hidden-extension flag. Save As adds
// 'dfex' to the name it proposes.
CString CDocument::GetWindowTitle()
{
    if (mFile.IsSpecified()) {
        CString const name = mFile.GetFileName();
        CString const extension = GetPropertyString('dfex');
        if (extension.IsEmpty() || !mFile.GetExtension().EqualNoCase(extension)
            || name.GetLength() <= extension.GetLength() + 1)
            return name;
        return name.Left(name.GetLength() - extension.GetLength() - 1);
    }
    if (mUntitledNumber == 0)
        mUntitledNumber = ++mUntitledCount;
    CString untitled = CTextUtilities::GetBundleString("untitled");
    if (mUntitledNumber == 1)
        return untitled;
    CString title;
    title.Format("%s %u", untitled.GetUTF8(), unsigned(mUntitledNumber));
    return title;
}

SInt32 CDocument::GetMenuStatus(HICommandExtended const& command)
{
    UInt32 id = command.commandID;
    bool fileCommand = id == 'page' || id == 'prnt' || id == 'svas' || id == 'save' || id == 'rvrt';
    if (!fileCommand)
        return CWindowController::GetMenuStatus(command);
    if ((GetWindow() && GetWindow()->HasSheet()) || IsDialogActive())
        return kMenuStatusDisable;
    switch (id) {
    case 'save':
        return mModified || IsUntitled() ? kMenuStatusEnable : kMenuStatusDisable;
    case 'rvrt':
        // Also for a file another program changed: Revert takes its new contents.
        return (mModified || IsChangedOnDisk()) && !IsUntitled() ? kMenuStatusEnable : kMenuStatusDisable;
    default:
        return kMenuStatusEnable;
    }
}

OSStatus CDocument::DoEventCommandProcess(CCarbonEvent& event)
{
    switch (event.GetHICommand().commandID) {
    case kHICommandCancel:
        return CommandCancel();
    case 'page':
        return CommandPageSetup();
    case 'prnt':
        return CommandPrint();
    case 'rvrt':
        return CommandRevert();
    case 'save':
        return CommandSave();
    case 'svas':
        return CommandSaveAs();
    default:
        return CWindowController::DoEventCommandProcess(event);
    }
}

void CDocument::DoMessage(UInt32 message, void* parameter)
{
    if (message == 'fdre' && parameter)
        CompleteFileCommand(*static_cast<FileDialogResult*>(parameter));
    else if (message == 'pdre' && parameter) {
        auto const* result = static_cast<PrintDialogResult const*>(parameter);
        // A print that fails says so: the user would otherwise wait for pages that never come.
        if (result->kind == kPrintDialogPrint && result->accepted)
            if (OSStatus const status = PrintDocument(); status != noErr)
                CApplication::DoAlert(CFileErrorText::GetHeadline(CFileErrorText::kPrint, GetDisplayName()),
                    CFileErrorText::GetReason(CFileErrorText::kPrint, CFile(), status), 2 /* caution */, "•default•",
                    CString(), CString());
    }
}

// Menus ask for their items' state each time they open or match a key, so there is no
// stored menu state to invalidate: only the toolbar's items are brought up to date.
void CDocument::InvalidateCommandStatus()
{
    HIToolbarRef const toolbar = GetWindowToolbar();
    CFArrayRef items = nullptr;
    if (!toolbar || HIToolbarCopyItems(toolbar, &items) != noErr || !items)
        return;
    for (CFIndex i = 0; i < CFArrayGetCount(items); ++i) {
        auto const item = HIToolbarItemRef(CFArrayGetValueAtIndex(items, i));
        HICommandExtended command {};
        if (HIToolbarItemGetCommandID(item, &command.commandID) != noErr || command.commandID == 0)
            continue;
        switch (GetMenuStatus(command)) {
        case kMenuStatusEnable:
            HIToolbarItemSetEnabled(item, true);
            break;
        case kMenuStatusDisable:
            HIToolbarItemSetEnabled(item, false);
            break;
        default:
            break;
        }
    }
    CFRelease(items);
}
