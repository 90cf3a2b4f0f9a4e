#pragma once

// What the object lists and the editor sheets share: the preference keys whose
// changes rewrite their texts, the application's preference binding those are
// observed in, column headers titled from the bundle, and cell texts.

#include "foundation/CString.h"
#include "toolbox/databrowser/DataBrowserCalls.h"
#include "widgets/DBHeader.h"

#include <initializer_list>

class CBKeyValueObserver;
class CMapWaypoint;
class CBKeyValueStore;
class CBString;
class CEditText;

namespace MapObjectListSupport {

inline constexpr char const* kPrefMapUnits = "MapUnits";
inline constexpr char const* kPrefMapCoordinates = "MapCoordinates";

// Column flags: movable and sortable, and the same with the text cut at its end.
inline constexpr UInt32 kColumnSortable = kDataBrowserListViewMovableColumn | kDataBrowserListViewSortableColumn;
inline constexpr UInt32 kColumnSortableTruncated = kColumnSortable | kDataBrowserTruncateTextAtEnd;

// The running application's preference binding; null without an application or bindings.
CBKeyValueStore* GetPreferenceStore();
// Observes the keys of the preference binding (once each); false when there is no binding.
bool ObservePreferences(CBKeyValueObserver* observer, std::initializer_list<char const*> keys);
// Whether a changed key is one of the display preferences (units or coordinates).
bool IsDisplayPreference(CBString const& keyPath);

// A text column titled with the bundle string of the key.
DBHeader MakeColumn(UInt32 property, char const* titleKey, UInt32 minimumWidth, UInt32 maximumWidth, UInt32 flags);
OSStatus SetCellText(DataBrowserItemDataRef data, CString const& text);
// A waypoint's name, description, latitude or longitude cell ('name', 'desc', 'wlat', 'wlon').
OSStatus SetWaypointCell(DataBrowserItemDataRef data, CMapWaypoint const& waypoint, DataBrowserPropertyID property);

// Of a sheet's latitude and longitude fields, the first whose text is not a coordinate,
// or null when both read.
CEditText* FindBadCoordinateField(CEditText* latitude, CEditText* longitude);
// Refuses a field's text: a beep, and the field focused with its whole text selected.
void RefuseField(CEditText* field);

} // namespace MapObjectListSupport
