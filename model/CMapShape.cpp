#include "model/CMapShape.h"

#include "foundation/Status.h"
#include "model/CMapCodingUtilities.h"

namespace {

bool IsSameRect(CCoordinateRect const& a, CCoordinateRect const& b)
{
    return a.IsEmpty() == b.IsEmpty() && a.GetTopLeft() == b.GetTopLeft() && a.GetBottomRight() == b.GetBottomRight();
}

} // namespace

void CMapShape::SetBounds(CCoordinateRect const& bounds)
{
    if (IsSameRect(bounds, mBounds))
        return;
    mBounds = bounds;
    BroadcastModified();
}

OSStatus CMapShape::EncodeProperties(CFDictionary& properties) const
{
    TW_RETURN_IF_ERROR(CMapObject::EncodeProperties(properties));
    if (!mBounds.IsEmpty())
        properties.SetValueString(kKeyBounds, CMapCodingUtilities::EncodeBounds(mBounds));
    return noErr;
}

OSStatus CMapShape::DecodeProperties(CFDictionary const& properties)
{
    TW_RETURN_IF_ERROR(CMapObject::DecodeProperties(properties));
    CCoordinateRect bounds;
    if (!CMapCodingUtilities::DecodeBounds(properties.GetValueString(kKeyBounds), bounds))
        return paramErr;
    mBounds = bounds;
    return noErr;
}
