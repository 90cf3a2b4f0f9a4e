#pragma once

// PDF contexts, for printing and saving as PDF: y up, units of 1/72 inch.

#include "corefoundation/CFURL.h"
#include "quartz/CGContext.h"

// mediaBox: the default page size (US Letter when null). auxiliaryInfo is not read.
// Null when the file cannot be made.
CGContextRef CGPDFContextCreateWithURL(CFURLRef url, CGRect const* mediaBox, CFDictionaryRef auxiliaryInfo);
// Ends an open page and finishes the file; drawing afterwards does nothing.
void CGPDFContextClose(CGContextRef c);
