#include "model/CDocumentInfo.h"

OSStatus CDocumentInfo::EncodeProperties(CFDictionary& properties) const
{
    properties.SetValueString(kKeyAuthor, mAuthor);
    properties.SetValueString(kKeyDescription, mDescription);
    return noErr;
}

OSStatus CDocumentInfo::DecodeProperties(CFDictionary const& properties)
{
    mAuthor = properties.GetValueString(kKeyAuthor);
    mDescription = properties.GetValueString(kKeyDescription);
    return noErr;
}
