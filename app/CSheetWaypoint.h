#pragma once

// The sheet that edits a waypoint: name, description, position (in the user's
// coordinate format, rewritten when that format changes), symbol (a menu of the
// program's symbols, in sections, with their pictures) and what the map shows
// beside the symbol. OK is refused while a coordinate field holds text that is
// not a latitude or longitude: the field is chosen again and nothing is stored.

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "docwindow/IDocumentSheet.h"
#include "framework/CWindowController.h"
#include "model/MapObjectTypes.h"

class CEditText;
class CMapObject;
class CMapWaypoint;
class CPopupButton;

class CSheetWaypoint : public CWindowController, public CBKeyValueObserver, public IDocumentSheet, public CTWWindow {
public:
    static constexpr char const* kNibWindow = "Waypoint Editor";

    // One row of the symbol menu; code "NULL" is a section header without a picture.
    struct SymbolRow {
        GPSWaypointSymbol code;
        char const* image; // the picture's file name
        char const* key; // the bundle string of the menu text
    };
    static constexpr GPSWaypointSymbol kSymbolHeader = 'NULL';
    static constexpr std::size_t kSymbolCount = 73;
    static SymbolRow const kSymbolTable[kSymbolCount + 1]; // ends with an all-zero row
    static GPSWaypointOptions const kOptionsTable[3]; // by item of the display-option popup

    CSheetWaypoint() = default;
    ~CSheetWaypoint() override = default;

    OSStatus InitialiseSelf() override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

    // An object of another kind edits nothing.
    void SetObject(CMapObject* object);
    void UpdateObject();
    void AcceptSheet() override { UpdateObject(); }
    void BuildSymbolMenu();
    // The item (from 1) of the symbol's row; a symbol missing from the table (or a header's
    // code) gives the item of "wayp".
    static UInt32 GetSymbolMenuItem(GPSWaypointSymbol symbol);

private:
    CMapWaypoint* mWaypoint = nullptr; // weak: the document owns it and outlives the sheet
    UInt32 mOptionsItem = 0; // the option item shown for a waypoint whose option is none of the table's
    CEditText* mName = nullptr; // weak: the window's controls
    CEditText* mDescription = nullptr;
    CEditText* mLatitude = nullptr;
    CEditText* mLongitude = nullptr;
    CPopupButton* mSymbol = nullptr;
    CPopupButton* mOptions = nullptr;
};
