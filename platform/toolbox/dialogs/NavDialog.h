#pragma once

// One Navigation Services dialog: a file browser (open, save, choose folder) or
// an ask dialog (save changes, review documents, discard changes), as a sheet
// on the parent window or application-modal. The window is hidden and detached
// before the user-action callback, so the callback may open the next sheet on
// the same parent; disposal asked for inside a callback waits until it returns.

#include "toolbox/dialogs/AlertDialog.h"
#include "toolbox/dialogs/FileListView.h"
#include "toolbox/dialogs/Navigation.h"
#include "toolbox/dialogs/Responders.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tw::toolbox::dialogs {

class NavDialog {
public:
    NavDialog(DialogKind kind, NavDialogCreationOptions const& options, NavEventUPP eventProc,
        NavObjectFilterUPP filterProc, void* userData);
    ~NavDialog();
    NavDialog(NavDialog const&) = delete;
    NavDialog& operator=(NavDialog const&) = delete;

    static bool IsLive(NavDialog const* dialog);

    void SetAskDetail(UInt32 detail) { mAskDetail = detail; } // save-changes action or document count
    OSStatus Run();
    void Dispose();
    WindowRef GetWindow() const;
    NavUserAction GetUserAction() const { return mAction; }
    OSStatus GetReply(NavReplyRecord* reply) const;
    OSStatus SetLocation(std::string const& path);

    // What the list shows now (for tests and the responders).
    std::vector<FileEntry> ListedEntries() const;
    std::string const& Folder() const { return mFolder; }

private:
    bool IsAsk() const;
    bool IsSheet() const;
    void BuildBrowser();
    void AddNameField(int top);
    void AddPlaceRow(int top);
    void AddList(int top);
    void AddButtons(int top);
    void AddTypePopup(int top);
    void FocusFirst();
    void BuildAsk();
    void Fill();
    bool Shows(FileEntry const& entry);
    void GoUp();
    void Enter(std::string const& folder);
    // The place field: a path or a name typed in place of the folder's path (open
    // and choose-folder dialogs); the save dialog's name field takes paths itself.
    void StartPath(std::string const& text);
    void CloseLocation();
    bool IsLocationOpen() const;
    std::string LocationText() const;
    void SelectionChanged();
    void Accept();
    void AcceptLocation();
    void AcceptSave();
    void SaveIn(std::string const& folder, std::string name);
    bool Key(EventRef event);
    // Tab goes round the name field, the list, the place field (opened on the way), the type
    // menu and the buttons; answers whether the focus moved.
    bool AdvanceFocus(bool backwards);
    void Complete(NavUserAction action); // from the window's own events
    void Finish(NavUserAction action);
    std::array<NavUserAction, 3> AskActions() const; // for the default, cancel and other buttons
    void Callback(NavEventCallbackMessage selector, NavUserAction action, void* param);
    void UpdateButtons();
    void ApplyAnswer(Answer const& answer);
    void ApplyScripted(Answer const& answer);
    void TypeChosen();
    static OSStatus Handle(EventHandlerCallRef, EventRef event, void* data);

    DialogKind mKind;
    NavDialogCreationOptions mOptions; // strings and array retained
    NavEventUPP mEventProc = nullptr;
    NavObjectFilterUPP mFilterProc = nullptr;
    void* mUserData = nullptr; // weak: the client's
    UInt32 mAskDetail = 0;

    WindowRef mWindow = nullptr; // owns (browser dialogs)
    std::unique_ptr<AlertDialog> mAsk; // ask dialogs
    std::unique_ptr<FileListView> mList;
    ControlRef mNameField = nullptr; // weak: in the window
    ControlRef mPathText = nullptr; // weak
    ControlRef mLocationField = nullptr; // weak: in the window, hidden until a path is typed
    ControlRef mActionButton = nullptr; // weak
    ControlRef mCancelButton = nullptr; // weak
    ControlRef mTypePopup = nullptr; // weak
    std::string mFolder;

    NavUserAction mAction = kNavUserActionNone;
    NavUserAction mPendingAction = kNavUserActionNone; // chosen inside a modal run
    std::vector<std::string> mChosen; // the reply's files
    std::string mSaveName;
    bool mReplacing = false;
    bool mRunning = false; // inside an app-modal run
    bool mShown = false;
    bool mCompleting = false; // an answer is on its way
    int mCallbackDepth = 0;
    bool mDisposeAsked = false;
    PendingAnswer mPending;
};

} // namespace tw::toolbox::dialogs
