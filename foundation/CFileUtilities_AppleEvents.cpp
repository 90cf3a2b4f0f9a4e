#include "foundation/CFileUtilities.h"
#include "foundation/StCFRef.h"
#include "foundation/Status.h"
#include "toolbox/dialogs/Navigation.h"

#include <cstring>
#include <vector>

namespace {

// The bytes of a descriptor, bounded by what a file descriptor can hold.
OSStatus ReadBytes(AEDesc const* desc, std::vector<char>& bytes)
{
    Size size = AEGetDescDataSize(desc);
    if (size < 0 || size > Size(1) << 20)
        return errAEWrongDataType;
    bytes.assign(std::size_t(size) + 1, 0);
    return AEGetDescData(desc, bytes.data(), size);
}

OSStatus FileFromURL(std::string const& text, CFile& file)
{
    StCFRef<CFStringRef> string(CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8));
    StCFRef<CFURLRef> url(string.IsValid() ? CFURLCreateWithString(nullptr, string, nullptr) : nullptr);
    StCFRef<CFStringRef> scheme(url.IsValid() ? CFURLCopyScheme(url) : nullptr);
    if (!scheme.IsValid() || CFStringCompare(scheme, CFSTR("file"), kCFCompareCaseInsensitive) != kCFCompareEqualTo)
        return errAEWrongDataType;
    file = CFile(url.Get());
    return file.IsSpecified() ? noErr : errAEWrongDataType;
}

OSStatus FileFromPathBytes(std::vector<char> const& bytes, CFile& file)
{
    std::size_t length = strnlen(bytes.data(), bytes.size());
    if (length == 0 || bytes[0] != '/')
        return errAEWrongDataType;
    file = CFile(CString(bytes.data(), length, kCFStringEncodingUTF8));
    return file.IsSpecified() ? noErr : errAEWrongDataType;
}

OSStatus FileFromDesc(AEDesc const* desc, CFile& file)
{
    std::vector<char> bytes;
    TW_RETURN_IF_ERROR(ReadBytes(desc, bytes));
    switch (desc->descriptorType) {
    case typeFSRef:
    case typeFSS:
    case typeChar:
    case typeUTF8Text:
        return FileFromPathBytes(bytes, file);
    case typeFileURL:
        return FileFromURL(bytes.data(), file);
    case typeAlias: {
        Handle h = nullptr;
        TW_RETURN_IF_ERROR(PtrToHand(bytes.data(), &h, long(bytes.size() - 1)));
        file = CFileUtilities::ResolveAliasHandle(reinterpret_cast<AliasHandle>(h));
        DisposeHandle(h);
        return file.IsSpecified() ? noErr : fnfErr;
    }
    default:
        return errAEWrongDataType;
    }
}

} // namespace

OSStatus CFileUtilities::GetAEDescListFiles(AEDesc const* list, CFileList& files)
{
    if (!list)
        return paramErr;
    CFileList found;
    if (list->descriptorType != typeAEList) {
        CFile file;
        TW_RETURN_IF_ERROR(FileFromDesc(list, file));
        found.PushBack(file);
    } else {
        long count = 0;
        TW_RETURN_IF_ERROR(AECountItems(list, &count));
        for (long i = 1; i <= count; ++i) {
            AEDesc item;
            AEInitializeDesc(&item);
            AEKeyword keyword = 0;
            OSStatus status = AEGetNthDesc(list, i, typeWildCard, &keyword, &item);
            CFile file;
            if (status == noErr)
                status = FileFromDesc(&item, file);
            AEDisposeDesc(&item);
            TW_RETURN_IF_ERROR(status);
            found.PushBack(file);
        }
    }
    files.insert(files.end(), found.begin(), found.end());
    return noErr;
}

OSStatus CFileUtilities::GetAEDescFile(AEDesc const* desc, CFile& file)
{
    CFileList files;
    TW_RETURN_IF_ERROR(GetAEDescListFiles(desc, files));
    if (files.empty())
        return errAEDescNotFound;
    file = files.front();
    return noErr;
}

OSStatus CFileUtilities::GetAEDescFromFile(CFile const& file, AEDesc* desc)
{
    if (!desc || !file.IsSpecified())
        return paramErr;
    StCFRef<CFURLRef> url(file.CopyURL());
    if (!url.IsValid())
        return paramErr;
    std::string text = tw::cf::ToUTF8(CFURLGetString(url));
    return AECreateDesc(typeFileURL, text.data(), Size(text.size()), desc);
}

OSStatus CFileUtilities::GetNavReplyFile(NavReplyRecord const& reply, CFile& file)
{
    return GetAEDescFile(&reply.selection, file);
}

OSStatus CFileUtilities::GetNavReplyFiles(NavReplyRecord const& reply, CFileList& files)
{
    return GetAEDescListFiles(&reply.selection, files);
}
