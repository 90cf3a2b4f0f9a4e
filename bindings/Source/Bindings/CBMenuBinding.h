#pragma once

// One menu command as a binding: keys "mark", "enabled" and "title" of the first
// item in the menu bar that carries the command. It can only follow another
// binding, never be followed. It deletes itself when its menu goes away.

#include "bindings/Source/Bindings/CBObjectBinding.h"
#include "toolbox/MenuTypes.h"

class CBMenuBinding : public CBObjectBinding {
public:
    explicit CBMenuBinding(unsigned long commandID);
    ~CBMenuBinding() override;

    CBString GetDebugInfo() const override;
    bool IsBindable(CBString const& theKey) override;

    MenuRef GetMenu() const { return mMenu; }
    MenuItemIndex GetItem() const { return mItem; }
    void SetMenuCommand(unsigned long commandID); // 0, or a command in no menu, unbinds

    static OSStatus EventHandler(EventHandlerCallRef callRef, EventRef theEvent, void* userData);

private:
    bool IsBound() const override { return mMenu != nullptr; }
    bool CheckBound() const override;
    void ApplyValue(CBString const& theKey, CBValue const& theValue) override;
    CBValue ReadValue(CBString const& theKey) const override;
    OSStatus DoEventCommand(EventRef theEvent);
    OSStatus DoEventMenu(EventRef theEvent);

    MenuRef mMenu = nullptr; // weak: the binding goes when the menu does
    UInt16 mItem = 0;
    UInt32 mCommand = 0;
};
