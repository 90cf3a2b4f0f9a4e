#pragma once

// One window as a binding: keys "visible", "collapsed", "bounds" (the content
// rectangle) and "title". Writing a key changes the window; a change of the
// window, by the user or the program, is read back into its key. The binding
// deletes itself when its window closes.

#include "bindings/Source/Bindings/CBObjectBinding.h"
#include "toolbox/WindowTypes.h"

class CBWindowBinding : public CBObjectBinding {
public:
    explicit CBWindowBinding(WindowRef theWindow);
    ~CBWindowBinding() override;

    CBString GetDebugInfo() const override;

    WindowRef GetWindow() const { return mWindow; }
    void SetWindow(WindowRef theWindow); // null unbinds

    static OSStatus EventHandler(EventHandlerCallRef callRef, EventRef theEvent, void* userData);

private:
    bool IsBound() const override { return mWindow != nullptr; }
    bool CheckBound() const override;
    void ApplyValue(CBString const& theKey, CBValue const& theValue) override;
    CBValue ReadValue(CBString const& theKey) const override;
    OSStatus DoEventWindow(EventRef theEvent);

    WindowRef mWindow = nullptr; // weak: the binding goes when the window closes
    bool mApplying = false; // the window's own events echo a change being written
};
