#include "foundation/CFPropertyList.h"

#include "foundation/CFileUtilities.h"
#include "foundation/CThreadParts.h"
#include "foundation/StCFRef.h"
#include "foundation/Status.h"

#include <cstdio>
#include <new>

CFPropertyList::~CFPropertyList()
{
    if (mPropertyList)
        CFRelease(mPropertyList);
}

OSStatus CFPropertyList::Load(CFile const& file) { return Load(file, nullptr, {}, {}); }

OSStatus CFPropertyList::Load(CFile const& file, char const* streamedKey, ArrayBegin begin, ArrayTake take)
{
    std::string text;
    TW_RETURN_IF_ERROR(CFileUtilities::ReadData(file, text));
    CFPropertyListRef propertyList = nullptr;
    tw::cf::StreamedArray streamed;
    if (streamedKey && take)
        streamed = { streamedKey, std::move(begin), std::move(take), CThreadParts::Run, CThreadParts::MostParts() };
    try {
        propertyList = tw::cf::CreatePropertyListFromXMLText(
            std::move(text), kCFPropertyListMutableContainers, nullptr, std::move(streamed));
    } catch (std::bad_alloc const&) {
        return memFullErr;
    }
    if (!propertyList)
        return kNothingParseableErr;
    SetPropertyList(propertyList);
    CFRelease(propertyList);
    return noErr;
}

OSStatus CFPropertyList::Save(CFile const& file) const { return Save(file, nullptr, {}); }

OSStatus CFPropertyList::Save(CFile const& file, CFArrayRef streamed, ElementSource const& next) const
{
    if (!mPropertyList)
        return paramErr;
    return CFileUtilities::WriteData(file, [&](CFileUtilities::DataSink const& write) {
        OSStatus written = noErr;
        OSStatus produced = noErr;
        std::string problem;
        bool const made = tw::cf::WritePropertyListXML(
            mPropertyList,
            [&](std::string_view piece) {
                written = write(piece.data(), piece.size());
                return written == noErr;
            },
            &problem, streamed,
            next ? std::function<CFTypeRef()>([&]() { return produced == noErr ? next(produced) : nullptr; })
                 : std::function<CFTypeRef()>());
        if (written != noErr)
            return written;
        if (!made)
            std::fprintf(stderr, "CFPropertyList: not written: %s\n", problem.c_str());
        return !made ? paramErr : produced;
    });
}

CFDictionaryRef CFPropertyList::GetDictionary() const
{
    if (!mPropertyList || CFGetTypeID(mPropertyList) != CFDictionaryGetTypeID())
        return nullptr;
    return static_cast<CFDictionaryRef>(mPropertyList);
}

void CFPropertyList::SetPropertyList(CFPropertyListRef propertyList)
{
    if (propertyList)
        CFRetain(propertyList);
    if (mPropertyList)
        CFRelease(mPropertyList);
    mPropertyList = propertyList;
}

void CFPropertyList::SetPropertyList(CFDictionary const& dictionary)
{
    // A copy: the wrapper's dictionary stays its own to change.
    StCFRef<CFPropertyListRef> copy(
        CFPropertyListCreateDeepCopy(nullptr, dictionary.GetCFDictionary(), kCFPropertyListMutableContainers));
    SetPropertyList(copy.Get());
}
