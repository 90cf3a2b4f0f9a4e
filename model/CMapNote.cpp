#include "model/CMapNote.h"

#include "foundation/Status.h"
#include "model/CMapCodingUtilities.h"

CMapNote::CMapNote()
    : CMapObject(kMapObjectNote)
{
}

void CMapNote::SetPosition(CCoordinate const& position)
{
    if (position == mPosition)
        return;
    mPosition = position;
    BroadcastModified();
}

OSStatus CMapNote::EncodeProperties(CFDictionary& properties) const
{
    TW_RETURN_IF_ERROR(CMapObject::EncodeProperties(properties));
    properties.SetValueString(kKeyPosition, CMapCodingUtilities::EncodeCoordinate(mPosition));
    return noErr;
}

OSStatus CMapNote::DecodeProperties(CFDictionary const& properties)
{
    TW_RETURN_IF_ERROR(CMapObject::DecodeProperties(properties));
    if (!CMapCodingUtilities::DecodeCoordinate(properties.GetValueString(kKeyPosition), mPosition))
        return paramErr;
    return noErr;
}
