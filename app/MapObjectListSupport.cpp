#include "app/MapObjectListSupport.h"

#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "foundation/CPreferences.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "model/CMapWaypoint.h"
#include "toolbox/Sound.h"
#include "widgets/CDataBrowserSource.h"
#include "widgets/CEditText.h"

namespace MapObjectListSupport {

CBKeyValueStore* GetPreferenceStore()
{
    CApplication* app = CApplication::GetApp();
    return app ? app->GetPreferences().GetBinding() : nullptr;
}

bool ObservePreferences(CBKeyValueObserver* observer, std::initializer_list<char const*> keys)
{
    CBKeyValueStore* store = GetPreferenceStore();
    if (!store)
        return false;
    for (char const* key : keys)
        if (!store->IsObserving(key, observer))
            store->ObserveKeyPathValue(key, observer);
    return true;
}

bool IsDisplayPreference(CBString const& keyPath)
{
    return keyPath == CBString(kPrefMapUnits) || keyPath == CBString(kPrefMapCoordinates);
}

DBHeader MakeColumn(UInt32 property, char const* titleKey, UInt32 minimumWidth, UInt32 maximumWidth, UInt32 flags)
{
    return CDataBrowserSource::MakeListHeader(
        property, kDataBrowserTextType, CTextUtilities::GetBundleString(titleKey), minimumWidth, maximumWidth, flags);
}

OSStatus SetCellText(DataBrowserItemDataRef data, CString const& text)
{
    return SetDataBrowserItemDataText(data, text.GetCFString());
}

OSStatus SetWaypointCell(DataBrowserItemDataRef data, CMapWaypoint const& waypoint, DataBrowserPropertyID property)
{
    switch (property) {
    case 'name':
        return SetCellText(data, waypoint.GetName());
    case 'desc':
        return SetCellText(data, waypoint.GetDescription());
    case 'wlat':
        return SetCellText(data, waypoint.GetPosition().GetLatitudeString());
    case 'wlon':
        return SetCellText(data, waypoint.GetPosition().GetLongitudeString());
    default:
        return errDataBrowserPropertyNotSupported;
    }
}

CEditText* FindBadCoordinateField(CEditText* latitude, CEditText* longitude)
{
    CCoordinate check;
    if (!check.SetLatitudeString(latitude->GetTextValue()))
        return latitude;
    if (!check.SetLongitudeString(longitude->GetTextValue()))
        return longitude;
    return nullptr;
}

void RefuseField(CEditText* field)
{
    SysBeep(30);
    field->SetKeyboardFocus(kControlFocusNextPart);
    ControlEditTextSelectionRec all { 0, 0x7FFF };
    field->SetCurrentSelection(&all);
}

} // namespace MapObjectListSupport
