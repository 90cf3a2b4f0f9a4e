#include "app/CSheetWaypoint.h"

#include "app/MapObjectListSupport.h"
#include "foundation/CTextUtilities.h"
#include "framework/CCarbonEvent.h"
#include "mapdata/CMapManager.h"
#include "model/CMapWaypoint.h"
#include "toolbox/MenuCalls.h"
#include "widgets/CEditText.h"
#include "widgets/CPopupButton.h"

#include <iterator>

using namespace MapObjectListSupport;

namespace {

constexpr UInt32 kItemWaypoint = 2; // the symbol menu's "wayp" row
constexpr UInt32 kItemShowName = 2; // the option popup's "snam"

} // namespace

OSStatus CSheetWaypoint::InitialiseSelf()
{
    mName = CEditText::Find(this, 'name', 0);
    mDescription = CEditText::Find(this, 'desc', 0);
    mLatitude = CEditText::Find(this, 'plat', 0);
    mLongitude = CEditText::Find(this, 'plon', 0);
    mSymbol = CPopupButton::Find(this, 'symb', 0);
    mOptions = CPopupButton::Find(this, 'optn', 0);
    if (!mName || !mDescription || !mLatitude || !mLongitude || !mSymbol || !mSymbol->GetMenu() || !mOptions)
        return errUnknownControl;
    BuildSymbolMenu();
    ObservePreferences(this, { kPrefMapCoordinates });
    mName->SetKeyboardFocus(kControlFocusNextPart);
    return noErr;
}

void CSheetWaypoint::BuildSymbolMenu()
{
    mSymbol->DeleteAllMenuItems();
    MenuRef menu = mSymbol->GetMenu();
    CMapManager const& manager = CMapObject::GetMapManager();
    for (std::size_t i = 0; i < kSymbolCount; ++i) {
        SymbolRow const& row = kSymbolTable[i];
        bool const header = row.code == kSymbolHeader;
        mSymbol->InsertItem(CTextUtilities::GetBundleString(row.key), static_cast<UInt16>(i),
            header ? MenuItemAttributes(kMenuItemAttrSectionHeader) : MenuItemAttributes(0), 0);
        if (header)
            continue;
        auto const item = static_cast<MenuItemIndex>(i + 1);
        if (CGImageRef image = manager.GetSymbolImage(row.code, kSymbolSizeSmall)) {
            SetMenuItemIconHandle(menu, item, kMenuCGImageRefType, reinterpret_cast<CFTypeRef>(image));
            SetMenuItemIndent(menu, item, 1);
        }
    }
}

UInt32 CSheetWaypoint::GetSymbolMenuItem(GPSWaypointSymbol symbol)
{
    for (std::size_t i = 0; i < kSymbolCount; ++i)
        if (kSymbolTable[i].code == symbol && symbol != kSymbolHeader)
            return static_cast<UInt32>(i + 1);
    return kItemWaypoint;
}

void CSheetWaypoint::SetObject(CMapObject* object)
{
    mWaypoint = dynamic_cast<CMapWaypoint*>(object);
    if (!mWaypoint)
        return;
    mSymbol->SetCurrentValue(GetSymbolMenuItem(mWaypoint->GetSymbol()));
    auto const* option = std::find(std::begin(kOptionsTable), std::end(kOptionsTable), mWaypoint->GetOptions());
    // An option of no item shows as the name's; unless the user picks another, it is kept.
    mOptionsItem = option == std::end(kOptionsTable) ? kItemShowName : 0;
    mOptions->SetCurrentValue(option == std::end(kOptionsTable) ? kItemShowName : option - kOptionsTable + 1);
    mName->SetTextValue(mWaypoint->GetName());
    mDescription->SetTextValue(mWaypoint->GetDescription());
    CCoordinate const position = mWaypoint->GetPosition();
    mLatitude->SetTextValue(position.GetLatitudeString());
    mLongitude->SetTextValue(position.GetLongitudeString());
}

void CSheetWaypoint::UpdateObject()
{
    if (!mWaypoint)
        return;
    CCoordinate position = mWaypoint->GetPosition();
    position.SetLatitudeString(mLatitude->GetTextValue());
    position.SetLongitudeString(mLongitude->GetTextValue());
    mWaypoint->SetName(mName->GetTextValue());
    mWaypoint->SetDescription(mDescription->GetTextValue());
    mWaypoint->SetPosition(position);
    long const symbol = mSymbol->GetCurrentValue();
    if (symbol >= 1 && symbol <= long(kSymbolCount) && kSymbolTable[symbol - 1].code != kSymbolHeader)
        mWaypoint->SetSymbol(kSymbolTable[symbol - 1].code);
    long const option = mOptions->GetCurrentValue();
    if (option >= 1 && option <= long(std::size(kOptionsTable)) && UInt32(option) != mOptionsItem)
        mWaypoint->SetOptions(kOptionsTable[option - 1]);
}

OSStatus CSheetWaypoint::DoEventCommandProcess(CCarbonEvent& event)
{
    // A position that does not read is never stored: OK waits for a good one.
    if (event.GetHICommand().commandID == kHICommandOK && mWaypoint) {
        if (CEditText* bad = FindBadCoordinateField(mLatitude, mLongitude)) {
            RefuseField(bad);
            return noErr;
        }
    }
    return CWindowController::DoEventCommandProcess(event);
}

void CSheetWaypoint::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (keyPath != CBString(kPrefMapCoordinates) || !mWaypoint)
        return;
    // The fields read in any format; a part that does not read shows the waypoint's own.
    CCoordinate position = mWaypoint->GetPosition();
    position.SetLatitudeString(mLatitude->GetTextValue());
    position.SetLongitudeString(mLongitude->GetTextValue());
    mLatitude->SetTextValue(position.GetLatitudeString());
    mLongitude->SetTextValue(position.GetLongitudeString());
}
