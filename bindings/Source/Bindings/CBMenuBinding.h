#pragma once

// One menu command as a binding: keys "mark", "enabled" and "title" of the first
// item in the menu bar that carries the command. It can only follow another
// binding, never be followed. It deletes itself when its menu goes away.

#include "bindings/Source/Bindings/CBKeyValueBinding.h"
#include "toolbox/MenuTypes.h"

class CBMenuBinding : public CBKeyValueBinding {
public:
    explicit CBMenuBinding(unsigned long commandID);
    ~CBMenuBinding() override;

    CBString GetDebugInfo() const override;
    void SetKeyValue(CBString const& theKeyName, CBValue const& theValue) override;
    bool IsBindable(CBString const& theKey) override;

    MenuRef GetMenu() const { return mMenu; }
    MenuItemIndex GetItem() const { return mItem; }
    void SetMenuCommand(unsigned long commandID); // 0, or a command in no menu, unbinds
    void SyncValue(CBString const& theKey);

    static OSStatus EventHandler(EventHandlerCallRef callRef, EventRef theEvent, void* userData);

private:
    void ApplyValue(CBString const& theKey, CBValue const& theValue);
    CBValue ReadValue(CBString const& theKey) const;
    OSStatus DoEventCommand(EventRef theEvent);
    OSStatus DoEventMenu(EventRef theEvent);

    MenuRef mMenu = nullptr; // weak: the binding goes when the menu does
    UInt16 mItem = 0;
    UInt32 mCommand = 0;
    EventHandlerRef mHandler = nullptr;
    bool mWriteThrough = true;
};
