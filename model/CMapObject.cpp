#include "model/CMapObject.h"

#include "foundation/CTextUtilities.h"
#include "mapdata/CMapManager.h"
#include "model/CMapCodingUtilities.h"

#include <atomic>
#include <cmath>

namespace {

std::atomic<CMapObject::DefaultStyleHook> gStyleHook { nullptr };
std::atomic<CMapManager const*> gMapManager { nullptr };
thread_local CMapObject::DefaultStyles const* tThreadStyles = nullptr; // borrowed

constexpr float kMaxLineWidth = 100; // [px]

bool IsLineStyle(OSType code) { return code == kMapLineSolid || code == kMapLineDotted || code == kMapLineDashed; }

} // namespace

CMapObject::CMapObject(MapObjectType type)
    : mType(type)
    , mStyle(GetDefaultStyle(type))
{
}

CMapObject::~CMapObject() = default;

void CMapObject::SetID(UInt32 id)
{
    if (id == mID)
        return;
    mID = id;
    BroadcastModified();
}

void CMapObject::SetName(CString const& name)
{
    CString const storable = CTextUtilities::GetStorableText(name);
    if (storable == mName)
        return;
    mName = storable;
    BroadcastModified();
}

void CMapObject::SetDescription(CString const& description)
{
    CString const storable = CTextUtilities::GetStorableText(description);
    if (storable == mDescription)
        return;
    mDescription = storable;
    BroadcastModified();
}

void CMapObject::SetURL(CString const& url)
{
    CString const storable = CTextUtilities::GetStorableText(url);
    if (storable == mURL)
        return;
    mURL = storable;
    BroadcastModified();
}

void CMapObject::SetStyle(MapObjectStyle const& style)
{
    if (style == mStyle)
        return;
    mStyle = style;
    BroadcastModified();
}

void CMapObject::SetAttributes(UInt32 set, UInt32 clear)
{
    UInt32 attributes = (mAttributes | set) & ~clear;
    if (attributes == mAttributes)
        return;
    mAttributes = attributes;
    BroadcastModified();
}

OSStatus CMapObject::EncodeProperties(CFDictionary& properties) const
{
    properties.SetValueOSType(kKeyType, mType);
    properties.SetValueUInt32(kKeyID, mID);
    properties.SetValueString(kKeyName, mName);
    properties.SetValueString(kKeyDescription, mDescription);
    if (mURL.IsNotEmpty())
        properties.SetValueString(kKeyURL, mURL);
    properties.SetValueFloat32(kKeyLineWidth, mStyle.lineWidth);
    properties.SetValueOSType(kKeyLineStyle, mStyle.lineStyle);
    properties.SetValueColour(kKeyColourFill, mStyle.fill);
    properties.SetValueColour(kKeyColourFrame, mStyle.frame);
    return noErr;
}

OSStatus CMapObject::DecodeProperties(CFDictionary const& properties)
{
    if (GetEncodedType(properties) != mType)
        return paramErr;
    mID = properties.GetValueUInt32(kKeyID);
    mName = properties.GetValueString(kKeyName);
    mDescription = properties.GetValueString(kKeyDescription);
    mURL = properties.GetValueString(kKeyURL);
    // A style value that is missing or cannot be used keeps the type's default.
    if (properties.HasKey(kKeyLineWidth)) {
        float width = properties.GetValueFloat32(kKeyLineWidth);
        if (std::isfinite(width) && width > 0 && width <= kMaxLineWidth)
            mStyle.lineWidth = width;
    }
    if (OSType lineStyle = CMapCodingUtilities::GetCode(properties, kKeyLineStyle, IsLineStyle); IsLineStyle(lineStyle))
        mStyle.lineStyle = lineStyle;
    mStyle.fill = properties.GetValueColour(kKeyColourFill, mStyle.fill);
    mStyle.frame = properties.GetValueColour(kKeyColourFrame, mStyle.frame);
    return noErr;
}

MapObjectType CMapObject::GetEncodedType(CFDictionary const& properties)
{
    return CMapCodingUtilities::GetCode(properties, kKeyType, IsKnownType);
}

bool CMapObject::IsKnownType(MapObjectType type)
{
    switch (type) {
    case kMapObjectWaypoint:
    case kMapObjectRoute:
    case kMapObjectTrack:
    case kMapObjectNote:
    case kMapObjectLine:
    case kMapObjectRectangle:
    case kMapObjectCircle:
    case kMapObjectCrop:
        return true;
    default:
        return false;
    }
}

MapObjectStyle CMapObject::GetDefaultStyle(MapObjectType type)
{
    if (tThreadStyles) {
        for (auto const& [known, style] : *tThreadStyles)
            if (known == type)
                return style;
        return MapObjectStyle();
    }
    DefaultStyleHook hook = gStyleHook.load();
    return hook ? hook(type) : MapObjectStyle();
}

void CMapObject::SetDefaultStyleHook(DefaultStyleHook hook) { gStyleHook.store(hook); }

CMapObject::DefaultStyles CMapObject::TakeDefaultStyles()
{
    static constexpr MapObjectType kTypes[] = { kMapObjectWaypoint, kMapObjectRoute, kMapObjectTrack, kMapObjectNote,
        kMapObjectLine, kMapObjectRectangle, kMapObjectCircle, kMapObjectCrop };
    DefaultStyles styles {};
    for (std::size_t i = 0; i < styles.size(); ++i)
        styles[i] = { kTypes[i], GetDefaultStyle(kTypes[i]) };
    return styles;
}

void CMapObject::UseDefaultStyles(DefaultStyles const* styles) { tThreadStyles = styles; }

CMapManager const& CMapObject::GetMapManager()
{
    if (CMapManager const* manager = gMapManager.load())
        return *manager;
    // Never destroyed: a map manager's destructor resets the coordinate text hooks, which
    // belong to the application's own manager.
    static CMapManager const* sFallback = new CMapManager;
    return *sFallback;
}

void CMapObject::SetMapManager(CMapManager const* manager) { gMapManager.store(manager); }
