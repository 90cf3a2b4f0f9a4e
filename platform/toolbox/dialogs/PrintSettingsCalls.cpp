#include "corefoundation/CFString.h"
#include "toolbox/dialogs/PrintObjects.h"

using namespace tw::toolbox::dialogs;

namespace {

template <typename T> T* Live(T* object) { return PrintObject::IsLive(object) ? object : nullptr; }

template <typename T> OSStatus Get(PrintObject* object, T const& value, T* out)
{
    if (!Live(object) || !out)
        return paramErr;
    *out = value;
    return noErr;
}

// Page numbers and copies count from 1.
OSStatus SetCount(PMPrintSettings settings, UInt32 PrintSettings::*field, UInt32 value)
{
    if (!Live(settings) || value == 0)
        return paramErr;
    settings->*field = value;
    return noErr;
}

} // namespace

OSStatus PMSetPaperName(PMPageFormat format, CFStringRef paper)
{
    std::string const name = tw::cf::ToUTF8(paper);
    if (!Live(format) || PageFormat::PaperSizeOf(name).width == 0)
        return paramErr;
    format->mPaper = name;
    return noErr;
}

OSStatus PMCopyPaperName(PMPageFormat format, CFStringRef* outPaper)
{
    if (!Live(format) || !outPaper)
        return paramErr;
    *outPaper = tw::cf::CreateString(format->mPaper);
    return noErr;
}

OSStatus PMSetOrientation(PMPageFormat format, PMOrientation orientation, Boolean)
{
    if (!Live(format) || (orientation != kPMPortrait && orientation != kPMLandscape))
        return paramErr;
    format->mOrientation = orientation;
    return noErr;
}

OSStatus PMGetOrientation(PMPageFormat format, PMOrientation* out)
{
    return Live(format) ? Get(format, format->mOrientation, out) : paramErr;
}

OSStatus PMGetAdjustedPaperRect(PMPageFormat format, PMRect* out)
{
    return Live(format) ? Get(format, format->PaperRect(), out) : paramErr;
}

OSStatus PMGetAdjustedPageRect(PMPageFormat format, PMRect* out)
{
    return Live(format) ? Get(format, format->PageRect(), out) : paramErr;
}

OSStatus PMSetPageRange(PMPrintSettings settings, UInt32 minPage, UInt32 maxPage)
{
    if (!Live(settings) || minPage == 0 || minPage > maxPage)
        return paramErr;
    settings->mMinPage = minPage;
    settings->mMaxPage = maxPage;
    return noErr;
}

OSStatus PMGetPageRange(PMPrintSettings settings, UInt32* outMin, UInt32* outMax)
{
    if (!Live(settings) || !outMin || !outMax)
        return paramErr;
    *outMin = settings->mMinPage;
    *outMax = settings->mMaxPage;
    return noErr;
}

OSStatus PMSetFirstPage(PMPrintSettings settings, UInt32 first, Boolean)
{
    return SetCount(settings, &PrintSettings::mFirstPage, first);
}

OSStatus PMGetFirstPage(PMPrintSettings settings, UInt32* out)
{
    return Live(settings) ? Get(settings, settings->mFirstPage, out) : paramErr;
}

OSStatus PMSetLastPage(PMPrintSettings settings, UInt32 last, Boolean)
{
    return SetCount(settings, &PrintSettings::mLastPage, last);
}

OSStatus PMGetLastPage(PMPrintSettings settings, UInt32* out)
{
    return Live(settings) ? Get(settings, settings->mLastPage, out) : paramErr;
}

OSStatus PMSetCopies(PMPrintSettings settings, UInt32 copies, Boolean)
{
    return SetCount(settings, &PrintSettings::mCopies, copies);
}

OSStatus PMGetCopies(PMPrintSettings settings, UInt32* out)
{
    return Live(settings) ? Get(settings, settings->mCopies, out) : paramErr;
}

OSStatus PMSetJobNameCFString(PMPrintSettings settings, CFStringRef name)
{
    if (!Live(settings) || !name)
        return paramErr;
    settings->mJobName = tw::cf::ToUTF8(name);
    return noErr;
}

OSStatus PMGetJobNameCFString(PMPrintSettings settings, CFStringRef* outName)
{
    if (!Live(settings) || !outName)
        return paramErr;
    *outName = tw::cf::CreateString(settings->mJobName);
    return noErr;
}

OSStatus PMSetPrinterName(PMPrintSettings settings, CFStringRef printer)
{
    if (!Live(settings))
        return paramErr;
    settings->mPrinter = tw::cf::ToUTF8(printer);
    return noErr;
}
