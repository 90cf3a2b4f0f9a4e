#include "services/AppleEvents.h"

#include "services/Descriptor.h"

using tw::services::Descriptor;

namespace {

std::vector<Descriptor::Item>* Keys(AEDesc const* desc, bool attributes)
{
    if (attributes ? !tw::services::IsAppleEvent(desc) : !tw::services::HasKeys(desc))
        return nullptr;
    if (!desc->dataHandle)
        return nullptr;
    return attributes ? &desc->dataHandle->mAttributes : &desc->dataHandle->mItems;
}

OSErr PutKeyDesc(AppleEvent* event, AEKeyword keyword, AEDesc const* desc, bool attribute)
{
    auto* items = Keys(event, attribute);
    if (!items || !desc)
        return items ? paramErr : errAEWrongDataType;
    AEDesc copy;
    tw::services::CopyDesc(*desc, copy);
    tw::services::PutKey(*items, keyword, copy);
    return noErr;
}

OSErr PutKeyPtr(
    AppleEvent* event, AEKeyword keyword, DescType typeCode, void const* dataPtr, Size dataSize, bool attribute)
{
    AEDesc desc;
    if (OSErr const err = AECreateDesc(typeCode, dataPtr, dataSize, &desc))
        return err;
    OSErr const err = PutKeyDesc(event, keyword, &desc, attribute);
    AEDisposeDesc(&desc);
    return err;
}

OSErr GetKeyPtr(AppleEvent const* event, AEKeyword keyword, DescType desiredType, DescType* typeCode, void* dataPtr,
    Size maximumSize, Size* actualSize, bool attribute)
{
    auto const* items = Keys(event, attribute);
    if (!items)
        return errAEWrongDataType;
    AEDesc const* desc = tw::services::FindKey(*items, keyword);
    if (!desc)
        return errAEDescNotFound;
    return tw::services::ReadBytes(*desc, desiredType, typeCode, dataPtr, maximumSize, actualSize);
}

OSErr GetKeyDesc(AppleEvent const* event, AEKeyword keyword, DescType desiredType, AEDesc* result, bool attribute)
{
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    auto const* items = Keys(event, attribute);
    if (!items)
        return errAEWrongDataType;
    AEDesc const* desc = tw::services::FindKey(*items, keyword);
    if (!desc)
        return errAEDescNotFound;
    if (!tw::services::TypeFits(desc->descriptorType, desiredType))
        return errAECoercionFail;
    tw::services::CopyDesc(*desc, *result);
    if (desiredType != typeWildCard)
        result->descriptorType = desiredType;
    return noErr;
}

} // namespace

OSErr AECreateAppleEvent(AEEventClass eventClass, AEEventID eventID, AEAddressDesc const* target, AEReturnID returnID,
    AETransactionID transactionID, AppleEvent* result)
{
    if (!result)
        return paramErr;
    static AEReturnID sNextReturnID = 1;
    if (returnID == kAutoGenerateReturnID)
        returnID = sNextReturnID = AEReturnID(sNextReturnID == 0x7FFF ? 1 : sNextReturnID + 1);
    *result = { typeAppleEvent, new Descriptor };
    AEPutAttributePtr(result, keyEventClassAttr, typeType, &eventClass, sizeof eventClass);
    AEPutAttributePtr(result, keyEventIDAttr, typeType, &eventID, sizeof eventID);
    AEPutAttributePtr(result, keyReturnIDAttr, typeSInt16, &returnID, sizeof returnID);
    AEPutAttributePtr(result, keyTransactionIDAttr, typeSInt32, &transactionID, sizeof transactionID);
    if (target && target->descriptorType != typeNull)
        AEPutAttributeDesc(result, keyAddressAttr, target);
    return noErr;
}

OSErr AEPutParamPtr(AppleEvent* event, AEKeyword keyword, DescType typeCode, void const* dataPtr, Size dataSize)
{
    return PutKeyPtr(event, keyword, typeCode, dataPtr, dataSize, false);
}

OSErr AEPutParamDesc(AppleEvent* event, AEKeyword keyword, AEDesc const* desc)
{
    return PutKeyDesc(event, keyword, desc, false);
}

OSErr AEGetParamPtr(AppleEvent const* event, AEKeyword keyword, DescType desiredType, DescType* typeCode, void* dataPtr,
    Size maximumSize, Size* actualSize)
{
    return GetKeyPtr(event, keyword, desiredType, typeCode, dataPtr, maximumSize, actualSize, false);
}

OSErr AEGetParamDesc(AppleEvent const* event, AEKeyword keyword, DescType desiredType, AEDesc* result)
{
    return GetKeyDesc(event, keyword, desiredType, result, false);
}

OSErr AEDeleteParam(AppleEvent* event, AEKeyword keyword)
{
    auto* items = Keys(event, false);
    if (!items)
        return errAEWrongDataType;
    for (auto it = items->begin(); it != items->end(); ++it) {
        if (it->first == keyword) {
            AEDisposeDesc(&it->second);
            items->erase(it);
            return noErr;
        }
    }
    return errAEDescNotFound;
}

OSErr AEPutAttributePtr(AppleEvent* event, AEKeyword keyword, DescType typeCode, void const* dataPtr, Size dataSize)
{
    return PutKeyPtr(event, keyword, typeCode, dataPtr, dataSize, true);
}

OSErr AEPutAttributeDesc(AppleEvent* event, AEKeyword keyword, AEDesc const* desc)
{
    return PutKeyDesc(event, keyword, desc, true);
}

// keyMissedKeywordAttr is never present: handlers here declare no required
// parameters, so none can have been missed.
OSErr AEGetAttributePtr(AppleEvent const* event, AEKeyword keyword, DescType desiredType, DescType* typeCode,
    void* dataPtr, Size maximumSize, Size* actualSize)
{
    return GetKeyPtr(event, keyword, desiredType, typeCode, dataPtr, maximumSize, actualSize, true);
}

OSErr AEGetAttributeDesc(AppleEvent const* event, AEKeyword keyword, DescType desiredType, AEDesc* result)
{
    return GetKeyDesc(event, keyword, desiredType, result, true);
}
