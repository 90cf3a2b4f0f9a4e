#include "foundation/StCFRef.h"
#include "framework/CPrintDialog.h"

namespace {

CGRect ToCGRect(PMRect const& r) { return { { r.left, r.top }, { r.right - r.left, r.bottom - r.top } }; }

} // namespace

OSStatus CPrintDialog::SetPageRange(UInt32 first, UInt32 last)
{
    OSStatus const status = CreateSession();
    return status != noErr ? status : PMSetPageRange(mPrintSettings, first, last);
}

OSStatus CPrintDialog::SetJobName(CString const& name)
{
    OSStatus const status = CreateSession();
    return status != noErr ? status : PMSetJobNameCFString(mPrintSettings, name.GetCFString());
}

OSStatus CPrintDialog::GetPageRange(UInt32& first, UInt32& last, bool chosenRange) const
{
    UInt32 minimum = 0, maximum = 0;
    OSStatus status = PMGetPageRange(mPrintSettings, &minimum, &maximum);
    if (status != noErr)
        return status;
    if (!chosenRange) {
        first = minimum;
        last = maximum;
        return noErr;
    }
    status = PMGetFirstPage(mPrintSettings, &first);
    if (status == noErr)
        status = PMGetLastPage(mPrintSettings, &last);
    if (status == noErr && last > maximum)
        last = maximum;
    return status;
}

CGRect CPrintDialog::GetPrintPaperRect() const
{
    PMRect rect;
    return PMGetAdjustedPaperRect(mPageFormat, &rect) == noErr ? ToCGRect(rect) : CGRect {};
}

CGRect CPrintDialog::GetPrintPageRect() const
{
    PMRect rect;
    return PMGetAdjustedPageRect(mPageFormat, &rect) == noErr ? ToCGRect(rect) : CGRect {};
}

CCarbonEvent CPrintDialog::GetPrintDrawEvent() const
{
    CGContextRef context = nullptr;
    if (PMSessionGetCGGraphicsContext(mSession, &context) != noErr || !context)
        return CCarbonEvent();
    CGRect const paper = GetPrintPaperRect();
    CGRect const page = GetPrintPageRect();
    CGRect const bounds { { 0, 0 }, page.size };
    CGContextTranslateCTM(context, -paper.origin.x, -paper.origin.y);
    CGContextTranslateCTM(context, 0, page.size.height);
    CGContextScaleCTM(context, 1, -1);
    CGContextClipToRect(context, bounds);
    CCarbonEvent event(kEventClassControl, kEventControlDraw);
    Boolean const printing = true;
    event.SetParameter(kEventParamCGContextRef, typeCGContextRef, sizeof context, &context);
    event.SetParameter(kEventParamPrinting, typeBoolean, sizeof printing, &printing);
    event.SetParameter(kEventParamPrintBounds, typeHIRect, sizeof bounds, &bounds);
    return event;
}
