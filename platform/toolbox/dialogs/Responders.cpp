#include "toolbox/dialogs/Responders.h"

#include <deque>

namespace tw::toolbox::dialogs {

namespace {

    std::deque<Answer> sQueue;
    std::vector<Responders::Shown> sHistory;

    void Push(Answer answer) { sQueue.push_back(std::move(answer)); }

} // namespace

void Responders::OpenFiles(std::vector<std::string> paths) { Push({ DialogKind::Open, false, 0, std::move(paths) }); }

void Responders::ChooseFolder(std::string path) { Push({ DialogKind::ChooseFolder, false, 0, { std::move(path) } }); }

void Responders::SaveAs(std::string path) { Push({ DialogKind::Save, false, 0, { std::move(path) } }); }

void Responders::Press(DialogKind kind, UInt32 action) { Push({ kind, false, action, {} }); }

void Responders::PressAlertButton(SInt16 item) { Push({ DialogKind::Alert, false, static_cast<UInt32>(item), {} }); }

void Responders::Cancel(DialogKind kind) { Push({ kind, true, 0, {} }); }

void Responders::AcceptPageSetup() { Push({ DialogKind::PageSetup, false, 0, {} }); }

void Responders::PrintToPDF(std::string path) { Push({ DialogKind::Print, false, 0, { std::move(path) } }); }

void Responders::Reset()
{
    sQueue.clear();
    sHistory.clear();
}

std::size_t Responders::Pending() { return sQueue.size(); }

std::vector<Responders::Shown> const& Responders::History() { return sHistory; }

std::optional<Answer> Responders::Take(DialogKind kind, std::string const& text, std::string const& detail)
{
    sHistory.push_back({ kind, text, detail });
    for (auto it = sQueue.begin(); it != sQueue.end(); ++it) {
        if (it->kind == kind) {
            Answer answer = std::move(*it);
            sQueue.erase(it);
            return answer;
        }
    }
    return std::nullopt;
}

void PendingAnswer::Schedule(
    DialogKind kind, std::string const& text, std::function<void(Answer const&)> apply, std::string const& detail)
{
    Clear();
    std::optional<Answer> answer = Responders::Take(kind, text, detail);
    EventTime delay = 0;
    if (!answer) {
        if (!tw::events::IsManualClock())
            return; // a real user answers
        answer = Answer { kind, true, 0, {} };
        delay = Responders::kUnansweredTimeout;
    }
    mAnswer = std::move(*answer);
    mApply = std::move(apply);
    InstallEventLoopTimer(GetMainEventLoop(), delay, 0, &PendingAnswer::Fire, this, &mTimer);
}

void PendingAnswer::Fallback(DialogKind kind, std::function<void(Answer const&)> apply)
{
    Clear();
    if (!tw::events::IsManualClock())
        return;
    mAnswer = Answer { kind, true, 0, {} };
    mApply = std::move(apply);
    InstallEventLoopTimer(GetMainEventLoop(), Responders::kUnansweredTimeout, 0, &PendingAnswer::Fire, this, &mTimer);
}

void PendingAnswer::Clear()
{
    if (mTimer)
        RemoveEventLoopTimer(mTimer);
    mTimer = nullptr;
    mApply = nullptr;
}

void PendingAnswer::Fire(EventLoopTimerRef, void* data)
{
    auto* self = static_cast<PendingAnswer*>(data);
    RemoveEventLoopTimer(self->mTimer);
    self->mTimer = nullptr;
    // The apply may end the dialog, and this object with it.
    auto apply = std::move(self->mApply);
    Answer const answer = self->mAnswer;
    self->mApply = nullptr;
    if (apply)
        apply(answer);
}

} // namespace tw::toolbox::dialogs
