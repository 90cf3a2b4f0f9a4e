#pragma once

#include "app/CTWApplication.h"

// The mix-in of every window and sheet controller of the application shell: the
// map application object, taken once when the window is made. Header-only, so
// that the document window below the application links without it. Main thread only.
class CTWWindow {
public:
    CTWWindow()
        : mTWApp(CTWApplication::GetTWApp())
    {
    }
    CTWWindow(CTWWindow const&) = delete;
    CTWWindow& operator=(CTWWindow const&) = delete;
    virtual ~CTWWindow() = default;

    // Null when the running application is of another class (or there is none).
    CTWApplication* GetTWApp() const { return mTWApp; }

protected:
    CTWApplication* mTWApp = nullptr; // weak: the application outlives its windows
};
