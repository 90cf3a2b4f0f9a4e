#pragma once

// The Printing Manager: sessions, page formats and print settings; the page
// setup and print dialogs (sheets on a window when the session uses sheets,
// application-modal otherwise); and the job itself, drawn page by page into a
// PDF context and written to a file or handed to the print spooler (`lp`).

#include "corefoundation/CFURL.h"
#include "quartz/CGContext.h"
#include "toolbox/WindowTypes.h"

namespace tw::toolbox::dialogs {
class PrintObject;
class PrintSession;
class PageFormat;
class PrintSettings;
} // namespace tw::toolbox::dialogs

using PMObject = tw::toolbox::dialogs::PrintObject*;
using PMPrintSession = tw::toolbox::dialogs::PrintSession*;
using PMPageFormat = tw::toolbox::dialogs::PageFormat*;
using PMPrintSettings = tw::toolbox::dialogs::PrintSettings*;

// Top, left, bottom, right, in points; page coordinates (the imageable area starts at 0, 0).
struct PMRect {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
};

using PMOrientation = UInt16;
enum : PMOrientation { kPMPortrait = 1, kPMLandscape = 2 };
using PMDestinationType = UInt16;
enum : PMDestinationType { kPMDestinationPrinter = 1, kPMDestinationFile = 2 };
enum : UInt32 { kPMPrintAllPages = 0xFFFFFFFF };
inline constexpr OSStatus kPMGeneralError = -30870;
inline constexpr OSStatus kPMInvalidParameter = paramErr;
inline constexpr OSStatus kPMOutOfScope = -30871;
inline constexpr OSStatus kPMNoDefaultPrinter = -30872;
inline constexpr OSStatus kPMCancel = 128;

inline constexpr char kPMDocumentFormatDefault[] = "com.apple.documentformat.default";
inline constexpr char kPMDocumentFormatPDF[] = "application/pdf";
inline constexpr char kPMGraphicsContextCoreGraphics[] = "com.apple.graphicscontext.coregraphics";
inline constexpr char kPMGraphicsContextQuickDraw[] = "com.apple.graphicscontext.quickdraw";

using PMSheetDoneProcPtr = void (*)(PMPrintSession session, WindowRef documentWindow, Boolean accepted);
using PMSheetDoneUPP = PMSheetDoneProcPtr;

OSStatus PMCreateSession(PMPrintSession* outSession);
OSStatus PMCreatePageFormat(PMPageFormat* outFormat);
OSStatus PMCreatePrintSettings(PMPrintSettings* outSettings);
OSStatus PMRetain(PMObject object);
OSStatus PMRelease(PMObject object);
OSStatus PMRelease(PMPrintSession session);
OSStatus PMRelease(PMPageFormat format);
OSStatus PMRelease(PMPrintSettings settings);
OSStatus PMSessionError(PMPrintSession session);

OSStatus PMSessionDefaultPageFormat(PMPrintSession session, PMPageFormat format);
OSStatus PMSessionDefaultPrintSettings(PMPrintSession session, PMPrintSettings settings);
OSStatus PMSessionValidatePageFormat(PMPrintSession session, PMPageFormat format, Boolean* changed);
OSStatus PMSessionValidatePrintSettings(PMPrintSession session, PMPrintSettings settings, Boolean* changed);
// graphicsContexts: a one-string array naming the context the session will hand out.
OSStatus PMSessionSetDocumentFormatGeneration(
    PMPrintSession session, CFStringRef documentFormat, CFArrayRef graphicsContexts, CFTypeRef options);

OSStatus PMSessionUseSheets(PMPrintSession session, WindowRef documentWindow, PMSheetDoneUPP sheetDone);
OSStatus PMSessionPageSetupDialog(PMPrintSession session, PMPageFormat format, Boolean* accepted);
OSStatus PMSessionPrintDialog(
    PMPrintSession session, PMPrintSettings settings, PMPageFormat constFormat, Boolean* accepted);

// Paper names: "na-letter" (US Letter) and "iso-a4" (A4).
OSStatus PMSetPaperName(PMPageFormat format, CFStringRef paper);
OSStatus PMCopyPaperName(PMPageFormat format, CFStringRef* outPaper);
OSStatus PMSetOrientation(PMPageFormat format, PMOrientation orientation, Boolean lock);
OSStatus PMGetOrientation(PMPageFormat format, PMOrientation* outOrientation);
OSStatus PMGetAdjustedPaperRect(PMPageFormat format, PMRect* outRect);
OSStatus PMGetAdjustedPageRect(PMPageFormat format, PMRect* outRect);

OSStatus PMSetPageRange(PMPrintSettings settings, UInt32 minPage, UInt32 maxPage);
OSStatus PMGetPageRange(PMPrintSettings settings, UInt32* outMinPage, UInt32* outMaxPage);
OSStatus PMSetFirstPage(PMPrintSettings settings, UInt32 first, Boolean lock);
OSStatus PMGetFirstPage(PMPrintSettings settings, UInt32* outFirst);
OSStatus PMSetLastPage(PMPrintSettings settings, UInt32 last, Boolean lock);
OSStatus PMGetLastPage(PMPrintSettings settings, UInt32* outLast);
OSStatus PMSetCopies(PMPrintSettings settings, UInt32 copies, Boolean lock);
OSStatus PMGetCopies(PMPrintSettings settings, UInt32* outCopies);
OSStatus PMSetJobNameCFString(PMPrintSettings settings, CFStringRef name);
OSStatus PMGetJobNameCFString(PMPrintSettings settings, CFStringRef* outName);
// Where the job goes: a file (location: its file URL) or the printer named by the settings.
OSStatus PMSessionSetDestination(
    PMPrintSession session, PMPrintSettings settings, PMDestinationType type, CFStringRef format, CFURLRef location);
OSStatus PMSessionGetDestinationType(PMPrintSession session, PMPrintSettings settings, PMDestinationType* outType);
OSStatus PMSessionCopyDestinationLocation(PMPrintSession session, PMPrintSettings settings, CFURLRef* outLocation);
// The printer's name; empty for the default printer.
OSStatus PMSetPrinterName(PMPrintSettings settings, CFStringRef printer);

OSStatus PMSessionBeginCGDocument(PMPrintSession session, PMPrintSettings settings, PMPageFormat format);
OSStatus PMSessionBeginDocument(PMPrintSession session, PMPrintSettings settings, PMPageFormat format);
OSStatus PMSessionBeginPage(PMPrintSession session, PMPageFormat format, PMRect const* pageFrame);
OSStatus PMSessionEndPage(PMPrintSession session);
OSStatus PMSessionEndDocument(PMPrintSession session);
// The page's context, y up, origin at the paper's corner; valid between BeginPage and EndPage.
OSStatus PMSessionGetCGGraphicsContext(PMPrintSession session, CGContextRef* outContext);
OSStatus PMSessionGetGraphicsContext(PMPrintSession session, CFStringRef graphicsContext, void** outContext);
