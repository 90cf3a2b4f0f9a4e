#include "docwindow/CDocumentImport.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CTextUtilities.h"
#include "foundation/CThreadParts.h"
#include "framework/CMacWindow.h"
#include "model/CMapObject.h"
#include "model/CXMLStreamReader.h"

#include <future>
#include <system_error>
#include <thread>

namespace {

// How long the work runs between two looks at the window's events, and how often a wait
// for a reader on its thread looks.
constexpr auto kWorkSlice = std::chrono::milliseconds(30);
constexpr auto kWorkPoll = std::chrono::milliseconds(10);
constexpr EventTimeout kWorkEvents = 0.002; // [s] taking events between slices
constexpr auto kWorkPosted = std::chrono::milliseconds(20); // at most, for what they posted
constexpr unsigned long kWorkBarSteps = 1000;
constexpr UInt32 kWorkEnded = 'ok  ';

// Reading the file is most of an import, making its objects the rest: the bar's steps.
UInt64 ImportProgress(CReadMonitor const& monitor, UInt64 size)
{
    UInt64 const read = size == 0 ? 0 : std::min<UInt64>(monitor.bytesRead, size) * kWorkBarSteps / size;
    UInt64 const toMake = monitor.toMake;
    UInt64 const made = toMake == 0 ? 0 : std::min<UInt64>(monitor.made, toMake) * kWorkBarSteps / toMake;
    return (read * 7 + made * 3) / 10;
}

} // namespace

void CWindowDocument::BeginWork(CString const& text)
{
    mWork = Work();
    mWork.active = true;
    mWork.start = GetCurrentEventTime();
    mWork.text = text;
}

// Until the sheet is up nothing of the window's input is taken, so nothing can change the
// document under the work; once it is, the window is the sheet's and only Cancel answers.
bool CWindowDocument::StepWork(UInt64 done, UInt64 total)
{
    if (!mWork.active || mWork.cancelled)
        return !mWork.cancelled;
    auto const now = std::chrono::steady_clock::now();
    if (now < mWork.nextSlice)
        return true;
    mWork.nextSlice = now + kWorkSlice;
    if (!mWork.sheet && mWork.canShow && GetCurrentEventTime() - mWork.start >= sWorkDelay)
        ShowWork();
    if (!mWork.sheet)
        return true;
    mWork.sheet->SetProgress(total == 0 ? 0 : (unsigned long)(std::min(done, total) * kWorkBarSteps / total));
    TakeWaitingEvents();
    return !mWork.cancelled;
}

// A run that does not wait takes one event, and the input that waits only when nothing else
// does: a short run takes all that waits, input included; what that posts (Cancel's command)
// is taken too, while the sheet it is meant for is still there.
void CWindowDocument::TakeWaitingEvents()
{
    RunCurrentEventLoop(kWorkEvents);
    auto const end = std::chrono::steady_clock::now() + kWorkPosted;
    while (GetNumEventsInQueue(GetMainEventQueue()) > 0 && std::chrono::steady_clock::now() < end)
        RunCurrentEventLoop(kEventDurationNoWait);
}

void CWindowDocument::ShowWork()
{
    mWork.canShow = false;
    if (!GetWindow() || mSheet != kSheetNone || HasSheet())
        return;
    auto* progress = BeginProgressSheet<ITransferProgress>(kSheetWorkProgress);
    if (!progress)
        return;
    progress->SetProgressInfo(mWork.text, kWorkBarSteps);
    progress->ShowProgress();
    mWork.sheet = progress;
    InvalidateCommandStatus();
}

void CWindowDocument::EndWork()
{
    // Input that came while the last of the work ran (a click on Cancel) goes to the sheet,
    // where it is too late to stop anything, not to the alert that follows it.
    if (mWork.sheet)
        TakeWaitingEvents();
    mWork.active = false;
    if (mWork.sheet && mSheet == kSheetWorkProgress) {
        mWork.sheet = nullptr;
        CompleteSheet(kWorkEnded);
    }
    mWork.sheet = nullptr;
}

OSStatus CWindowDocument::ReadImport(CFile const& file, std::vector<CMapObject*>& objects)
{
    if (mWork.active)
        return CDocumentImport::ReadFile(file, objects);
    // Begun here, ended by the caller once the objects are in (or here, when cancelled).
    CString text;
    text.Format(CTextUtilities::GetBundleString("DocImportProgress").GetUTF8(), file.GetDisplayName().GetUTF8());
    BeginWork(text);
    CReadMonitor monitor;
    UInt64 const size = UInt64(std::max<SInt64>(file.GetForkSize(), 0));
    // The reader's thread makes objects without asking the application for their styles.
    CMapObject::DefaultStyles const styles = CMapObject::TakeDefaultStyles();
    std::vector<CMapObject*> read;
    OSStatus status = noErr;
    try {
        std::promise<OSStatus> result;
        std::future<OSStatus> reading = result.get_future();
        // On a thread of the program's own, so that a crash there is reported as anywhere else.
        std::thread reader = CThreadParts::Start([&file, &read, &monitor, &styles, &result] {
            CMapObject::UseDefaultStyles(&styles);
            OSStatus const readStatus = CDocumentImport::ReadFile(file, read, &monitor);
            CMapObject::UseDefaultStyles(nullptr);
            result.set_value(readStatus);
        });
        // A first step at once: a sheet due at once takes the window's input before the reading ends.
        do {
            if (!StepWork(ImportProgress(monitor, size), kWorkBarSteps))
                monitor.cancelled = true;
        } while (reading.wait_for(kWorkPoll) != std::future_status::ready);
        reader.join();
        status = reading.get();
    } catch (std::system_error const&) {
        // No thread to be had: read here, as one slice.
        status = CDocumentImport::ReadFile(file, read);
    }
    // The sheet stays up while the objects go into the document; EndWork closes it.
    if (mWork.cancelled) {
        EndWork();
        for (CMapObject* object : read)
            delete object;
        return userCanceledErr;
    }
    objects.insert(objects.end(), read.begin(), read.end());
    return status;
}
