#include "corefoundation/CFPropertyList.h"

#include "corefoundation/PropertyListReader.h"
#include "corefoundation/PropertyListValues.h"
#include "corefoundation/PropertyListWriter.h"

#include <cstdio>

namespace {

using namespace tw::cf;

constexpr int kMaximumDepth = PropertyListWriter::kMaximumDepth;

CFTypeRef DeepCopy(CFTypeRef value, CFOptionFlags mutability, int depth);

CFTypeRef CopyArray(Array const& array, CFOptionFlags mutability, int depth)
{
    std::vector<void const*> values;
    ReleaseList const release(values);
    for (void const* item : array.values) {
        CFTypeRef const copy = DeepCopy(static_cast<CFTypeRef>(item), mutability, depth + 1);
        if (!copy)
            return nullptr;
        values.push_back(copy);
    }
    return AdoptIntoArray(values, mutability != kCFPropertyListImmutable);
}

CFTypeRef CopyDictionary(Dictionary const& dictionary, CFOptionFlags mutability, int depth)
{
    std::vector<void const*> keys, values;
    ReleaseList const releaseKeys(keys), releaseValues(values);
    for (auto const& [key, item] : dictionary.entries) {
        auto const* keyObject = static_cast<CFTypeRef>(key);
        if (!keyObject || keyObject->TypeID() != kTWTypeIDString)
            return nullptr;
        CFTypeRef const copy = DeepCopy(static_cast<CFTypeRef>(item), mutability, depth + 1);
        if (!copy)
            return nullptr;
        keys.push_back(new String(static_cast<String const*>(keyObject)->Text()));
        values.push_back(copy);
    }
    return AdoptIntoDictionary(keys, values, mutability != kCFPropertyListImmutable);
}

CFTypeRef DeepCopy(CFTypeRef value, CFOptionFlags mutability, int depth)
{
    if (!value || depth > kMaximumDepth)
        return nullptr;
    bool const mutableLeaves = mutability == kCFPropertyListMutableContainersAndLeaves;
    switch (value->TypeID()) {
    case kTWTypeIDDictionary:
        return CopyDictionary(static_cast<Dictionary const&>(*value), mutability, depth);
    case kTWTypeIDArray:
        return CopyArray(static_cast<Array const&>(*value), mutability, depth);
    case kTWTypeIDString: {
        auto const& text = static_cast<String const&>(*value);
        if (!mutableLeaves && !text.IsMutable())
            return CFRetain(value); // immutable, so sharing is a copy (and a large text is not doubled)
        return new String(text.Text(), mutableLeaves);
    }
    case kTWTypeIDData: {
        auto const& data = static_cast<Data const&>(*value);
        if (!mutableLeaves && !data.isMutable)
            return CFRetain(value);
        return new Data(data.bytes.data(), CFIndex(data.bytes.size()), mutableLeaves);
    }
    case kTWTypeIDNumber:
    case kTWTypeIDBoolean:
    case kTWTypeIDDate:
        return CFRetain(value); // immutable, so sharing is a copy
    default:
        return nullptr;
    }
}

bool IsValid(CFTypeRef value, CFPropertyListFormat format, int depth)
{
    if (!value || depth > kMaximumDepth)
        return false;
    switch (value->TypeID()) {
    case kTWTypeIDDictionary:
        for (auto const& [key, item] : static_cast<Dictionary const&>(*value).entries) {
            auto const* keyObject = static_cast<CFTypeRef>(key);
            if (!keyObject || keyObject->TypeID() != kTWTypeIDString
                || !IsValid(static_cast<CFTypeRef>(item), format, depth + 1))
                return false;
        }
        return true;
    case kTWTypeIDArray:
        for (void const* item : static_cast<Array const&>(*value).values) {
            if (!IsValid(static_cast<CFTypeRef>(item), format, depth + 1))
                return false;
        }
        return true;
    case kTWTypeIDString:
    case kTWTypeIDData:
        return true;
    case kTWTypeIDNumber:
    case kTWTypeIDBoolean:
    case kTWTypeIDDate:
        // The old text format has strings, data, arrays and dictionaries only.
        return format != kCFPropertyListOpenStepFormat;
    default:
        return false;
    }
}

} // namespace

CFPropertyListRef CFPropertyListCreateFromXMLData(
    CFAllocatorRef alloc, CFDataRef xmlData, CFOptionFlags mutabilityOption, CFStringRef* errorString)
{
    if (errorString)
        *errorString = nullptr;
    if (!xmlData) {
        if (errorString)
            *errorString = CreateString("No data");
        return nullptr;
    }
    PropertyListReader reader(mutabilityOption);
    CFPropertyListRef const plist = reader.Read(xmlData->bytes.data(), xmlData->bytes.size());
    if (!plist && errorString)
        *errorString = CreateString(reader.Error());
    return plist;
}

CFDataRef CFPropertyListCreateXMLData(CFAllocatorRef alloc, CFPropertyListRef plist)
{
    PropertyListWriter writer;
    CFDataRef const data = writer.Write(plist);
    if (!data)
        std::fprintf(stderr, "CFPropertyListCreateXMLData: not written: %s\n", writer.Error().c_str());
    return data;
}

CFPropertyListRef CFPropertyListCreateDeepCopy(
    CFAllocatorRef alloc, CFPropertyListRef plist, CFOptionFlags mutabilityOption)
{
    return DeepCopy(plist, mutabilityOption, 0);
}

Boolean CFPropertyListIsValid(CFPropertyListRef plist, CFPropertyListFormat format)
{
    return IsValid(plist, format, 0);
}

namespace tw::cf {

CFPropertyListRef CreatePropertyListFromXMLText(std::string text, CFOptionFlags mutabilityOption, std::string* error,
    StreamedArray streamed)
{
    PropertyListReader reader(mutabilityOption);
    if (streamed.take)
        reader.StreamArray(std::move(streamed));
    CFPropertyListRef const plist = reader.Read(std::move(text));
    if (!plist && error)
        *error = reader.Error();
    return plist;
}

bool WritePropertyListXML(CFPropertyListRef plist, std::function<bool(std::string_view piece)> const& write,
    std::string* error, CFArrayRef streamed, std::function<CFTypeRef()> next)
{
    PropertyListWriter writer;
    writer.SetStreamedArray(streamed, std::move(next));
    bool const written = writer.Write(plist, write);
    if (!written && error)
        *error = writer.Error();
    return written;
}

} // namespace tw::cf
