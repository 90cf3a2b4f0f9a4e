#include "foundation/CFileUtilities.h"
#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"

namespace {

// The files of the event's direct object, in list order.
OSStatus GetEventFiles(AEDesc const& event, CFileList& files)
{
    AEDescList list {};
    OSStatus status = AEGetParamDesc(&event, keyDirectObject, typeAEList, &list);
    if (status != noErr)
        return status;
    status = CFileUtilities::GetAEDescListFiles(&list, files);
    OSStatus disposed = AEDisposeDesc(&list);
    return status != noErr ? status : disposed;
}

} // namespace

OSStatus CApplication::DoAppleEventOpenApp(AEDesc const& event)
{
    if (GetPropertyInteger('ndol') != 0)
        CommandCreate(nullptr, nullptr);
    return noErr;
}

// Each file opens on its own: one that fails is reported and the others still open.
OSStatus CApplication::DoAppleEventOpenDocs(AEDesc const& event)
{
    CFileList files;
    OSStatus status = GetEventFiles(event, files);
    for (CFile const& file : files)
        if (OSStatus opened = CommandCreate(&file, nullptr); opened != noErr)
            ShowOpenError(file, opened);
    return status;
}

OSStatus CApplication::DoAppleEventPrintDocs(AEDesc const& event)
{
    CFileList files;
    OSStatus status = GetEventFiles(event, files);
    for (CFile const& file : files) {
        CDocument* document = nullptr;
        if (CommandCreate(&file, &document) == noErr && document) {
            CCarbonEvent print = CCarbonEvent::CreateWithHICommandID('prnt');
            document->DispatchEvent(print, nullptr);
        }
    }
    return status;
}

OSStatus CApplication::DoAppleEventQuitApp(AEDesc const& event)
{
    if (CommandQuit() == eventNotHandledErr)
        QuitApplicationEventLoop();
    return noErr;
}

OSStatus CApplication::DoAppleEventReopenApp(AEDesc const& event)
{
    if (GetPropertyInteger('ndor') != 0 && CDocument::GetDocuments(false).empty())
        return CommandCreate(nullptr, nullptr);
    return eventNotHandledErr;
}
