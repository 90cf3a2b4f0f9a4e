#include "app/CTWWindow.h"

#include "app/CTWApplication.h"

CTWWindow::CTWWindow()
    : mTWApp(CTWApplication::GetTWApp())
{
}
