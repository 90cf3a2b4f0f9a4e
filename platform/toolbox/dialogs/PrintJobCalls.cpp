#include "corefoundation/CFString.h"
#include "quartz/CGPDFContext.h"
#include "toolbox/dialogs/PrintObjects.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace tw::toolbox::dialogs;

namespace {

template <typename T> T* Live(T* object) { return PrintObject::IsLive(object) ? object : nullptr; }

std::string TemporaryPDF()
{
    std::string path = (std::filesystem::temp_directory_path() / "tarnwick-print-XXXXXX.pdf").string();
    int const fd = mkstemps(path.data(), 4);
    if (fd < 0)
        return {};
    close(fd);
    return path;
}

CGContextRef CreatePDF(std::string const& path, CGSize paper)
{
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<UInt8 const*>(path.data()), static_cast<CFIndex>(path.size()), false);
    if (!url)
        return nullptr;
    CGRect const media { { 0, 0 }, paper };
    CGContextRef context = CGPDFContextCreateWithURL(url, &media, nullptr);
    CFRelease(url);
    return context;
}

} // namespace

OSStatus PMSessionSetDestination(
    PMPrintSession session, PMPrintSettings settings, PMDestinationType type, CFStringRef, CFURLRef location)
{
    if (!Live(session) || !Live(settings) || (type != kPMDestinationPrinter && type != kPMDestinationFile))
        return paramErr;
    if (type == kPMDestinationFile) {
        char buffer[4096] = {};
        if (!location
            || !CFURLGetFileSystemRepresentation(location, true, reinterpret_cast<UInt8*>(buffer), sizeof buffer))
            return paramErr;
        settings->mFile = buffer;
    }
    settings->mDestination = type;
    return noErr;
}

OSStatus PMSessionGetDestinationType(PMPrintSession session, PMPrintSettings settings, PMDestinationType* outType)
{
    if (!Live(session) || !Live(settings) || !outType)
        return paramErr;
    *outType = settings->mDestination;
    return noErr;
}

OSStatus PMSessionCopyDestinationLocation(PMPrintSession session, PMPrintSettings settings, CFURLRef* outLocation)
{
    if (!Live(session) || !Live(settings) || !outLocation)
        return paramErr;
    std::string const& file = settings->mFile;
    *outLocation = settings->mDestination == kPMDestinationFile && !file.empty()
        ? CFURLCreateFromFileSystemRepresentation(
            nullptr, reinterpret_cast<UInt8 const*>(file.data()), static_cast<CFIndex>(file.size()), false)
        : nullptr;
    return noErr;
}

OSStatus PMSessionBeginCGDocument(PMPrintSession session, PMPrintSettings settings, PMPageFormat format)
{
    if (!Live(session) || !Live(settings) || !Live(format))
        return paramErr;
    if (session->mContext)
        return kPMOutOfScope;
    bool const toFile = settings->mDestination == kPMDestinationFile;
    if (toFile && settings->mFile.empty())
        return paramErr;
    std::string printer;
    if (!toFile) {
        printer = settings->mPrinter.empty() ? DefaultPrinter() : settings->mPrinter;
        if (printer.empty())
            return session->mError = kPMNoDefaultPrinter;
    }
    std::string const output = toFile ? settings->mFile : TemporaryPDF();
    CGContextRef context = output.empty() ? nullptr : CreatePDF(output, format->PaperSize());
    if (!context)
        return session->mError = kPMGeneralError;
    session->mContext = context;
    session->mOutput = output;
    session->mPrinter = printer;
    session->mCopies = settings->mCopies;
    session->mJobName = settings->mJobName;
    session->mError = noErr;
    return noErr;
}

OSStatus PMSessionBeginDocument(PMPrintSession session, PMPrintSettings settings, PMPageFormat format)
{
    return PMSessionBeginCGDocument(session, settings, format);
}

OSStatus PMSessionBeginPage(PMPrintSession session, PMPageFormat format, PMRect const*)
{
    if (!Live(session) || !Live(format))
        return paramErr;
    if (!session->mContext || session->mInPage)
        return kPMOutOfScope;
    CGRect const media { { 0, 0 }, format->PaperSize() };
    CGContextBeginPage(session->mContext, &media);
    session->mInPage = true;
    return noErr;
}

OSStatus PMSessionEndPage(PMPrintSession session)
{
    if (!Live(session))
        return paramErr;
    if (!session->mInPage)
        return kPMOutOfScope;
    CGContextEndPage(session->mContext);
    session->mInPage = false;
    return noErr;
}

OSStatus PMSessionEndDocument(PMPrintSession session)
{
    if (!Live(session))
        return paramErr;
    if (!session->mContext)
        return kPMOutOfScope;
    if (session->mInPage)
        PMSessionEndPage(session);
    CGPDFContextClose(session->mContext);
    CGContextRelease(session->mContext);
    session->mContext = nullptr;
    OSStatus status = noErr;
    if (!session->mPrinter.empty()) {
        status = SpoolPDF(session->mPrinter, session->mOutput, session->mCopies, session->mJobName);
        std::error_code error;
        std::filesystem::remove(session->mOutput, error);
    }
    session->mError = status;
    return status;
}

OSStatus PMSessionGetCGGraphicsContext(PMPrintSession session, CGContextRef* outContext)
{
    if (!Live(session) || !outContext)
        return paramErr;
    *outContext = session->mInPage ? session->mContext : nullptr;
    return *outContext ? noErr : kPMOutOfScope;
}

OSStatus PMSessionGetGraphicsContext(PMPrintSession session, CFStringRef, void** outContext)
{
    CGContextRef context = nullptr;
    OSStatus const status = PMSessionGetCGGraphicsContext(session, &context);
    if (outContext)
        *outContext = context;
    return status;
}
