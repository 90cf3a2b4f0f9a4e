#include "model/CMapLine.h"

#include "foundation/Status.h"
#include "model/CMapCodingUtilities.h"

CMapLine::CMapLine()
    : CMapObject(kMapObjectLine)
{
}

void CMapLine::SetStart(CCoordinate const& start)
{
    if (start == mStart)
        return;
    mStart = start;
    BroadcastModified();
}

void CMapLine::SetEnd(CCoordinate const& end)
{
    if (end == mEnd)
        return;
    mEnd = end;
    BroadcastModified();
}

OSStatus CMapLine::EncodeProperties(CFDictionary& properties) const
{
    TW_RETURN_IF_ERROR(CMapObject::EncodeProperties(properties));
    properties.SetValueString(kKeyStart, CMapCodingUtilities::EncodeCoordinate(mStart));
    properties.SetValueString(kKeyEnd, CMapCodingUtilities::EncodeCoordinate(mEnd));
    return noErr;
}

OSStatus CMapLine::DecodeProperties(CFDictionary const& properties)
{
    TW_RETURN_IF_ERROR(CMapObject::DecodeProperties(properties));
    if (!CMapCodingUtilities::DecodeCoordinate(properties.GetValueString(kKeyStart), mStart)
        || !CMapCodingUtilities::DecodeCoordinate(properties.GetValueString(kKeyEnd), mEnd))
        return paramErr;
    return noErr;
}
