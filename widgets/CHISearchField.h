#pragma once

#include "foundation/CMsgBroadcaster.h"
#include "foundation/CTimerTask.h"
#include "toolbox/MenuTypes.h"
#include "widgets/CHIView.h"

class CMacWindow;
class CWindowController;

// The wrapper of a search field: typing becomes one 'schg' broadcast a short
// while after the last keystroke, and Return broadcasts 'sacc' (each with the
// field). The keystrokes themselves go on to the field.
class CHISearchField : public CHIView, public CMsgBroadcaster, public CTimerTask {
public:
    static constexpr UInt32 kMsgTextChanged = 'schg';
    static constexpr UInt32 kMsgTextAccepted = 'sacc';
    static constexpr double kTypingDelay = 0.2; // [s] after the last keystroke
    static constexpr double kPollInterval = 0.75; // [s] when the system cannot report typing

    CHISearchField(CGRect const& frame, UInt32 attributes, MenuRef menu, CString const& description);
    explicit CHISearchField(HIObjectRef object);

    static CHISearchField* Find(CMacWindow* window, OSType signature, SInt32 id);
    static CHISearchField* Find(CWindowController* controller, OSType signature, SInt32 id);
    static OSStatus Create(HIObjectRef object, CHIObject** outObject);

    CString GetTextValue() const;
    void SetTextValue(CString const& text);

    OSStatus DoEventTextAccepted(CCarbonEvent& event) override;
    OSStatus DoEventTextDidChange(CCarbonEvent& event) override;

protected:
    void DoTimer() override;

private:
    void SetUp();

    bool mChanged = false;
    bool mPolling = false;
    CString mLastText; // the text seen by the last poll
};
