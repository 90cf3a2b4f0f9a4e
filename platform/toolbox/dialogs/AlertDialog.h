#pragma once

// One alert window: badge, main and informative texts and up to three buttons
// (default on the right, cancel left of it, other at the far left). Modal, it
// runs until a button; as a sheet, it hides itself and reports the button.

#include "toolbox/dialogs/Responders.h"
#include "toolbox/dialogs/StandardAlert.h"

#include <array>
#include <functional>
#include <string>

namespace tw::toolbox::dialogs {

class AlertDialog {
public:
    struct Spec {
        AlertType type = kAlertNoteAlert;
        CFStringRef main = nullptr; // borrowed during construction
        CFStringRef informative = nullptr;
        std::array<CFStringRef, 3> buttons {}; // default, cancel, other; null: none
        DialogItemIndex defaultButton = kAlertStdAlertOKButton;
        DialogItemIndex cancelButton = 0;
        DialogKind kind = DialogKind::Alert;
    };

    AlertDialog(Spec const& spec, bool sheet);
    ~AlertDialog();
    AlertDialog(AlertDialog const&) = delete;
    AlertDialog& operator=(AlertDialog const&) = delete;

    WindowRef GetWindow() const { return mWindow; }
    bool IsSheet() const { return mSheet; }
    // Modal: shows the alert and returns the button pressed.
    DialogItemIndex RunModal(bool scripted = true);
    // Sheet: called once with the button after the sheet is hidden.
    void SetSheetAnswer(std::function<void(DialogItemIndex)> answer) { mSheetAnswer = std::move(answer); }
    // Arms the scripted answer; ShowSheetWindow calls it through the sheet's show event.
    void Arm();
    // As the user would: a button that exists.
    void Press(DialogItemIndex item);
    // Ends the alert with that answer, button or not (a cancel nobody can press).
    void End(DialogItemIndex item);

private:
    void Build(Spec const& spec);
    static OSStatus Handle(EventHandlerCallRef, EventRef event, void* data);
    static void DrawBadge(ControlRef control, SInt16);

    WindowRef mWindow = nullptr; // owns
    bool mSheet = false;
    bool mRunning = false;
    AlertType mType = kAlertNoteAlert;
    std::array<ControlRef, 3> mButtons {}; // weak: in the window
    DialogItemIndex mHit = 0;
    bool mEnded = false; // the window is going: no answer any more
    DialogKind mKind = DialogKind::Alert;
    std::string mText;
    std::string mDetail; // the informative text
    std::function<void(DialogItemIndex)> mSheetAnswer;
    PendingAnswer mPending;
};

// Asks, application-modal, whether the existing file of that name is to be
// replaced: Cancel is the default button (Return and Escape), Replace the other.
bool ConfirmReplace(std::string const& name);

// A caution alert, application-modal, about something the user typed: the main
// text's format takes the name ("%@"), the informative text says what to do.
void TellAbout(std::string const& name, char const* key, char const* format, char const* infoKey, char const* info);

} // namespace tw::toolbox::dialogs
