#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/NavDialog.h"

namespace tw::toolbox::dialogs {

namespace {

    // The document's name: the proposed file name, else the parent window's title.
    CFStringRef CopyDocumentName(NavDialogCreationOptions const& options)
    {
        if (options.saveFileName && CFStringGetLength(options.saveFileName) > 0)
            return static_cast<CFStringRef>(CFRetain(options.saveFileName));
        CFStringRef title = nullptr;
        if (options.parentWindow && CopyWindowTitleAsCFString(options.parentWindow, &title) == noErr && title)
            return title;
        return CopyText("NavUntitled", "untitled");
    }

    CFStringRef Format(char const* key, char const* english, CFStringRef argument)
    {
        CFStringRef format = CopyText(key, english);
        CFStringRef text = CFStringCreateWithFormat(nullptr, nullptr, format, argument);
        CFRelease(format);
        return text;
    }

} // namespace

std::array<NavUserAction, 3> NavDialog::AskActions() const
{
    switch (mKind) {
    case DialogKind::SaveChanges:
        return { kNavUserActionSaveChanges, kNavUserActionCancel, kNavUserActionDontSaveChanges };
    case DialogKind::ReviewDocuments:
        return { kNavUserActionReviewDocuments, kNavUserActionCancel, kNavUserActionDiscardDocuments };
    default:
        return { kNavUserActionDiscardChanges, kNavUserActionCancel, kNavUserActionNone };
    }
}

void NavDialog::BuildAsk()
{
    CFStringRef main = nullptr, info = nullptr;
    std::array<CFStringRef, 3> buttons {};
    if (mKind == DialogKind::ReviewDocuments) {
        CFStringRef count = CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%u"), static_cast<unsigned>(mAskDetail));
        main = Format("NavReviewMain",
            "You have %@ documents with unsaved changes. Do you want to review these changes before quitting?", count);
        CFRelease(count);
        info = CopyText("NavReviewInfo", "If you don\u2019t review your documents, all your changes will be lost.");
        buttons = { CopyText("NavReview", "Review Changes\u2026"), CopyText("NavCancel", "Cancel"),
            CopyText("NavDiscardDocuments", "Discard Changes") };
    } else {
        CFStringRef name = CopyDocumentName(mOptions);
        if (mKind == DialogKind::SaveChanges) {
            main = Format(
                "NavSaveChangesMain", "Do you want to save the changes you made in the document \u201C%@\u201D?", name);
            info = CopyText("NavSaveChangesInfo", "Your changes will be lost if you don\u2019t save them.");
            buttons = { CopyText("NavSave", "Save"), CopyText("NavCancel", "Cancel"),
                CopyText("NavDontSave", "Don\u2019t Save") };
        } else {
            main = Format(
                "NavDiscardMain", "Do you want to discard the changes you made to the document \u201C%@\u201D?", name);
            info = CopyText("NavDiscardInfo", "Your changes since the last save will be lost.");
            buttons = { CopyText("NavDiscard", "Discard"), CopyText("NavCancel", "Cancel"), nullptr };
        }
        CFRelease(name);
    }
    if (mOptions.message && CFStringGetLength(mOptions.message) > 0) {
        CFRelease(info);
        info = static_cast<CFStringRef>(CFRetain(mOptions.message));
    }
    AlertDialog::Spec spec;
    spec.type = kAlertCautionAlert;
    spec.main = main;
    spec.informative = info;
    spec.buttons = buttons;
    spec.kind = mKind;
    mAsk = std::make_unique<AlertDialog>(spec, IsSheet());
    std::string const text = ToString(main);
    for (CFStringRef s : { main, info, buttons[0], buttons[1], buttons[2] })
        if (s)
            CFRelease(s);
    mAsk->SetSheetAnswer([this](DialogItemIndex item) {
        NavUserAction const action = item == 1 ? AskActions()[0] : item == 3 ? AskActions()[2] : kNavUserActionCancel;
        Complete(action);
    });
    std::array<NavUserAction, 3> const actions = AskActions();
    mPending.Schedule(mKind, text, [this, actions](Answer const& answer) {
        DialogItemIndex item = kAlertStdAlertCancelButton;
        for (int i = 0; i < 3; ++i)
            if (!answer.cancel && actions[i] == answer.action && answer.action != kNavUserActionNone)
                item = static_cast<DialogItemIndex>(i + 1);
        mAsk->Press(item);
    });
}

} // namespace tw::toolbox::dialogs
