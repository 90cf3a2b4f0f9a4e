#include "toolbox/dialogs/StandardAlert.h"

#include "toolbox/dialogs/AlertDialog.h"
#include "toolbox/dialogs/DialogKit.h"

namespace {

using tw::toolbox::dialogs::AlertDialog;

// Button titles as the dialog shows them: -1 becomes the system's title. Owns them.
struct Titles {
    std::array<CFStringRef, 3> texts {};
    explicit Titles(AlertStdCFStringAlertParamRec const& param)
    {
        CFStringRef const given[3] = { param.defaultText, param.cancelText, param.otherText };
        char const* const keys[3] = { "AlertOK", "AlertCancel", "AlertDontSave" };
        char const* const english[3] = { "OK", "Cancel", "Don\u2019t Save" };
        for (int i = 0; i < 3; ++i) {
            if (given[i] == kAlertDefaultOKText)
                texts[i] = tw::toolbox::dialogs::CopyText(keys[i], english[i]);
            else if (given[i])
                texts[i] = static_cast<CFStringRef>(CFRetain(given[i]));
        }
    }
    ~Titles()
    {
        for (CFStringRef text : texts)
            if (text)
                CFRelease(text);
    }
};

AlertDialog* Make(
    AlertType type, CFStringRef error, CFStringRef explanation, AlertStdCFStringAlertParamRec const* param, bool sheet)
{
    AlertStdCFStringAlertParamRec defaults;
    GetStandardAlertDefaultParams(&defaults, kStdCFStringAlertVersionOne);
    AlertStdCFStringAlertParamRec const& p = param ? *param : defaults;
    Titles const titles(p);
    if (!titles.texts[0] && !titles.texts[1] && !titles.texts[2])
        return nullptr; // nobody could ever dismiss it
    AlertDialog::Spec spec;
    spec.type = type;
    spec.main = error;
    spec.informative = explanation;
    spec.buttons = titles.texts;
    spec.defaultButton = p.defaultButton;
    spec.cancelButton = p.cancelButton;
    auto* dialog = new AlertDialog(spec, sheet);
    if (!dialog->GetWindow()) {
        delete dialog;
        return nullptr;
    }
    return dialog;
}

} // namespace

OSStatus GetStandardAlertDefaultParams(AlertStdCFStringAlertParamRec* param, UInt32 version)
{
    if (!param || version != kStdCFStringAlertVersionOne)
        return paramErr;
    *param = AlertStdCFStringAlertParamRec {};
    param->defaultText = kAlertDefaultOKText;
    return noErr;
}

OSStatus CreateStandardAlert(AlertType type, CFStringRef error, CFStringRef explanation,
    AlertStdCFStringAlertParamRec const* param, DialogRef* outAlert)
{
    if (!outAlert || !error || type < kAlertStopAlert || type > kAlertPlainAlert)
        return paramErr;
    *outAlert = Make(type, error, explanation, param, false);
    return *outAlert ? noErr : paramErr;
}

OSStatus RunStandardAlert(DialogRef alert, ModalFilterUPP, DialogItemIndex* outItemHit)
{
    if (!alert || alert->IsSheet())
        return paramErr;
    DialogItemIndex const hit = alert->RunModal();
    delete alert;
    if (outItemHit)
        *outItemHit = hit;
    return noErr;
}

OSStatus CreateStandardSheet(AlertType type, CFStringRef error, CFStringRef explanation,
    AlertStdCFStringAlertParamRec const* param, EventTargetRef notifyTarget, DialogRef* outSheet)
{
    if (!outSheet || !error || type < kAlertStopAlert || type > kAlertPlainAlert)
        return paramErr;
    AlertDialog* sheet = Make(type, error, explanation, param, true);
    if (!sheet)
        return paramErr;
    static constexpr UInt32 kCommands[4] = { 0, kHICommandOK, kHICommandCancel, tw::toolbox::dialogs::kCommandOther };
    // The button goes to the target; the sheet then disposes of itself.
    sheet->SetSheetAnswer([sheet, notifyTarget](DialogItemIndex item) {
        if (notifyTarget)
            tw::toolbox::dialogs::SendCommand(notifyTarget, kCommands[item]);
        tw::toolbox::dialogs::RunSoon([sheet] { delete sheet; });
    });
    sheet->Arm();
    *outSheet = sheet;
    return noErr;
}

WindowRef GetDialogWindow(DialogRef dialog) { return dialog ? dialog->GetWindow() : nullptr; }

void DisposeDialog(DialogRef dialog) { delete dialog; }
