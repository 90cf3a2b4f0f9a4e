#include "app/CTWWindow.h"

#include "app/CTWApplication.h"

CTWWindow::CTWWindow()
    : mApplication(CTWApplication::GetTWApp())
{
}
