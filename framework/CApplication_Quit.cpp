#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"
#include "toolbox/WindowCalls.h"

#include <set>

void CApplication::Quit()
{
    CCarbonEvent quit = CCarbonEvent::CreateWithHICommandID('quit');
    quit.PostToQueue(GetMainEventQueue(), kEventPriorityStandard);
}

// Each window is asked once: one that neither closes nor hides cannot hold the loop.
void CApplication::CloseWindows()
{
    CCarbonEvent closeAll('wind' /* window */, 74 /* close all */);
    std::set<WindowRef> asked;
    while (WindowRef window = ActiveNonFloatingWindow()) {
        if (!asked.insert(window).second)
            break;
        closeAll.SetParameterWindow(kEventParamDirectObject, window);
        closeAll.SendToWindow(window);
    }
}

OSStatus CApplication::CommandQuit()
{
    OSStatus status = CloseDocuments();
    if (status == eventNotHandledErr)
        CloseWindows();
    return status;
}

void CApplication::DispatchCommandToDocuments(UInt32 command, bool modifiedOnly)
{
    CCarbonEvent event = CCarbonEvent::CreateWithHICommandID(command);
    SendEventToDocuments(event, modifiedOnly);
}

// A document still modified after its close (one that saves itself and could not) keeps the
// program running, whatever the mode, so that the user can save it elsewhere.
OSStatus CApplication::CloseEveryDocument()
{
    DispatchCommandToDocuments('clos', false);
    for (CDocument* document : CDocument::GetDocuments(false)) {
        if (document->IsModified() || document->IsBusy()) {
            mAppMode = kModeRunning;
            return noErr;
        }
    }
    return eventNotHandledErr;
}

// A document whose work runs (an import, a save) holds what the user has not got yet, modified
// or not: the quit is refused before anything is closed, and its window comes forward.
OSStatus CApplication::CloseDocuments()
{
    for (CDocument* document : CDocument::GetDocuments(false)) {
        if (document->IsBusy()) {
            if (document->GetWindow())
                document->GetWindow()->Select(true);
            Beep();
            return noErr;
        }
    }
    std::vector<CDocument*> modified = CDocument::GetDocuments(true);
    if (modified.empty())
        return CloseEveryDocument();
    if (modified.size() == 1) {
        mAppMode = kModeQuitOne;
        CCarbonEvent close = CCarbonEvent::CreateWithHICommandID('clos');
        return modified.front()->DispatchEvent(close, nullptr);
    }
    CFileDialog review;
    switch (review.AskReviewDocuments(UInt32(modified.size()))) {
    case kNavUserActionReviewDocuments:
        mAppMode = kModeQuitReview;
        SortDocumentsForQuit();
        ContinueClosingDocs();
        return noErr;
    case kNavUserActionCancel:
        if (mAppMode == kModeQuitOne || mAppMode == kModeQuitReview)
            CancelClosingDocs();
        mAppMode = kModeRunning;
        return noErr;
    default:
        mAppMode = kModeQuitDiscard;
        return CloseEveryDocument();
    }
}

void CApplication::SortDocumentsForQuit()
{
    for (CDocument* document : CDocument::GetDocuments(true))
        if (document->GetWindow())
            BringToFront(document->GetWindow()->GetWindowRef());
}

void CApplication::ContinueClosingDocs()
{
    std::vector<CDocument*> modified = CDocument::GetDocuments(true);
    if (mAppMode != kModeQuitOne && !modified.empty()) {
        CCarbonEvent close = CCarbonEvent::CreateWithHICommandID('clos');
        modified.front()->DispatchEvent(close, nullptr);
        return;
    }
    Quit();
}

void CApplication::CancelClosingDocs()
{
    if (mAppMode == kModeQuitReview)
        DispatchCommandToDocuments(kHICommandCancel, true);
    mAppMode = kModeRunning;
}
