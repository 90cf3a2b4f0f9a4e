#pragma once

#include "widgets/CHIObject.h"
#include "widgets/CHIToolbarItemData.h"

class CHIToolbar;
class CMacWindow;

// The wrapper of one toolbar item: made from a description (which creates the
// toolbox item) or over an existing item. It makes the item's own view on
// request, and goes when its item goes.
class CHIToolbarItem : public CHIObject, public CHIToolbarItemData {
public:
    CHIToolbarItem(CHIToolbar* toolbar, CHIToolbarItemData const& data);
    CHIToolbarItem(CHIToolbar* toolbar, HIObjectRef object);

    HIToolbarItemRef GetHIToolbarItemRef(bool retain) const override;
    CHIToolbar* GetHIToolbar() const { return mToolbar; }
    void SetAttributes(CMacWindow* window, UInt32 set, UInt32 clear);
    void SetEnabled(bool enabled);

    OSStatus DoEventToolbarItemCreateCustomView(CCarbonEvent& event) override;
    OSStatus DoEventHIObjectDestruct(CCarbonEvent& event) override;

private:
    void Bind(HIObjectRef object);

    CHIToolbar* mToolbar; // weak: the toolbar outlives its items
};
