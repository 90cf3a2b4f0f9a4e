#pragma once

// The Navigation Services dialogs for files: open, save, review documents,
// save changes and discard changes. A sheet when a parent window is set, an
// application-modal dialog otherwise. Reports each navigation event ('fdne'),
// the final answer ('fdre') and every filter question ('fdnf'). Destroying the
// object while its dialog runs disposes the dialog without calling anyone back.

#include "foundation/CFile.h"
#include "foundation/CFileList.h"
#include "foundation/CMsgBroadcaster.h"
#include "foundation/CString.h"
#include "foundation/CStringList.h"
#include "toolbox/dialogs/Navigation.h"

#include <memory>

class CFileDialog;

// The parameter of 'fdre'. reply is valid only while the message is sent.
struct FileDialogResult {
    CFileDialog* dialog = nullptr; // weak
    NavReplyRecord* reply = nullptr; // weak
    UInt32 action = kNavUserActionNone;
    CFile file;
    CFileList files;
};

// The parameter of 'fdnf': a listener clears accept to hide the file.
struct MsgNavFilter {
    CFileDialog* dialog = nullptr; // weak
    CFile file;
    UInt16 filterMode = 0;
    bool accept = true;
};

// The parameter of 'fdne'.
struct MsgNavEvent {
    CFileDialog* dialog = nullptr; // weak
    SInt32 selector = 0;
    NavCBRecPtr params = nullptr; // weak
};

class CFileDialog : public CMsgBroadcaster {
public:
    static constexpr UInt32 kMsgNavEvent = 'fdne';
    static constexpr UInt32 kMsgFileDialogResult = 'fdre';
    static constexpr UInt32 kMsgNavFilter = 'fdnf';
    static constexpr char const* kAllFilesUTI = "*";
    static constexpr char const* kAllFilesTitle = "All Files";

    CFileDialog();
    ~CFileDialog() override;
    CFileDialog(CFileDialog const&) = delete;
    CFileDialog& operator=(CFileDialog const&) = delete;

    void SetParent(WindowRef parent) { mParent = parent; }
    WindowRef GetParent() const { return mParent; }
    bool IsActive() const { return mDialog != nullptr; }
    void Cancel();

    void SetDefaultLocation(CFile const& location) { mDefaultLocation = location; }
    void SetTypeList(CStringList const& types) { mTypeList = types; }
    // The type menu's titles, one to each entry of the type list (an entry may name
    // several types, separated by commas); without them the menu shows the types.
    void SetTypePopup(CFArrayRef titles); // retained

    UInt32 ChooseFile(
        CString const& message, CString const& actionButton, CStringList const* types, FileDialogResult& result);
    UInt32 ChooseSave(CString const& message, CString const& actionButton, CStringList const* types,
        CString const& fileName, OSType fileType, OSType creator, bool packages, FileDialogResult* result);
    UInt32 AskReviewDocuments(UInt32 count);
    UInt32 AskSaveChanges(UInt32 action);
    UInt32 AskDiscardChanges(CString const& name);
    UInt32 DoDialog(FileDialogResult* result);

private:
    // The options every dialog starts from; the caller releases the pop-up array.
    NavDialogCreationOptions MakeOptions(
        CString const& message, CString const& actionButton, CStringList const* types, CFArrayRef& ownedPopup) const;
    bool Created(OSStatus status);
    void HandleNavEvent(NavEventCallbackMessage selector, NavCBRecPtr params);
    bool Filter(AEDesc const* item, NavFilterModes mode);
    static void NavEvent(NavEventCallbackMessage selector, NavCBRecPtr params, void* userData);
    static Boolean NavFilter(AEDesc* item, void* info, void* userData, NavFilterModes mode);

    static NavEventUPP const mNavEvent;
    static NavObjectFilterUPP const mNavFilter;

    WindowRef mParent = nullptr; // weak
    NavDialogRef mDialog = nullptr; // owns while running
    FileDialogResult mResult;
    CFile mDefaultLocation;
    CStringList mTypeList;
    CFArrayRef mTypePopup = nullptr; // retained
    UInt32 mSelectedPopupItem = 0;
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true); // false once destroyed
};
