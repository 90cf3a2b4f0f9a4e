#include "app/CTWWindow.h"

// The map application object arrives in its own change; until it is there the
// running application is always of another class, which leaves the member null.
#if __has_include("app/CTWApplication.h")
#include "app/CTWApplication.h"

CTWWindow::CTWWindow()
    : mTWApp(CTWApplication::GetTWApp())
{
}
#else
CTWWindow::CTWWindow() = default;
#endif
