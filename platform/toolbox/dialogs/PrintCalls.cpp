#include "corefoundation/CFArray.h"
#include "corefoundation/CFString.h"
#include "toolbox/dialogs/PrintObjects.h"
#include "toolbox/dialogs/PrintPanel.h"

#include <algorithm>

using namespace tw::toolbox::dialogs;

namespace {

template <typename T> T* Live(T* object) { return PrintObject::IsLive(object) ? object : nullptr; }

template <typename T> OSStatus Create(T** out)
{
    if (!out)
        return paramErr;
    *out = new T;
    return noErr;
}

OSStatus RunPanel(PMPrintSession session, PMPageFormat format, PMPrintSettings settings, Boolean* accepted)
{
    if (!Live(session) || !Live(format) || (settings && !Live(settings)))
        return paramErr;
    if (session->mPanel)
        return kPMOutOfScope; // one dialog per session at a time
    if (accepted)
        *accepted = false;
    session->mPanel = std::make_unique<PrintPanel>(session, format, settings);
    Boolean done = false;
    OSStatus const status = session->mPanel->Run(&done);
    if (status != noErr || !session->mSheetWindow) {
        session->mPanel.reset();
        if (accepted)
            *accepted = status == noErr && done;
    }
    return status;
}

} // namespace

OSStatus PMCreateSession(PMPrintSession* outSession) { return Create(outSession); }

OSStatus PMCreatePageFormat(PMPageFormat* outFormat) { return Create(outFormat); }

OSStatus PMCreatePrintSettings(PMPrintSettings* outSettings) { return Create(outSettings); }

OSStatus PMRetain(PMObject object)
{
    if (!Live(object))
        return paramErr;
    object->Retain();
    return noErr;
}

OSStatus PMRelease(PMObject object)
{
    if (!Live(object))
        return paramErr;
    object->Release();
    return noErr;
}

OSStatus PMRelease(PMPrintSession session) { return PMRelease(static_cast<PMObject>(session)); }

OSStatus PMRelease(PMPageFormat format) { return PMRelease(static_cast<PMObject>(format)); }

OSStatus PMRelease(PMPrintSettings settings) { return PMRelease(static_cast<PMObject>(settings)); }

OSStatus PMSessionError(PMPrintSession session) { return Live(session) ? session->mError : paramErr; }

OSStatus PMSessionDefaultPageFormat(PMPrintSession session, PMPageFormat format)
{
    if (!Live(session) || !Live(format))
        return paramErr;
    format->mPaper = DefaultPaper();
    format->mOrientation = kPMPortrait;
    return noErr;
}

OSStatus PMSessionDefaultPrintSettings(PMPrintSession session, PMPrintSettings settings)
{
    if (!Live(session) || !Live(settings))
        return paramErr;
    settings->mMinPage = settings->mFirstPage = 1;
    settings->mMaxPage = settings->mLastPage = kPMPrintAllPages;
    settings->mCopies = 1;
    settings->mPrinter.clear();
    settings->mDestination = DefaultPrinter().empty() ? kPMDestinationFile : kPMDestinationPrinter;
    return noErr;
}

OSStatus PMSessionValidatePageFormat(PMPrintSession session, PMPageFormat format, Boolean* changed)
{
    if (!Live(session) || !Live(format))
        return paramErr;
    bool const bad = PageFormat::PaperSizeOf(format->mPaper).width == 0
        || (format->mOrientation != kPMPortrait && format->mOrientation != kPMLandscape);
    if (bad) {
        format->mPaper = DefaultPaper();
        format->mOrientation = kPMPortrait;
    }
    if (changed)
        *changed = bad;
    return noErr;
}

OSStatus PMSessionValidatePrintSettings(PMPrintSession session, PMPrintSettings settings, Boolean* changed)
{
    if (!Live(session) || !Live(settings))
        return paramErr;
    bool const bad = settings->mCopies == 0 || settings->mFirstPage == 0 || settings->mFirstPage > settings->mLastPage;
    if (bad) {
        settings->mCopies = std::max<UInt32>(settings->mCopies, 1);
        settings->mFirstPage = 1;
        settings->mLastPage = kPMPrintAllPages;
    }
    if (changed)
        *changed = bad;
    return noErr;
}

OSStatus PMSessionSetDocumentFormatGeneration(
    PMPrintSession session, CFStringRef documentFormat, CFArrayRef graphicsContexts, CFTypeRef)
{
    if (!Live(session) || !documentFormat)
        return paramErr;
    std::string const format = tw::cf::ToUTF8(documentFormat);
    if (format != kPMDocumentFormatDefault && format != kPMDocumentFormatPDF)
        return kPMInvalidParameter;
    if (graphicsContexts && CFArrayGetCount(graphicsContexts) > 0)
        session->mGraphicsContext
            = tw::cf::ToUTF8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(graphicsContexts, 0)));
    return noErr;
}

OSStatus PMSessionUseSheets(PMPrintSession session, WindowRef documentWindow, PMSheetDoneUPP sheetDone)
{
    if (!Live(session))
        return paramErr;
    session->mSheetWindow = documentWindow;
    session->mSheetDone = sheetDone;
    return noErr;
}

OSStatus PMSessionPageSetupDialog(PMPrintSession session, PMPageFormat format, Boolean* accepted)
{
    return RunPanel(session, format, nullptr, accepted);
}

OSStatus PMSessionPrintDialog(PMPrintSession session, PMPrintSettings settings, PMPageFormat format, Boolean* accepted)
{
    if (!Live(settings))
        return paramErr;
    return RunPanel(session, format, settings, accepted);
}
