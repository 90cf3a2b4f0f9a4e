#pragma once

// A context writing a PDF file through Cairo, one page at a time.

#include "quartz/Context.h"

namespace tw::quartz {

class PDFContext final : public Context {
public:
    PDFContext(cairo_surface_t* surface, CGRect mediaBox);
    ~PDFContext() override;
    void BeginPage(CGRect const* mediaBox);
    void EndPage();
    void Close();

private:
    CGRect mMediaBox; // the default page
    bool mInPage = false;
    bool mClosed = false;
};

} // namespace tw::quartz
