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
#include <sys/stat.h>

namespace {

// A stored rectangle is outside data: it is used only when every edge is a window coordinate.
bool IsUsableBounds(CGRect const& bounds)
{
    double const edges[] = { bounds.origin.x, bounds.origin.y, bounds.origin.x + bounds.size.width,
        bounds.origin.y + bounds.size.height };
    for (double edge : edges)
        if (!std::isfinite(edge) || edge < -32768 || edge > 32767)
            return false;
    // Below one pixel the size would become a window with no width at all.
    return bounds.size.width >= 1 && bounds.size.height >= 1;
}

std::array<SInt64, 5> DiskStateOf(CFile const& file)
{
    struct stat info;
    if (!file.IsSpecified() || stat(file.GetPath().c_str(), &info) != 0)
        return {};
    return { SInt64(info.st_dev), SInt64(info.st_ino), SInt64(info.st_size), SInt64(info.st_mtim.tv_sec),
        SInt64(info.st_mtim.tv_nsec) };
}

} // namespace

OSStatus CDocument::LoadDocument()
{
    OSStatus status = LoadSelf();
    if (status == noErr) {
        SetModified(false);
        NoteDiskState();
    }
    return status;
}

OSStatus CDocument::SaveDocument()
{
    OSStatus status = SaveSelf();
    if (status != noErr)
        return status;
    status = mFile.SetFileCreatorAndType(GetPropertyInteger('dfcr'), GetPropertyInteger('dfty'));
    SetModified(false);
    DiscardRecoveredCopy();
    NoteDiskState();
    UpdateFileProxy(true);
    return status;
}

OSStatus CDocument::SaveDocumentForUser()
{
    mSavingForUser = true;
    OSStatus const status = SaveDocument();
    mSavingForUser = false;
    return status;
}

OSStatus CDocument::WriteCopy(CFile const& file)
{
    CFile const own = mFile;
    mFile = file;
    OSStatus const status = SaveSelf();
    mFile = own;
    return status;
}

void CDocument::NoteDiskState() { mDiskState = DiskStateOf(mFile); }

// A file that is gone is not "changed": saving writes it again.
bool CDocument::IsChangedOnDisk() const
{
    if (IsUntitled() || mDiskState == std::array<SInt64, 5> {})
        return false;
    std::array<SInt64, 5> const now = DiskStateOf(mFile);
    return now != std::array<SInt64, 5> {} && now != mDiskState;
}

// Changes another program made are not overwritten without a word; Revert takes them instead.
bool CDocument::ConfirmSave()
{
    if (!IsChangedOnDisk())
        return true;
    CString major;
    major.Format(CTextUtilities::GetBundleString("DocChangedOnDisk").GetUTF8(), GetDisplayName().GetUTF8());
    SInt16 const answer = CApplication::DoAlert(major, CTextUtilities::GetBundleString("DocChangedOnDiskDetail"),
        2 /* caution */, CTextUtilities::GetBundleString("DocChangedOnDiskSave"),
        CTextUtilities::GetBundleString("AlertCancel"), CTextUtilities::GetBundleString("DocChangedOnDiskRevert"));
    if (answer == 1)
        return true;
    if (answer == 3)
        RevertToFile();
    return false;
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
    return DecodeProperties(CFDictionary(dictionary, CFDictionary::Shared::kForReading));
}

OSStatus CDocument::SaveSelf()
{
    CFDictionary properties;
    OSStatus status = EncodeProperties(properties);
    if (status != noErr)
        return status;
    // The dictionary itself, not a copy: it is this function's own, and may be large.
    CFPropertyList propertyList;
    propertyList.SetPropertyList(properties.GetCFDictionary());
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
    // Never a new file at the old place while the old one lives on elsewhere, or was deleted.
    if (IsUntitled() || HasLostItsFile())
        return CommandSaveAs();
    if (!ConfirmSave()) {
        EndClosing();
        return userCanceledErr;
    }
    OSStatus status = SaveDocumentForUser();
    // Stopped by the user: the file is as it was and the document stays modified; a close or
    // quit that waited for the save goes no further.
    if (status == userCanceledErr)
        EndClosing();
    else if (status != noErr)
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
        return RevertToFile();
    mFileDialog.AskDiscardChanges(GetDisplayName());
    return noErr;
}

// A file that cannot be read again says why; the document keeps what it shows.
OSStatus CDocument::RevertToFile()
{
    OSStatus const status = LoadDocument();
    if (status == noErr)
        DiscardRecoveredCopy();
    if (status != noErr) {
        CString major;
        major.Format(CTextUtilities::GetBundleString("DocRevertFailed").GetUTF8(), GetDisplayName().GetUTF8());
        CApplication::DoAlert(major, CFileErrorText::GetReason(CFileErrorText::kOpen, mFile, status), 2 /* caution */,
            "•default•", CString(), CString());
    }
    return status;
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
        CFile const chosen = GetFileWithExtension(result.file);
        if (!chosen.IsSpecified()) {
            EndClosing();
            break;
        }
        // Two windows on one file would overwrite each other's saves without a word.
        if (CDocument const* holder = FindOtherDocument(chosen)) {
            CString reason;
            reason.Format(
                CTextUtilities::GetBundleString("DocSaveOpenElsewhere").GetUTF8(), holder->GetDisplayName().GetUTF8());
            ReportSaveFailure(chosen, noErr, reason);
            break;
        }
        CFile previous = mFile;
        mFile = chosen;
        OSStatus status = SaveDocumentForUser();
        if (status != noErr) {
            CFile const failed = mFile;
            mFile = previous; // the document still belongs where it came from
            if (status == userCanceledErr)
                EndClosing();
            else
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
        mCloseAfterSave = IsUntitled() || HasLostItsFile();
        // An untitled or lost document closes later, when its save-as sheet answers.
        if (CommandSave() == noErr && !mCloseAfterSave)
            CommandClose();
        break;
    case kNavUserActionDontSaveChanges:
        SetModified(false);
        DiscardRecoveredCopy();
        CommandClose();
        break;
    case kNavUserActionDiscardChanges:
        RevertToFile();
        break;
    default:
        break;
    }
}

// A document saved under another kind's extension ("trip.gpx") would be taken for that kind:
// it gets its own extension after the name. A file of that name already there is replaced
// only when the user says so (the save sheet asked about the name typed, not this one).
// Unspecified when the user declines.
CFile CDocument::GetFileWithExtension(CFile const& file) const
{
    CString const extension = GetPropertyString('dfex');
    if (extension.IsEmpty() || file.GetExtension().GetLower() == extension.GetLower())
        return file;
    CFile const named(CString((file.GetPath() + "." + extension.GetUTF8()).c_str()));
    if (!named.Exists())
        return named;
    CString major;
    major.Format(CTextUtilities::GetBundleString("DocSaveReplace").GetUTF8(), named.GetFileName().GetUTF8());
    SInt16 const answer = CApplication::DoAlert(major, CTextUtilities::GetBundleString("DocSaveReplaceDetail"),
        2 /* caution */, CTextUtilities::GetBundleString("DocSaveReplaceButton"),
        CTextUtilities::GetBundleString("AlertCancel"), CString());
    return answer == 1 ? named : CFile();
}

CDocument const* CDocument::FindOtherDocument(CFile const& file) const
{
    for (CDocument const* other : mDocumentList)
        if (other != this && other->mFile.IsSpecified()
            && (other->mFile.IsSameFile(file) || other->mFile.GetPath() == file.GetPath()))
            return other;
    return nullptr;
}

// A stop alert: the changes are not on disk.
void CDocument::ReportSaveFailure(CFile const& file, OSStatus status, CString const& reason)
{
    CString const name = file.IsSpecified() ? file.GetDisplayName() : GetDisplayName();
    CApplication::DoAlert(CFileErrorText::GetHeadline(CFileErrorText::kSave, name),
        reason.IsNotEmpty() ? reason : CFileErrorText::GetReason(CFileErrorText::kSave, file, status), 0 /* stop */,
        "•default•", CString(), CString());
    EndClosing();
}

void CDocument::EndClosing()
{
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
        mFollower.Follow(mProxyAlias ? mFile.GetPath() : std::string());
        mFileLost = false;
        return;
    }
    // The open descriptor knows where the file went; the alias finds a file replaced at its
    // place by another program, or renamed where the descriptor cannot be read.
    std::string const followed = mFollower.GetPath();
    CFile resolved = followed.empty() ? CFileUtilities::ResolveAliasHandle(mProxyAlias) : CFile(CString(followed.c_str()));
    mFileLost = !resolved.IsSpecified();
    if (mFileLost || resolved == mFile)
        return;
    if (followed.empty())
        mFollower.Follow(resolved.GetPath());
    mFile = resolved;
    if (GetWindow())
        GetWindow()->SetTitle(GetWindowTitle());
}

void CDocument::ForgetAlias()
{
    DisposeHandle(reinterpret_cast<Handle>(mProxyAlias));
    mProxyAlias = nullptr;
    mFollower.Follow("");
    mFileLost = false;
}

// The program's own file (one that saves itself) is looked for at its place: it is written there again.
bool CDocument::HasLostItsFile()
{
    UpdateFileProxy(false);
    return !IsUntitled() && mSaveMode != kSaveModeAlways && mFileLost;
}
