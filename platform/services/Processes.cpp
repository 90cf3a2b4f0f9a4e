#include "services/Processes.h"

#include "corefoundation/CFBundle.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::function<void()>& FrontHandler()
{
    static std::function<void()> handler;
    return handler;
}

bool IsCurrent(ProcessSerialNumber const* psn)
{
    return psn && psn->highLongOfPSN == 0 && psn->lowLongOfPSN == kCurrentProcess;
}

std::string ExecutableName()
{
    std::ifstream in("/proc/self/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

std::string BundleText(CFBundleRef bundle, CFStringRef key)
{
    CFTypeRef value = bundle ? CFBundleGetValueForInfoDictionaryKey(bundle, key) : nullptr;
    if (!value || CFGetTypeID(value) != CFStringGetTypeID())
        return "";
    return tw::cf::ToUTF8(static_cast<CFStringRef>(value));
}

void CopyPascal(std::string const& text, StringPtr out)
{
    std::size_t n = std::min<std::size_t>(text.size(), 255);
    // Never end inside a UTF-8 sequence.
    while (n > 0 && n < text.size() && (UInt8(text[n]) & 0xC0) == 0x80)
        --n;
    out[0] = UInt8(n);
    std::memcpy(out + 1, text.data(), n);
}

OSType CodeFromText(std::string const& text)
{
    if (text.size() != 4)
        return kUnknownType;
    return TWFourCharCode(text[0], text[1], text[2], text[3]);
}

void FillAppRef(CFBundleRef bundle, FSRef* ref)
{
    std::string path;
    if (bundle) {
        CFURLRef url = CFBundleCopyBundleURL(bundle);
        CFStringRef text = url ? CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle) : nullptr;
        path = tw::cf::ToUTF8(text);
        if (text)
            CFRelease(text);
        if (url)
            CFRelease(url);
    }
    if (path.empty()) {
        char buffer[kTWMaxPathLength];
        ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        path.assign(buffer, n > 0 ? std::size_t(n) : 0);
    }
    tw::services::CopyPath(path, ref->path);
}

} // namespace

namespace tw::services {

void SetFrontProcessHandler(std::function<void()> handler) { FrontHandler() = std::move(handler); }

} // namespace tw::services

OSErr GetCurrentProcess(ProcessSerialNumber* psn)
{
    if (!psn)
        return paramErr;
    *psn = { 0, kCurrentProcess };
    return noErr;
}

OSErr GetFrontProcess(ProcessSerialNumber* psn) { return GetCurrentProcess(psn); }

OSErr GetProcessInformation(ProcessSerialNumber const* psn, ProcessInfoRec* info)
{
    if (!info || info->processInfoLength != sizeof(ProcessInfoRec))
        return paramErr;
    if (!IsCurrent(psn))
        return procNotFound;
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (info->processName) {
        std::string name = BundleText(bundle, kCFBundleNameKey);
        CopyPascal(name.empty() ? ExecutableName() : name, info->processName);
    }
    info->processNumber = *psn;
    info->processType = 'APPL';
    info->processSignature = CodeFromText(BundleText(bundle, CFSTR("CFBundleSignature")));
    info->processMode = 0;
    info->processLauncher = { 0, kNoProcess };
    if (info->processAppRef)
        FillAppRef(bundle, info->processAppRef);
    return noErr;
}

OSErr SetFrontProcess(ProcessSerialNumber const* psn)
{
    if (!IsCurrent(psn))
        return procNotFound;
    if (auto const& handler = FrontHandler())
        handler();
    return noErr;
}
