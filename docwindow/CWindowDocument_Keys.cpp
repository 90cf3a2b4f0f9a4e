#include "docwindow/CWindowDocument.h"

#include "docwindow/CViewMap.h"
#include "toolbox/HIViewCalls.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CHISearchField.h"
#include "widgets/CHISegmentedView.h"

#include <algorithm>

// The document window's keyboard focus: Tab and Shift+Tab go round the map, the list
// selector, the list and the toolbar's search field; the map has the focus at first.

namespace {

constexpr UInt32 kKeyTab = 48;

} // namespace

std::vector<HIViewRef> CWindowDocument::GetFocusCycle() const
{
    std::vector<HIViewRef> cycle;
    for (CHIView* view : std::initializer_list<CHIView*> { mMapView, mListSelector, mList, GetSearchField() })
        if (view)
            cycle.push_back(view->GetHIViewRef());
    return cycle;
}

void CWindowDocument::FocusMap()
{
    if (mMapView && GetWindow())
        mMapView->SetKeyboardFocus(kControlFocusNextPart);
}

// Views that refuse (the search field of a hidden toolbar) are passed over; the map always takes it.
// A sheet's keys come this way too when the sheet leaves them: Tab there is the sheet's.
OSStatus CWindowDocument::DoEventRawKeyDown(CCarbonEvent& event)
{
    if (event.GetKeyCode() != kKeyTab || (event.GetKeyModifiers() & (cmdKey | optionKey | controlKey)) || !GetWindow()
        || HIWindowIsDocumentModalTarget(GetWindow()->GetWindowRef(), nullptr))
        return eventNotHandledErr;
    bool const backwards = (event.GetKeyModifiers() & shiftKey) != 0;
    WindowRef window = GetWindow()->GetWindowRef();
    std::vector<HIViewRef> const cycle = GetFocusCycle();
    ControlRef focus = nullptr;
    GetKeyboardFocus(window, &focus);
    auto const at = std::find(cycle.begin(), cycle.end(), focus);
    std::size_t const count = cycle.size();
    std::size_t const current = at == cycle.end() ? 0 : std::size_t(at - cycle.begin());
    for (std::size_t step = 1; step <= count; ++step) {
        std::size_t const next = backwards ? (current + count * 2 - step) % count : (current + step) % count;
        if (cycle[next] == focus)
            break;
        if (SetKeyboardFocus(window, cycle[next], backwards ? kControlFocusPrevPart : kControlFocusNextPart) == noErr)
            return noErr;
    }
    return noErr;
}
