#include "foundation/CFPropertyList.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "foundation/Status.h"
#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CFileErrorText.h"
#include "framework/CMacWindow.h"
#include "services/MacMemory.h"

#include <cmath>

namespace {

// A stored rectangle is outside data: it is used only when every edge is a window coordinate.
bool IsUsableBounds(CGRect const& bounds)
{
    double const edges[] = { bounds.origin.x, bounds.origin.y, bounds.origin.x + bounds.size.width,
        bounds.origin.y + bounds.size.height };
    for (double edge : edges)
        if (!std::isfinite(edge) || edge < -32768 || edge > 32767)
            return false;
    return bounds.size.width > 0 && bounds.size.height > 0;
}

} // namespace

OSStatus CDocument::LoadDocument()
{
    OSStatus status = LoadSelf();
    if (status == noErr)
        SetModified(false);
    return status;
}

OSStatus CDocument::SaveDocument()
{
    OSStatus status = SaveSelf();
    if (status != noErr)
        return status;
    status = mFile.SetFileCreatorAndType(GetPropertyInteger('dfcr'), GetPropertyInteger('dfty'));
    SetModified(false);
    UpdateFileProxy(true);
    return status;
}

OSStatus CDocument::LoadSelf()
{
    CFPropertyList propertyList;
    OSStatus status = propertyList.Load(mFile);
    if (status != noErr)
        return status;
    CFDictionaryRef dictionary = propertyList.GetDictionary();
    if (!dictionary)
        return kNothingParseableErr;
    return DecodeProperties(CFDictionary(dictionary));
}

OSStatus CDocument::SaveSelf()
{
    CFDictionary properties;
    OSStatus status = EncodeProperties(properties);
    if (status != noErr)
        return status;
    CFPropertyList propertyList;
    propertyList.SetPropertyList(properties);
    return propertyList.Save(mFile);
}

OSStatus CDocument::EncodeProperties(CFDictionary& properties)
{
    if (!GetWindow())
        return noErr;
    Rect content {};
    GetWindowBounds(GetWindow()->GetWindowRef(), kWindowContentRgn, &content);
    properties.SetValueRect(kPropertyWindowBounds,
        CGRectMake(content.left, content.top, content.right - content.left, content.bottom - content.top));
    return noErr;
}

OSStatus CDocument::DecodeProperties(CFDictionary const& properties)
{
    if (!GetWindow())
        return noErr;
    // No rectangle, or a damaged one, keeps the window where it is.
    CGRect bounds = properties.GetValueRect(kPropertyWindowBounds);
    if (!IsUsableBounds(bounds))
        return noErr;
    CRect content(SInt16(bounds.origin.y), SInt16(bounds.origin.x), SInt16(bounds.origin.y + bounds.size.height),
        SInt16(bounds.origin.x + bounds.size.width));
    // A place saved with the title bar off the screen (or on a larger screen) comes back on it.
    content = GetWindow()->FitOnScreen(content);
    return GetWindow()->SetWindowBounds(content, kWindowContentRgn, 3 /* slide */);
}

OSStatus CDocument::CommandSave()
{
    if (IsUntitled())
        return CommandSaveAs();
    OSStatus status = SaveDocument();
    if (status != noErr)
        ReportSaveFailure(mFile, status);
    return status;
}

OSStatus CDocument::CommandSaveAs()
{
    CString name = GetDisplayName();
    CFileUtilities::SetPathExtension(name, GetPropertyString('dfex'), kCFURLPOSIXPathStyle);
    UInt32 action = mFileDialog.ChooseSave(CTextUtilities::GetBundleString("Save"), CString(), nullptr, name,
        GetPropertyInteger('dfty'), GetPropertyInteger('dfcr'), GetPropertyInteger('dpkg') != 0, nullptr);
    return action == kNavUserActionCancel ? userCanceledErr : noErr;
}

OSStatus CDocument::CommandRevert()
{
    if (!mModified)
        return LoadDocument();
    mFileDialog.AskDiscardChanges(GetDisplayName());
    return noErr;
}

void CDocument::CompleteFileCommand(FileDialogResult const& result)
{
    switch (result.action) {
    case kNavUserActionCancel:
        mCloseAfterSave = false;
        mClosingForQuit = false;
        if (UInt32 mode = CApplication::GetAppMode(); mode == 2 || mode == 3)
            CApplication::GetApp()->CancelClosingDocs();
        break;
    case kNavUserActionSaveAs: {
        CFile previous = mFile;
        mFile = result.file;
        OSStatus status = SaveDocument();
        if (status != noErr) {
            CFile const failed = mFile;
            mFile = previous; // the document still belongs where it came from
            ReportSaveFailure(failed, status);
            break;
        }
        SetFile(mFile);
        if (GetWindow())
            GetWindow()->SetTitle(GetWindowTitle());
        if (mCloseAfterSave)
            CommandClose();
        break;
    }
    case kNavUserActionSaveChanges:
        mCloseAfterSave = IsUntitled();
        // An untitled document closes later, when its save-as sheet answers.
        if (CommandSave() == noErr && !mCloseAfterSave)
            CommandClose();
        break;
    case kNavUserActionDontSaveChanges:
        SetModified(false);
        CommandClose();
        break;
    case kNavUserActionDiscardChanges:
        LoadDocument();
        break;
    default:
        break;
    }
}

// A stop alert: the changes are not on disk.
void CDocument::ReportSaveFailure(CFile const& file, OSStatus status)
{
    CString const name = file.IsSpecified() ? file.GetDisplayName() : GetDisplayName();
    CApplication::DoAlert(CFileErrorText::GetHeadline(CFileErrorText::kSave, name),
        CFileErrorText::GetReason(CFileErrorText::kSave, file, status), 0 /* stop */, "•default•", CString(),
        CString());
    mCloseAfterSave = false;
    bool closing = mClosingForQuit;
    mClosingForQuit = false;
    UInt32 mode = CApplication::GetAppMode();
    if (closing || mode == 2 || mode == 3)
        CApplication::GetApp()->CancelClosingDocs();
}

// Follows a file moved while the document was open; an untitled document loads its icon.
void CDocument::UpdateFileProxy(bool forced)
{
    if (IsUntitled()) {
        CString icon = GetPropertyString('dfic');
        if (!mDocumentIcon.IsValid() && icon.IsNotEmpty()) {
            CFile iconFile = CFileUtilities::GetBundleResource(icon, "icns", CString());
            if (iconFile.Exists())
                mDocumentIcon = CIconRef(iconFile, true, GetPropertyInteger('dfcr'), GetPropertyInteger('dfty'));
        }
        return;
    }
    if (forced)
        ForgetAlias();
    if (!mProxyAlias) {
        mProxyAlias = mFile.CreateAlias(nullptr);
        return;
    }
    CFile resolved = CFileUtilities::ResolveAliasHandle(mProxyAlias);
    if (!resolved.IsSpecified() || resolved == mFile)
        return;
    mFile = resolved;
    if (GetWindow())
        GetWindow()->SetTitle(GetWindowTitle());
}

void CDocument::ForgetAlias()
{
    DisposeHandle(reinterpret_cast<Handle>(mProxyAlias));
    mProxyAlias = nullptr;
}
