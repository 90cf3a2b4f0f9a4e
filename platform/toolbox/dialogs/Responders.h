#pragma once

// Scripted answers for the dialog services, so that tests drive the open, save,
// quit and print roads without a user. A dialog that appears takes the first
// queued answer of its kind and applies it through its own buttons and fields
// as soon as the loop runs. On the manual clock, a dialog nobody answers is
// cancelled after a minute of loop time, so a forgotten answer ends a test
// instead of hanging it.

#include "events/CarbonEvents.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tw::toolbox::dialogs {

enum class DialogKind {
    Open,
    Save,
    ChooseFolder,
    SaveChanges,
    ReviewDocuments,
    DiscardChanges,
    Alert,
    PageSetup,
    Print
};

struct Answer {
    DialogKind kind = DialogKind::Alert;
    bool cancel = false;
    UInt32 action = 0; // the ask dialogs' user action; for alerts, the button (1 default, 2 cancel, 3 other)
    std::vector<std::string> paths; // open: the files; save: the full path; print: the PDF file
};

class Responders {
public:
    static constexpr EventTime kUnansweredTimeout = 60; // [s] of manual-clock time

    static void OpenFiles(std::vector<std::string> paths);
    static void ChooseFolder(std::string path);
    static void SaveAs(std::string path);
    // An ask dialog's button by its user action, e.g. kNavUserActionDontSaveChanges.
    static void Press(DialogKind kind, UInt32 action);
    static void PressAlertButton(SInt16 item);
    static void Cancel(DialogKind kind);
    static void AcceptPageSetup();
    static void PrintToPDF(std::string path);

    static void Reset();
    static std::size_t Pending();

    struct Shown {
        DialogKind kind;
        std::string text; // the main text, or the title
        std::string detail; // an alert's informative text
    };
    // Every dialog that appeared since Reset, in order.
    static std::vector<Shown> const& History();

    // For the dialogs: note the dialog and take its answer.
    static std::optional<Answer> Take(DialogKind kind, std::string const& text, std::string const& detail = {});
};

// The timer that applies a dialog's answer; removed when the dialog ends first.
class PendingAnswer {
public:
    PendingAnswer() = default;
    PendingAnswer(PendingAnswer const&) = delete;
    PendingAnswer& operator=(PendingAnswer const&) = delete;
    ~PendingAnswer() { Clear(); }

    // Takes the dialog's answer; apply runs with it (or with a cancel) from the loop.
    void Schedule(DialogKind kind, std::string const& text, std::function<void(Answer const&)> apply,
        std::string const& detail = {});
    // On the manual clock: a cancel after the timeout, for a dialog a scripted answer left open.
    void Fallback(DialogKind kind, std::function<void(Answer const&)> apply);
    void Clear();

private:
    static void Fire(EventLoopTimerRef timer, void* data);

    EventLoopTimerRef mTimer = nullptr; // owns
    Answer mAnswer;
    std::function<void(Answer const&)> mApply;
};

} // namespace tw::toolbox::dialogs
