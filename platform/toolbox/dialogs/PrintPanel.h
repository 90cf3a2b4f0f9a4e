#pragma once

// The page setup and print dialogs: paper size and orientation; printer or PDF
// file, copies and page range. Values go into the page format or the print
// settings only when the user accepts. As a sheet the answer goes to the
// session's sheet-done procedure; modal, Run returns it.

#include "toolbox/dialogs/PrintObjects.h"
#include "toolbox/dialogs/Responders.h"

namespace tw::toolbox::dialogs {

class PrintPanel {
public:
    PrintPanel(PrintSession* session, PageFormat* format, PrintSettings* settings);
    ~PrintPanel();
    PrintPanel(PrintPanel const&) = delete;
    PrintPanel& operator=(PrintPanel const&) = delete;

    WindowRef GetWindow() const { return mWindow; }
    // Shows the sheet (returns at once) or runs the modal dialog (returns whether accepted).
    OSStatus Run(Boolean* accepted);

private:
    bool IsPrint() const { return mSettings != nullptr; }
    void Build();
    void BuildPageSetup(int& y);
    void BuildPrint(int& y);
    bool Store(); // false when a field is not valid (the user was told)
    bool CheckFile();
    void Complete(bool accepted);
    void ApplyAnswer(Answer const& answer);
    void DestinationChanged();
    static OSStatus Handle(EventHandlerCallRef, EventRef event, void* data);

    PrintSession* mSession; // weak: the session owns this panel
    PageFormat* mFormat; // retained
    PrintSettings* mSettings; // retained; null for page setup
    WindowRef mWindow = nullptr; // owns
    bool mSheet = false;
    bool mRunning = false;
    bool mAccepted = false;
    bool mDone = false;
    std::string mPrinter; // the default printer, empty when none
    ControlRef mPaperPopup = nullptr; // weak: controls in the window
    ControlRef mOrientationPopup = nullptr;
    ControlRef mDestinationPopup = nullptr;
    ControlRef mFileField = nullptr;
    ControlRef mCopiesField = nullptr;
    ControlRef mAllPages = nullptr;
    ControlRef mFromField = nullptr;
    ControlRef mToField = nullptr;
    PendingAnswer mPending;
};

} // namespace tw::toolbox::dialogs
