#pragma once

class CTWApplication;

// The mix-in of every window and sheet controller of the application shell: the
// map application object, taken once when the window is made. Main thread only.
class CTWWindow {
public:
    CTWWindow();
    CTWWindow(CTWWindow const&) = delete;
    CTWWindow& operator=(CTWWindow const&) = delete;
    virtual ~CTWWindow() = default;

    // Null when the running application is of another class (or there is none).
    CTWApplication* GetTWApp() const { return mTWApp; }

protected:
    CTWApplication* mTWApp = nullptr; // weak: the application outlives its windows
};
