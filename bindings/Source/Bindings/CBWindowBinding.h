#pragma once

// One window as a binding: keys "visible", "collapsed", "bounds" (the content
// rectangle) and "title". Writing a key changes the window; a change of the
// window, by the user or the program, is read back into its key. The binding
// deletes itself when its window closes.

#include "bindings/Source/Bindings/CBKeyValueBinding.h"
#include "toolbox/WindowTypes.h"

class CBWindowBinding : public CBKeyValueBinding {
public:
    explicit CBWindowBinding(WindowRef theWindow);
    ~CBWindowBinding() override;

    CBString GetDebugInfo() const override;
    void SetKeyValue(CBString const& theKeyName, CBValue const& theValue) override;

    WindowRef GetWindow() const { return mWindow; }
    void SetWindow(WindowRef theWindow); // null unbinds
    void SyncValue(CBString const& theKey);

    static OSStatus EventHandler(EventHandlerCallRef callRef, EventRef theEvent, void* userData);

private:
    void ApplyValue(CBString const& theKey, CBValue const& theValue);
    CBValue ReadValue(CBString const& theKey) const;
    OSStatus DoEventWindow(EventRef theEvent);

    WindowRef mWindow = nullptr; // weak: the binding goes when the window closes
    EventHandlerRef mHandler = nullptr;
    bool mWriteThrough = true;
    bool mApplying = false; // the window's own events echo a change being written
};
