#include "services/Descriptor.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tw::services {

namespace {

    // Far beyond any event we make; refuses sizes that can only be mistakes.
    constexpr Size kMaxDataSize = Size(1) << 30;

    Descriptor* NewData(AEDesc* desc)
    {
        if (!desc->dataHandle)
            desc->dataHandle = new Descriptor;
        return desc->dataHandle;
    }

    OSErr PutItem(AEDescList* list, long index, AEDesc const* desc)
    {
        if (!IsList(list) || !desc)
            return errAEWrongDataType;
        auto& items = NewData(list)->mItems;
        long const count = long(items.size());
        if (index < 0 || index > count + 1)
            return errAEIllegalIndex;
        AEDesc copy;
        if (OSErr const err = CopyDesc(*desc, copy))
            return err;
        if (index == 0 || index == count + 1) {
            items.emplace_back(0, copy);
        } else {
            AEDisposeDesc(&items[index - 1].second);
            items[index - 1].second = copy;
        }
        return noErr;
    }

    Descriptor::Item const* NthItem(AEDescList const* list, long index)
    {
        if (!list || !list->dataHandle || index < 1 || index > long(list->dataHandle->mItems.size()))
            return nullptr;
        return &list->dataHandle->mItems[index - 1];
    }

} // namespace

Descriptor::~Descriptor()
{
    for (Item& item : mItems)
        AEDisposeDesc(&item.second);
    for (Item& item : mAttributes)
        AEDisposeDesc(&item.second);
}

Descriptor* Descriptor::Clone() const
{
    auto* copy = new Descriptor;
    copy->mBytes = mBytes;
    for (auto const* source : { &mItems, &mAttributes }) {
        auto& target = source == &mItems ? copy->mItems : copy->mAttributes;
        for (Item const& item : *source) {
            AEDesc desc;
            CopyDesc(item.second, desc);
            target.emplace_back(item.first, desc);
        }
    }
    return copy;
}

OSErr CopyDesc(AEDesc const& from, AEDesc& to)
{
    to.descriptorType = from.descriptorType;
    to.dataHandle = from.dataHandle ? from.dataHandle->Clone() : nullptr;
    return noErr;
}

bool IsList(AEDesc const* desc)
{
    return desc && (desc->descriptorType == typeAEList || desc->descriptorType == typeAERecord);
}
bool HasKeys(AEDesc const* desc)
{
    return desc && (desc->descriptorType == typeAERecord || desc->descriptorType == typeAppleEvent);
}
bool IsAppleEvent(AEDesc const* desc) { return desc && desc->descriptorType == typeAppleEvent; }

bool TypeFits(DescType stored, DescType desired)
{
    if (desired == typeWildCard || desired == stored)
        return true;
    // Text is UTF-8 whichever of the two names it carries.
    auto const isText = [](DescType type) { return type == typeChar || type == typeUTF8Text; };
    return isText(stored) && isText(desired);
}

OSErr ReadBytes(
    AEDesc const& desc, DescType desiredType, DescType* typeCode, void* dataPtr, Size maximumSize, Size* actualSize)
{
    if (IsList(&desc) || IsAppleEvent(&desc))
        return errAEWrongDataType;
    if (!TypeFits(desc.descriptorType, desiredType))
        return errAECoercionFail;
    if (maximumSize < 0 || (maximumSize > 0 && !dataPtr))
        return paramErr;
    Size const size = desc.dataHandle ? Size(desc.dataHandle->mBytes.size()) : 0;
    if (typeCode)
        *typeCode = desiredType == typeWildCard ? desc.descriptorType : desiredType;
    if (actualSize)
        *actualSize = size;
    if (size > 0 && maximumSize > 0)
        std::memcpy(dataPtr, desc.dataHandle->mBytes.data(), std::size_t(std::min(size, maximumSize)));
    return noErr;
}

AEDesc const* FindKey(std::vector<Descriptor::Item> const& items, AEKeyword keyword)
{
    for (auto const& item : items)
        if (item.first == keyword)
            return &item.second;
    return nullptr;
}

void PutKey(std::vector<Descriptor::Item>& items, AEKeyword keyword, AEDesc desc)
{
    for (auto& item : items) {
        if (item.first == keyword) {
            AEDisposeDesc(&item.second);
            item.second = desc;
            return;
        }
    }
    items.emplace_back(keyword, desc);
}

} // namespace tw::services

using tw::services::Descriptor;

void AEInitializeDesc(AEDesc* desc)
{
    if (desc)
        *desc = { typeNull, nullptr };
}

OSErr AECreateDesc(DescType typeCode, void const* dataPtr, Size dataSize, AEDesc* result)
{
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    if (dataSize < 0 || dataSize > tw::services::kMaxDataSize || (dataSize > 0 && !dataPtr) || typeCode == typeWildCard)
        return paramErr;
    result->descriptorType = typeCode;
    if (typeCode == typeNull)
        return noErr;
    result->dataHandle = new Descriptor;
    auto const* bytes = static_cast<std::byte const*>(dataPtr);
    result->dataHandle->mBytes.assign(bytes, bytes + dataSize);
    return noErr;
}

OSErr AEDisposeDesc(AEDesc* desc)
{
    if (!desc)
        return paramErr;
    delete desc->dataHandle;
    AEInitializeDesc(desc);
    return noErr;
}

OSErr AEDuplicateDesc(AEDesc const* desc, AEDesc* result)
{
    if (!desc || !result)
        return paramErr;
    return tw::services::CopyDesc(*desc, *result);
}

Size AEGetDescDataSize(AEDesc const* desc)
{
    return desc && desc->dataHandle ? Size(desc->dataHandle->mBytes.size()) : 0;
}

OSErr AEGetDescData(AEDesc const* desc, void* dataPtr, Size maximumSize)
{
    if (!desc)
        return paramErr;
    return tw::services::ReadBytes(*desc, typeWildCard, nullptr, dataPtr, maximumSize, nullptr);
}

OSErr AECreateList(void const*, Size, Boolean isRecord, AEDescList* result)
{
    if (!result)
        return paramErr;
    *result = { isRecord ? typeAERecord : typeAEList, new Descriptor };
    return noErr;
}

OSErr AECountItems(AEDescList const* list, long* count)
{
    if (!count || !(tw::services::IsList(list) || tw::services::IsAppleEvent(list)))
        return errAEWrongDataType;
    *count = list->dataHandle ? long(list->dataHandle->mItems.size()) : 0;
    return noErr;
}

OSErr AEPutPtr(AEDescList* list, long index, DescType typeCode, void const* dataPtr, Size dataSize)
{
    AEDesc item;
    if (OSErr const err = AECreateDesc(typeCode, dataPtr, dataSize, &item))
        return err;
    OSErr const err = tw::services::PutItem(list, index, &item);
    AEDisposeDesc(&item);
    return err;
}

OSErr AEPutDesc(AEDescList* list, long index, AEDesc const* desc) { return tw::services::PutItem(list, index, desc); }

OSErr AEGetNthPtr(AEDescList const* list, long index, DescType desiredType, AEKeyword* keyword, DescType* typeCode,
    void* dataPtr, Size maximumSize, Size* actualSize)
{
    if (!tw::services::IsList(list) && !tw::services::IsAppleEvent(list))
        return errAEWrongDataType;
    auto const* item = tw::services::NthItem(list, index);
    if (!item)
        return errAEIllegalIndex;
    if (keyword)
        *keyword = item->first;
    return tw::services::ReadBytes(item->second, desiredType, typeCode, dataPtr, maximumSize, actualSize);
}

OSErr AEGetNthDesc(AEDescList const* list, long index, DescType desiredType, AEKeyword* keyword, AEDesc* result)
{
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    if (!tw::services::IsList(list) && !tw::services::IsAppleEvent(list))
        return errAEWrongDataType;
    auto const* item = tw::services::NthItem(list, index);
    if (!item)
        return errAEIllegalIndex;
    if (!tw::services::TypeFits(item->second.descriptorType, desiredType))
        return errAECoercionFail;
    if (keyword)
        *keyword = item->first;
    tw::services::CopyDesc(item->second, *result);
    if (desiredType != typeWildCard)
        result->descriptorType = desiredType;
    return noErr;
}
