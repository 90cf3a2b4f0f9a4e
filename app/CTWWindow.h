#pragma once

// Mixed into every window and sheet controller of the application shell: it
// keeps the application object, taken once when the controller is made.

class CTWApplication;

class CTWWindow {
public:
    CTWWindow();
    virtual ~CTWWindow() = default;

    // Null when the running application is not ours (tests of a window on its own).
    CTWApplication* GetApplication() const { return mApplication; }

private:
    CTWApplication* mApplication; // weak: the application outlives every window
};
