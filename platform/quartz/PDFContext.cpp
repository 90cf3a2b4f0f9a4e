#include "quartz/PDFContext.h"

#include "quartz/CGPDFContext.h"
#include "quartz/TextLayout.h"

#include <cairo-pdf.h>
#include <climits>

namespace tw::quartz {

namespace {

    // Page sizes [pt] PDF readers accept.
    bool UsablePage(CGRect const& box)
    {
        return box.size.width >= 3 && box.size.height >= 3 && box.size.width <= 14400 && box.size.height <= 14400;
    }

} // namespace

PDFContext::PDFContext(cairo_surface_t* surface, CGRect mediaBox)
    : Context(surface, mediaBox.size.width, mediaBox.size.height, false)
    , mMediaBox(mediaBox)
{
}

PDFContext::~PDFContext() { Close(); }

// The box's origin is not kept: user space starts at the page's bottom left.
void PDFContext::BeginPage(CGRect const* mediaBox)
{
    if (mClosed)
        return;
    if (mInPage)
        EndPage();
    CGRect const box = mediaBox && UsablePage(CGRectStandardize(*mediaBox)) ? CGRectStandardize(*mediaBox) : mMediaBox;
    cairo_pdf_surface_set_size(mSurface, box.size.width, box.size.height);
    Reset(box.size.width, box.size.height);
    mInPage = true;
}

void PDFContext::EndPage()
{
    if (!mInPage || mClosed)
        return;
    // The page's text holds Cairo's fonts until it is written out.
    auto const lock = TextLayout::LockFonts();
    cairo_show_page(mCairo);
    mInPage = false;
}

void PDFContext::Close()
{
    if (mClosed)
        return;
    EndPage();
    auto const lock = TextLayout::LockFonts();
    cairo_surface_finish(mSurface);
    mClosed = true;
}

} // namespace tw::quartz

using tw::quartz::PDFContext;

CGContextRef CGPDFContextCreateWithURL(CFURLRef url, CGRect const* mediaBox, CFDictionaryRef)
{
    char path[PATH_MAX];
    if (!url || !CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof(path)))
        return nullptr;
    CGRect const letter = CGRectMake(0, 0, 612, 792);
    CGRect const box = mediaBox ? CGRectStandardize(*mediaBox) : letter;
    if (!tw::quartz::UsablePage(box))
        return nullptr;
    cairo_surface_t* surface = cairo_pdf_surface_create(path, box.size.width, box.size.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    auto* context = new PDFContext(surface, box);
    cairo_surface_destroy(surface);
    return context;
}

void CGPDFContextClose(CGContextRef c)
{
    if (auto* pdf = dynamic_cast<PDFContext*>(c))
        pdf->Close();
}

void CGContextBeginPage(CGContextRef c, CGRect const* mediaBox)
{
    if (auto* pdf = dynamic_cast<PDFContext*>(c))
        pdf->BeginPage(mediaBox);
}

void CGContextEndPage(CGContextRef c)
{
    if (auto* pdf = dynamic_cast<PDFContext*>(c))
        pdf->EndPage();
}
