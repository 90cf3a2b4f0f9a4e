#pragma once

// The Printing Manager's objects: reference counted, checked against a
// registry of live objects so that a stale reference is refused, not used.

#include "toolbox/dialogs/Printing.h"

#include <memory>
#include <string>

namespace tw::toolbox::dialogs {

class PrintPanel;

class PrintObject {
public:
    PrintObject();
    virtual ~PrintObject();
    PrintObject(PrintObject const&) = delete;
    PrintObject& operator=(PrintObject const&) = delete;

    static bool IsLive(PrintObject const* object);
    void Retain() { ++mRefs; }
    void Release();

private:
    int mRefs = 1;
};

class PageFormat : public PrintObject {
public:
    static constexpr double kMargin = 18; // [pt] unprintable edge on every side

    std::string mPaper = "na-letter";
    PMOrientation mOrientation = kPMPortrait;

    static CGSize PaperSizeOf(std::string const& paper); // portrait; zero for an unknown paper
    CGSize PaperSize() const; // as oriented
    PMRect PaperRect() const;
    PMRect PageRect() const;
};

class PrintSettings : public PrintObject {
public:
    UInt32 mMinPage = 1;
    UInt32 mMaxPage = kPMPrintAllPages;
    UInt32 mFirstPage = 1;
    UInt32 mLastPage = kPMPrintAllPages;
    UInt32 mCopies = 1;
    std::string mJobName;
    std::string mPrinter; // empty: the default printer
    PMDestinationType mDestination = kPMDestinationPrinter;
    std::string mFile; // the PDF file of a file destination
};

class PrintSession : public PrintObject {
public:
    PrintSession();
    ~PrintSession() override;

    OSStatus mError = noErr;
    std::string mGraphicsContext = kPMGraphicsContextCoreGraphics;
    WindowRef mSheetWindow = nullptr; // weak: the window the dialogs attach to
    PMSheetDoneUPP mSheetDone = nullptr;
    std::unique_ptr<PrintPanel> mPanel; // the dialog running now

    // The job.
    CGContextRef mContext = nullptr; // owns, between BeginDocument and EndDocument
    bool mInPage = false;
    std::string mOutput; // the PDF being written
    std::string mPrinter; // spool to this printer when the job ends; empty: a file job
    UInt32 mCopies = 1;
    std::string mJobName;
};

// The system's default printer (`lpstat -d`); empty when there is none or no spooler.
std::string DefaultPrinter();
// Hands a PDF file to the spooler; noErr once `lp` accepted it.
OSStatus SpoolPDF(std::string const& printer, std::string const& file, UInt32 copies, std::string const& title);
// The paper named by the papersize file (/etc/papersize), else the locale's (LC_PAPER):
// "na-letter" for US Letter, "iso-a4" for A4.
std::string DefaultPaper(std::string const& papersizeFile = "/etc/papersize");
// The locale's paper: LC_ALL, LC_PAPER or LANG as the C library reads them, else the
// country of the locale's name when that locale is not installed.
std::string LocalePaper();

} // namespace tw::toolbox::dialogs
