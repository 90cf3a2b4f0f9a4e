#include "foundation/CFPropertyList.h"

#include "foundation/CFileUtilities.h"
#include "foundation/StCFRef.h"
#include "foundation/Status.h"

CFPropertyList::~CFPropertyList()
{
    if (mPropertyList)
        CFRelease(mPropertyList);
}

OSStatus CFPropertyList::Load(CFile const& file)
{
    CMemBuffer bytes;
    TW_RETURN_IF_ERROR(CFileUtilities::ReadData(file, bytes, kMaxFileSize));
    StCFRef<CFDataRef> data(
        CFDataCreate(nullptr, static_cast<UInt8 const*>(bytes.GetBufferData()), CFIndex(bytes.GetBufferSize())));
    CFStringRef error = nullptr;
    CFPropertyListRef propertyList
        = CFPropertyListCreateFromXMLData(nullptr, data, kCFPropertyListMutableContainers, &error);
    if (error)
        CFRelease(error);
    if (!propertyList)
        return kNothingParseableErr;
    SetPropertyList(propertyList);
    CFRelease(propertyList);
    return noErr;
}

OSStatus CFPropertyList::Save(CFile const& file) const
{
    if (!mPropertyList)
        return paramErr;
    StCFRef<CFDataRef> data(CFPropertyListCreateXMLData(nullptr, mPropertyList));
    if (!data.IsValid())
        return paramErr;
    return CFileUtilities::WriteData(file, CFDataGetBytePtr(data), std::size_t(CFDataGetLength(data)));
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
