#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"

OSStatus CDocument::CommandPageSetup()
{
    OSStatus status = PrepareToPrint(kPrintDialogPageSetup, &mPrintDialog);
    return status != noErr ? status : mPrintDialog.DoPageSetup();
}

OSStatus CDocument::CommandPrint()
{
    OSStatus status = PrepareToPrint(kPrintDialogPrint, &mPrintDialog);
    return status != noErr ? status : mPrintDialog.DoPrint();
}

OSStatus CDocument::PrepareToPrint(PrintDialogType kind, CPrintDialog* dialog)
{
    if (kind == kPrintDialogPrint) {
        dialog->SetJobName(GetDisplayName());
        dialog->SetPageRange(1, 1);
    }
    return noErr;
}

OSStatus CDocument::PrintDocument()
{
    PMPrintSession session = mPrintDialog.GetPrintSession();
    OSStatus status = PMSessionBeginCGDocument(session, mPrintDialog.GetPrintSettings(), mPrintDialog.GetPageFormat());
    if (status == noErr) {
        UInt32 first = 1;
        UInt32 last = 1;
        mPrintDialog.GetPageRange(first, last, true);
        for (UInt32 page = first; page <= last && status == noErr; ++page) {
            status = PMSessionBeginPage(session, mPrintDialog.GetPageFormat(), nullptr);
            if (status == noErr)
                status = PrintSelf(&mPrintDialog, page);
            OSStatus ended = PMSessionEndPage(session);
            status = status != noErr ? status : ended;
        }
        OSStatus ended = PMSessionEndDocument(session);
        status = status != noErr ? status : ended;
    }
    mPrintDialog.EndSession(); // the page format stays for the next print
    return status;
}

// A document with nothing of its own to print says so with the alert sound.
OSStatus CDocument::PrintSelf(CPrintDialog* dialog, unsigned long page)
{
    CApplication::Beep();
    return noErr;
}
