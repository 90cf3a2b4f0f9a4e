#include "docwindow/CMapPrint.h"

#include "docwindow/CViewMap.h"
#include "docwindow/CViewOverlay.h"
#include "foundation/CDateTime.h"
#include "foundation/CTextUtilities.h"
#include "framework/CPrintDialog.h"
#include "render/CCoreGraphicsUtilities.h"
#include "toolbox/HIViewCalls.h"

#include <algorithm>

namespace {

HIThemeTextInfo PrintTextInfo(ThemeFontID font, HIThemeTextHorizontalFlush horizontal, HIThemeTextVerticalFlush vertical)
{
    HIThemeTextInfo info;
    info.fontID = font;
    info.horizontalFlushness = horizontal;
    info.verticalFlushness = vertical;
    return info;
}

// The view draws itself into the context for the printer.
OSStatus MapPrintView(CHIView* view, CGContextRef context, CGRect const& page)
{
    if (!view)
        return noErr;
    CCarbonEvent draw(kEventClassControl, kEventControlDraw);
    Boolean const printing = true;
    draw.SetParameter(kEventParamCGContextRef, typeCGContextRef, sizeof context, &context);
    draw.SetParameter(CPrintDialog::kEventParamPrinting, typeBoolean, sizeof printing, &printing);
    draw.SetParameter(CPrintDialog::kEventParamPrintBounds, typeHIRect, sizeof page, &page);
    CGContextSaveGState(context);
    OSStatus const status = SendEventToEventTarget(draw.GetEvent(), GetControlEventTarget(view->GetHIViewRef()));
    CGContextRestoreGState(context);
    return status;
}

} // namespace

CGRect CMapPrint::GetMapRect(CGRect const& page, CGSize const& visible)
{
    CGRect const room = CGRectMake(page.origin.x, page.origin.y + kBand, page.size.width,
        std::max(0.0, page.size.height - 2 * kBand));
    if (!(visible.width > 0) || !(visible.height > 0))
        return CGRectMake(room.origin.x, room.origin.y, 0, 0);
    return room;
}

CGRect CMapPrint::GetPrintedContent(CGRect const& mapRect, CGRect const& visible)
{
    if (!(mapRect.size.width > 0) || !(mapRect.size.height > 0) || !(visible.size.width > 0)
        || !(visible.size.height > 0))
        return visible;
    double const page = mapRect.size.width / mapRect.size.height;
    CGSize size = visible.size;
    if (size.width / size.height < page)
        size.width = size.height * page;
    else
        size.height = size.width / page;
    return CGRectMake(CGRectGetMidX(visible) - size.width / 2, CGRectGetMidY(visible) - size.height / 2, size.width,
        size.height);
}

OSStatus CMapPrint::PrintPage(CCarbonEvent& pageEvent, CViewMap* map, CViewOverlay* overlay, CString const& name)
{
    CGContextRef context = pageEvent.GetCGContext();
    if (!context || !map)
        return paramErr;
    CGRect page = CGRectZero;
    pageEvent.GetParameter(CPrintDialog::kEventParamPrintBounds, typeHIRect, sizeof page, &page);
    if (CGRectIsEmpty(page))
        page = CGContextGetClipBoundingBox(context);
    CGRect const visible = map->GetVisibleContent();
    CGRect const m = GetMapRect(page, visible.size);
    CGRect const printed = GetPrintedContent(m, visible);

    CString header;
    header.Format("%s - %s", "Tarnwick", name.GetUTF8());
    CString const date = CDateTime::GetTimeNow().GetTimeAsString(true, true, CDateTime::kDateFormAbbreviated, true);
    CString const footer = map->GetMapURL();

    OSStatus status = noErr;
    if (m.size.width > 0 && m.size.height > 0) {
        CGContextSaveGState(context);
        CGContextClipToRect(context, m);
        CGContextTranslateCTM(context, m.origin.x, m.origin.y);
        CGContextScaleCTM(context, m.size.width / printed.size.width, m.size.height / printed.size.height);
        // The map draws the printed part where it would draw its visible part; the scale bar
        // keeps to the bottom-left corner of the page's map.
        CGContextSaveGState(context);
        CGContextTranslateCTM(context, visible.origin.x - printed.origin.x, visible.origin.y - printed.origin.y);
        map->SetPrintedContent(&printed);
        status = MapPrintView(map, context, page);
        CGContextRestoreGState(context);
        CGContextTranslateCTM(context, 0, printed.size.height - visible.size.height);
        status |= MapPrintView(overlay, context, page);
        map->SetPrintedContent(nullptr);
        CGContextRestoreGState(context);
    }

    CGContextSaveGState(context);
    CGContextSetRGBStrokeColor(context, 0, 0, 0, 1);
    CGContextSetLineWidth(context, CCoreGraphicsUtilities::GetHairlineWidth(context));
    CGContextStrokeRect(context, m);
    CGContextSetRGBFillColor(context, 0, 0, 0, 1);
    CGRect const headerBand = CGRectMake(m.origin.x, m.origin.y - kBand, m.size.width, kTextHeight);
    CCoreGraphicsUtilities::DrawString(context, header, headerBand,
        PrintTextInfo(kThemeLabelFont, kHIThemeTextHorizontalFlushLeft, kHIThemeTextVerticalFlushBottom), false,
        kHIThemeOrientationNormal);
    CCoreGraphicsUtilities::DrawString(context, date, headerBand,
        PrintTextInfo(kThemeLabelFont, kHIThemeTextHorizontalFlushRight, kHIThemeTextVerticalFlushBottom), false,
        kHIThemeOrientationNormal);
    CGRect const footerBand
        = CGRectMake(m.origin.x, m.origin.y + m.size.height + kFooterGap, m.size.width, kTextHeight);
    CCoreGraphicsUtilities::DrawString(context, footer, footerBand,
        PrintTextInfo(kThemeMiniSystemFont, kHIThemeTextHorizontalFlushCenter, kHIThemeTextVerticalFlushTop), false,
        kHIThemeOrientationNormal);
    CGContextRestoreGState(context);
    return status;
}
