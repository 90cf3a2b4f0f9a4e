#pragma once

// Standard alerts: application-modal (RunStandardAlert) or as a sheet that
// reports its button to a target as a command ('ok  ', 'not!', 'othr') and
// disposes itself. Return and Enter press the default button, Escape and
// Command-period the cancel button.

#include "toolbox/WindowTypes.h"

namespace tw::toolbox::dialogs {
class AlertDialog;
}
using DialogRef = tw::toolbox::dialogs::AlertDialog*;
using DialogItemIndex = SInt16;
using AlertType = SInt16;
using ModalFilterUPP = void*;

enum : AlertType { kAlertStopAlert = 0, kAlertNoteAlert = 1, kAlertCautionAlert = 2, kAlertPlainAlert = 3 };
enum : DialogItemIndex {
    kAlertStdAlertOKButton = 1,
    kAlertStdAlertCancelButton = 2,
    kAlertStdAlertOtherButton = 3,
};
enum : UInt32 { kStdCFStringAlertVersionOne = 1 };
enum : SInt16 { kWindowDefaultPosition = 0, kWindowAlertPositionParentWindow = 10 };

// A button text of -1: the system's title for that button.
inline CFStringRef const kAlertDefaultOKText = reinterpret_cast<CFStringRef>(-1);
inline CFStringRef const kAlertDefaultCancelText = reinterpret_cast<CFStringRef>(-1);
inline CFStringRef const kAlertDefaultOtherText = reinterpret_cast<CFStringRef>(-1);

struct AlertStdCFStringAlertParamRec {
    UInt32 version = kStdCFStringAlertVersionOne;
    Boolean movable = false;
    Boolean helpButton = false;
    CFStringRef defaultText = nullptr; // null: no such button
    CFStringRef cancelText = nullptr;
    CFStringRef otherText = nullptr;
    SInt16 defaultButton = kAlertStdAlertOKButton;
    SInt16 cancelButton = 0;
    SInt16 position = kWindowDefaultPosition;
    OptionBits flags = 0;
};

OSStatus GetStandardAlertDefaultParams(AlertStdCFStringAlertParamRec* param, UInt32 version);
OSStatus CreateStandardAlert(AlertType type, CFStringRef error, CFStringRef explanation,
    AlertStdCFStringAlertParamRec const* param, DialogRef* outAlert);
// Runs the alert application-modally, then disposes of it.
OSStatus RunStandardAlert(DialogRef alert, ModalFilterUPP filter, DialogItemIndex* outItemHit);
// Show it with ShowSheetWindow(GetDialogWindow(sheet), parent).
OSStatus CreateStandardSheet(AlertType type, CFStringRef error, CFStringRef explanation,
    AlertStdCFStringAlertParamRec const* param, EventTargetRef notifyTarget, DialogRef* outSheet);
WindowRef GetDialogWindow(DialogRef dialog);
void DisposeDialog(DialogRef dialog);
