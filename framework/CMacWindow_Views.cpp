#include "bindings/Source/Bindings/CBMenuBinding.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "bindings/Source/Bindings/CBWindowBinding.h"
#include "foundation/CString.h"
#include "framework/CMacWindow.h"
#include "toolbox/HIViewCalls.h"

#include <algorithm>

CHIView* CMacWindow::FindView(OSType signature, SInt32 id) const
{
    if (!mRootControl || !mWidgetSupport)
        return nullptr;
    return mWidgetSupport->findView(mRootControl, HIViewID { signature, id });
}

CControl* CMacWindow::FindControl(OSType signature, SInt32 id) const
{
    CHIView* const view = FindView(signature, id);
    return view ? mWidgetSupport->asControl(view) : nullptr;
}

void CMacWindow::SetControlTitle(OSType signature, CString const& title)
{
    ControlID const id { signature, 0 };
    ControlRef control = nullptr;
    if (mWindow && GetControlByID(mWindow, &id, &control) == noErr && control)
        SetControlTitleWithCFString(control, title.GetCFString());
}

CString CMacWindow::GetControlTitle(OSType signature) const
{
    ControlID const id { signature, 0 };
    ControlRef control = nullptr;
    CFStringRef title = nullptr;
    if (!mWindow || GetControlByID(mWindow, &id, &control) != noErr || !control
        || CopyControlTitleAsCFString(control, &title) != noErr || !title)
        return CString();
    return CString(title, true);
}

CBWindowBinding* CMacWindow::GetBinding()
{
    // A closed window has taken its binding with it; it gets no new one.
    WindowClass theClass = 0;
    if (!mWindow || GetWindowClass(mWindow, &theClass) != noErr)
        return nullptr;
    if (!mBinding)
        mBinding = new CBWindowBinding(mWindow);
    return mBinding;
}

void CMacWindow::BindVisibilityToPrefs(CBPreferenceBinding* prefs, CString const& key)
{
    if (CBWindowBinding* const binding = GetBinding(); binding && prefs)
        binding->Bind("visible", prefs, key.GetUTF8(), nullptr, nullptr);
}

void CMacWindow::BindBoundsToPrefs(CBPreferenceBinding* prefs, CString const& key)
{
    CBWindowBinding* const binding = GetBinding();
    if (!binding || !prefs)
        return;
    binding->Bind("bounds", prefs, key.GetUTF8(), nullptr, nullptr);
    KeepOnScreen(); // a screen smaller than last time, or a stored value from elsewhere
}

void CMacWindow::BindVisibilityToMenu(unsigned long commandID)
{
    CBWindowBinding* const binding = GetBinding();
    if (!binding)
        return;
    auto* const menuBinding = new CBMenuBinding(commandID);
    if (!menuBinding->GetMenu()) {
        delete menuBinding; // no item carries the command: nothing would ever delete it
        return;
    }
    menuBinding->BindTo("mark", binding, "visible", nullptr);
}

void CMacWindow::KeepOnScreen()
{
    CRect const content = GetWindowBounds(kWindowContentRgn);
    CRect const fitted = FitOnScreen(content);
    if (fitted != content)
        SetWindowBounds(fitted, kWindowContentRgn, 0);
}

CRect CMacWindow::FitOnScreen(CRect const& content) const
{
    Rect area {};
    GDHandle device = GetMainDevice();
    GetWindowGreatestAreaDevice(mWindow, kWindowStructureRgn, &device, nullptr);
    if (GetAvailableWindowPositioningBounds(device, &area) != noErr)
        return content;
    CRect const gap = GetWindowBounds(kWindowStructureRgn) - GetWindowBounds(kWindowContentRgn); // negative top and left
    CRect const structure = content + gap;
    CRect fitted = structure;
    // Too large: shrink to the area; then move it inside.
    fitted.right = SInt16(fitted.left + std::min<int>(fitted.GetWidth(), area.right - area.left));
    fitted.bottom = SInt16(fitted.top + std::min<int>(fitted.GetHeight(), area.bottom - area.top));
    SInt16 const dh = SInt16(std::clamp<int>(fitted.left, area.left, area.right - fitted.GetWidth()) - fitted.left);
    SInt16 const dv = SInt16(std::clamp<int>(fitted.top, area.top, area.bottom - fitted.GetHeight()) - fitted.top);
    fitted.OffsetBy(dh, dv);
    return fitted == structure ? content : fitted - gap;
}
