#include "foundation/CString.h"
#include "framework/CMacWindow.h"

namespace {

constexpr PropertyCreator kPropertyCreator = 'CWin';

} // namespace

OSStatus CMacWindow::Reposition(WindowRef parent, WindowPositionMethod method)
{
    return RepositionWindow(mWindow, parent, method);
}

OSStatus CMacWindow::RunModalEventLoop() { return RunAppModalLoopForWindow(mWindow); }

OSStatus CMacWindow::QuitModalEventLoop() { return QuitAppModalLoopForWindow(mWindow); }

bool CMacWindow::IsVisible() const { return mWindow && IsWindowVisible(mWindow); }

void CMacWindow::SetVisible(bool visible)
{
    if (!mWindow || visible == IsVisible())
        return;
    if (visible)
        ShowWindow(mWindow);
    else
        HideWindow(mWindow);
}

void CMacWindow::Select(bool show)
{
    if (!mWindow)
        return;
    SelectWindow(mWindow);
    if (show)
        ShowWindow(mWindow);
}

void CMacWindow::ToggleVisibility(bool select)
{
    if (IsVisible())
        SetVisible(false);
    else if (select)
        Select(true);
    else
        SetVisible(true);
}

void CMacWindow::SetMinimised(bool minimised)
{
    if (mWindow)
        CollapseWindow(mWindow, minimised);
}

bool CMacWindow::HasSheet() const { return mWindow && HIWindowIsDocumentModalTarget(mWindow, nullptr); }

OSStatus CMacWindow::BeginSheet(CMacWindow* sheet)
{
    if (!sheet)
        return paramErr;
    OSStatus const status = ShowSheetWindow(sheet->GetWindowRef(), mWindow);
    if (status == noErr)
        mSheet = sheet;
    return status;
}

OSStatus CMacWindow::EndSheet()
{
    if (!mSheet)
        return noErr;
    OSStatus const status = HideSheetWindow(mSheet->GetWindowRef());
    mSheet = nullptr;
    return status;
}

void CMacWindow::SetToolbar(CHIToolbar* toolbar)
{
    mToolbar = toolbar;
    if (toolbar && mWidgetSupport && mWidgetSupport->attachToolbar)
        mWidgetSupport->attachToolbar(mWindow, toolbar);
}

CString CMacWindow::GetTitle() const
{
    CFStringRef title = nullptr;
    if (!mWindow || CopyWindowTitleAsCFString(mWindow, &title) != noErr || !title)
        return CString();
    return CString(title, true);
}

void CMacWindow::SetTitle(CString const& title)
{
    if (mWindow)
        SetWindowTitleWithCFString(mWindow, title.GetCFString());
}

UInt32 CMacWindow::GetPropertyInteger(unsigned long tag) const
{
    UInt32 value = 0;
    if (!mWindow
        || GetWindowProperty(mWindow, kPropertyCreator, PropertyTag(tag), sizeof value, nullptr, &value) != noErr)
        return 0;
    return value;
}

OSStatus CMacWindow::SetPropertyInteger(unsigned long tag, unsigned long value)
{
    UInt32 const stored = UInt32(value);
    return SetWindowProperty(mWindow, kPropertyCreator, PropertyTag(tag), sizeof stored, &stored);
}

OSStatus CMacWindow::SetAttributes(WindowAttributes set, WindowAttributes clear)
{
    return ChangeWindowAttributes(mWindow, set, clear);
}
