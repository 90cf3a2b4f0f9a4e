#pragma once

// A Printing Manager session with its page format and print settings, and the
// page setup and print dialogs: sheets on the parent window (the answer comes
// as 'pdre'), or application-modal without one. A print asked for while 'pdre'
// is being sent waits half a second, so the first sheet is gone before the
// next one opens. Destroying the object ends a running sheet without 'pdre'.

#include "foundation/CMsgBroadcaster.h"
#include "foundation/CString.h"
#include "foundation/CTimerTask.h"
#include "framework/CCarbonEvent.h"
#include "toolbox/dialogs/Printing.h"

#include <memory>

class CPrintDialog;

enum PrintDialogType : UInt32 {
    kPrintDialogNone = 0,
    kPrintDialogPageSetup = 1,
    kPrintDialogPrint = 2,
};

// The parameter of 'pdre'.
struct PrintDialogResult {
    CPrintDialog* dialog = nullptr; // weak
    PrintDialogType kind = kPrintDialogNone;
    bool accepted = false;
};

class CPrintDialog : public CMsgBroadcaster, public CTimerTask {
public:
    static constexpr UInt32 kMsgPrintDialogResult = 'pdre';
    static constexpr PropertyTag kPropertyPrintDialog = 'PriD';
    static constexpr EventParamName kEventParamPrinting = 'Ppri';
    static constexpr EventParamName kEventParamPrintBounds = 'Pbou';
    static constexpr double kDeferredPrintDelay = 0.5; // [s]

    explicit CPrintDialog(bool quickDraw = false);
    ~CPrintDialog() override;

    void SetParent(WindowRef parent) { mParent = parent; }
    bool IsActive() const { return mResult.kind != kPrintDialogNone; }
    PMPrintSession GetPrintSession() const { return mSession; }
    PMPageFormat GetPageFormat() const { return mPageFormat; }
    PMPrintSettings GetPrintSettings() const { return mPrintSettings; }

    OSStatus CreateSession();
    OSStatus PrepareSession(PrintDialogType kind);
    // Ends printing (and a running sheet, without 'pdre') but keeps the page format, so the
    // paper chosen in page setup lasts as long as this object.
    void EndSession();
    // EndSession, and the page format released too.
    void DestroySession();
    OSStatus DoPageSetup();
    OSStatus DoPrint();
    OSStatus SetPageRange(UInt32 first, UInt32 last);
    OSStatus SetJobName(CString const& name);
    OSStatus GetPageRange(UInt32& first, UInt32& last, bool chosenRange) const;
    CGRect GetPrintPaperRect() const;
    CGRect GetPrintPageRect() const;
    // A control draw event ('cntl' 4) for the current page: its context is the page's,
    // flipped, with the printable area at 0, 0 and clipped to it. Invalid outside a page.
    CCarbonEvent GetPrintDrawEvent() const;

protected:
    void DoTimer() override;

private:
    OSStatus RunDialog(PrintDialogType kind);
    void ForgetParent();
    static void SheetDone(PMPrintSession session, WindowRef window, Boolean accepted);

    static PMSheetDoneUPP const mSheetDone;

    WindowRef mParent = nullptr; // weak
    PrintDialogResult mResult;
    bool mBroadcasting = false;
    PMPageFormat mPageFormat = nullptr; // owns
    PMPrintSession mSession = nullptr; // owns
    PMPrintSettings mPrintSettings = nullptr; // owns
    bool mQuickDraw = false;
    WindowRef mPropertyWindow = nullptr; // weak: where 'PriD' names this object
    // Expires with this object, so that a sheet's end can tell whether a listener destroyed it.
    std::shared_ptr<char> mLife = std::make_shared<char>();
};
