#pragma once

// The two progress sheets of a document window: a live recording's
// (CSheetTrackProgress, whose bar spins while the count is unknown) and a
// transfer's (CSheetTransferProgress, whose bar always counts). They are made
// hidden and shown on the document window by the recorder or the transfer
// when it begins; "not!" stops it through the document. Main thread.

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "devices/IDeviceDocument.h"
#include "docwindow/IDeviceSheets.h"
#include "framework/CWindowController.h"

class CProgressBar;
class CStaticText;

// The text and bar both sheets have, and showing them on the window they belong to.
class CSheetProgressBase : public CWindowController, public IProgressSheet {
public:
    // The window the sheet shows on (the document's).
    void SetParentWindow(CMacWindow* parent) override { mParent = parent; }
    bool IsShown() const { return mShown; }

protected:
    OSStatus FindControls();
    void ShowOnParent();
    void SetInfo(CString const& text, unsigned long count, bool indeterminate);

    CStaticText* mText = nullptr; // weak: the window's controls
    CProgressBar* mProgress = nullptr;

private:
    CMacWindow* mParent = nullptr; // weak: the document's window outlives its sheets
    bool mShown = false;
};

class CSheetTrackProgress : public CSheetProgressBase, public ITrackProgress, public CTWWindow {
public:
    static constexpr char const* kNibWindow = "Track Progress";

    OSStatus InitialiseSelf() override { return FindControls(); }
    void ShowProgress() override { ShowOnParent(); }
    void SetProgressInfo(CString const& text, unsigned long count) override { SetInfo(text, count, count == 0); }
};

class CSheetTransferProgress : public CSheetProgressBase, public ITransferProgress, public CTWWindow {
public:
    static constexpr char const* kNibWindow = "Transfer Progress";

    OSStatus InitialiseSelf() override { return FindControls(); }
    void ShowProgress() override { ShowOnParent(); }
    void SetProgressInfo(CString const& text, unsigned long count) override { SetInfo(text, count, false); }
    void SetProgress(unsigned long value) override;
};
