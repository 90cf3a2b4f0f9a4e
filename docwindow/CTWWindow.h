#pragma once

class CTWApplication;

// The mix-in of every window and sheet controller of the map application: the running
// map application object, taken once when the window is made. The application object
// registers itself here, so this floor holds its windows without knowing its class.
// Header-only. Main thread only.
class CTWWindow {
public:
    CTWWindow()
        : mTWApp(sRunning)
    {
    }
    CTWWindow(CTWWindow const&) = delete;
    CTWWindow& operator=(CTWWindow const&) = delete;
    virtual ~CTWWindow() = default;

    // Null when the running application is of another class (or there is none).
    CTWApplication* GetTWApp() const { return mTWApp; }

    // Called by the map application object when it starts and when it ends.
    static void SetRunningApp(CTWApplication* app) { sRunning = app; }

protected:
    CTWApplication* mTWApp = nullptr; // weak: the application outlives its windows

private:
    static inline CTWApplication* sRunning = nullptr;
};
