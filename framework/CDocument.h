#pragma once

#include "foundation/CFile.h"
#include "foundation/CIconRef.h"
#include "foundation/CMsgListener.h"
#include "framework/CFileDialog.h"
#include "framework/CPrintDialog.h"
#include "framework/CPropertyStore.h"
#include "framework/CWindowController.h"

#include <array>
#include <vector>

// A window controller with a file: the modified state, save, save as, revert,
// page setup and print with their sheets, untitled naming, and the document as
// a property list. Every live document is in the document list.
class CDocument : public CWindowController, public CPropertyStore, public CMsgListener {
public:
    enum SaveMode : UInt32 {
        kSaveModeAsk = 2, // ask before closing a modified document
        kSaveModeAlways = 4, // save without asking when it closes
    };
    static constexpr char const* kPropertyWindowBounds = "WindowBounds";

    CDocument();
    ~CDocument() override;

    static std::vector<CDocument*> GetDocuments(bool modifiedOnly);
    static bool IsDocument(CDocument const* document); // still alive
    static void ResetUntitledCountForTesting() { mUntitledCount = 0; }

    bool IsModified() const { return mModified; }
    void SetModified(bool modified);
    UInt32 GetSaveMode() const { return mSaveMode; }
    void SetSaveMode(UInt32 mode) { mSaveMode = mode; }
    CFile const& GetFile() const { return mFile; }
    void SetFile(CFile const& file);
    CString GetDisplayName() const;
    bool IsUntitled() const { return !mFile.IsSpecified(); }
    // A file or print sheet of this document is running.
    bool IsDialogActive();

    OSStatus LoadDocument();
    OSStatus SaveDocument();
    // The document as it would be saved, written to another file; the document keeps its own.
    OSStatus WriteCopy(CFile const& file);
    void InvalidateCommandStatus();
    OSStatus PrintDocument();

    SInt32 GetMenuStatus(HICommandExtended const& command) override;
    OSStatus DoEventAppActivated(CCarbonEvent& event) override;
    OSStatus DoEventWindowActivated(CCarbonEvent& event) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus DoEventCommandUpdateStatus(CCarbonEvent& event) override { return eventNotHandledErr; }
    OSStatus Initialise(IBNibRef nibRef, CString const& nib, CString const& window) override;
    OSStatus InitialiseSelf() override { return noErr; }
    OSStatus CommandClose() override;

    virtual OSStatus Initialise(CFile const* file);
    virtual CString GetPropertyString(unsigned long id) const;
    virtual UInt32 GetPropertyInteger(unsigned long id) const;
    void DoMessage(UInt32 message, void* parameter) override;
    virtual OSStatus CommandCancel();
    virtual OSStatus CommandSave();
    virtual OSStatus CommandSaveAs();
    virtual OSStatus CommandRevert();
    // Reads the file again, saying so when it cannot.
    OSStatus RevertToFile();
    virtual OSStatus CommandPageSetup();
    virtual OSStatus CommandPrint();
    virtual OSStatus LoadSelf();
    virtual OSStatus SaveSelf();
    virtual OSStatus PrintSelf(CPrintDialog* dialog, unsigned long page);
    virtual CString GetWindowTitle();
    virtual OSStatus PrepareToPrint(PrintDialogType kind, CPrintDialog* dialog);
    // Asked before a save over the document's own file; false saves nothing.
    virtual bool ConfirmSave();
    // A save over the document's own file would ask the user first.
    virtual bool NeedsSaveQuestion() const { return IsChangedOnDisk(); }
    // Another program changed the file since it was opened or last saved here.
    bool IsChangedOnDisk() const;
    OSStatus EncodeProperties(CFDictionary& properties) override;
    OSStatus DecodeProperties(CFDictionary const& properties) override;
    // The file was deleted, or moved where it cannot be followed: saving asks where to save.
    bool HasLostItsFile();
    // Long work (an import, a save) runs on the document: it cannot close until it ends.
    virtual bool IsBusy() const { return false; }
    // The copy an earlier session kept of this document's unsaved changes: it stays until the
    // document is saved or the user discards the changes (closes without saving, reverts).
    CFile const& GetRecoveredCopy() const { return mRecoveredCopy; }
    void SetRecoveredCopy(CFile const& copy) { mRecoveredCopy = copy; }

protected:
    CFileDialog& GetFileDialog() { return mFileDialog; }
    // The save under way was asked for by the user (Save, Save As, a close or quit that saves),
    // who may be shown its progress and stop it (SaveSelf then answers userCanceledErr).
    bool IsSavingForUser() const { return mSavingForUser; }
    CPrintDialog& GetPrintDialog() { return mPrintDialog; }

private:
    void CompleteFileCommand(FileDialogResult const& result);
    void UpdateFileProxy(bool forced);
    void ForgetAlias();
    // Remembers the file as it is on disk now: what a later save compares with.
    void NoteDiskState();
    // A close or quit that waited for a save that did not happen goes no further.
    void EndClosing();
    OSStatus SaveDocumentForUser();
    // A save that failed is reported, and ends a quit that waited for it.
    void ReportSaveFailure(CFile const& file, OSStatus status, CString const& reason = CString());
    // Another open document with this file, or null.
    CDocument const* FindOtherDocument(CFile const& file) const;
    CFile GetFileWithExtension(CFile const& file) const;
    // The changes are saved or thrown away: the earlier session's copy of them goes.
    void DiscardRecoveredCopy();

    static std::vector<CDocument*> mDocumentList; // weak: each document adds and removes itself
    static UInt32 mUntitledCount;

    CFile mFile;
    CFile mRecoveredCopy; // none when the document did not come back from an earlier session
    UInt32 mUntitledNumber = 0; // the number its untitled title took, 0 while it has none
    AliasHandle mProxyAlias = nullptr; // owns
    tw::services::FileFollower mFollower; // the file as it was last opened or saved
    bool mFileLost = false; // it was there and can no longer be found
    CIconRef mDocumentIcon;
    CFileDialog mFileDialog;
    CPrintDialog mPrintDialog;
    UInt32 mSaveMode = kSaveModeAsk;
    bool mModified = false;
    bool mCloseAfterSave = false;
    bool mClosingForQuit = false;
    bool mSavingForUser = false;
    std::array<SInt64, 5> mDiskState {}; // device, inode, size, modification time [s, ns]; zeros: none
};
