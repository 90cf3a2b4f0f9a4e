#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/toolbar/Toolbar.h"
#include "toolbox/toolbar/ToolbarCalls.h"
#include "toolbox/toolbar/ToolbarStrip.h"

// A window's toolbar: the strip sits in the structure root between the title
// bar and the content view, which moves down while the strip shows.

using tw::toolbox::View;
using tw::toolbox::Window;
using tw::toolbox::toolbar::Toolbar;
using tw::toolbox::toolbar::ToolbarStrip;

namespace {

Toolbar* ToolbarOf(Window* window) { return window ? Toolbar::From(window->GetToolbar()) : nullptr; }

} // namespace

OSStatus SetWindowToolbar(WindowRef window, HIToolbarRef ref)
{
    Window* live = tw::toolbox::LiveWindow(window);
    Toolbar* toolbar = ref ? Toolbar::From(ref) : nullptr;
    if (!live || (ref && !toolbar))
        return paramErr;
    if (toolbar && toolbar->GetWindow() && toolbar->GetWindow() != live)
        return paramErr; // one window per toolbar
    if (Toolbar* old = ToolbarOf(live)) {
        ShowHideWindowToolbar(live, false, false);
        if (View* strip = old->GetStrip())
            strip->Dispose();
        old->Attach(nullptr, nullptr);
    }
    live->SetToolbar(toolbar);
    if (!toolbar)
        return noErr;
    toolbar->Populate();
    View* strip = ToolbarStrip::Make(toolbar);
    strip->SetVisible(false);
    double const width = live->GetStructure().size.width;
    strip->SetFrame({ { 0, live->GetTitleBarHeight() }, { width, toolbar->GetHeight() } });
    HILayoutInfo layout {};
    layout.binding.right.kind = kHILayoutBindMax;
    strip->SetLayout(layout);
    live->GetRoot()->AddChild(strip);
    strip->Release();
    toolbar->Attach(live, strip);
    return noErr;
}

OSStatus GetWindowToolbar(WindowRef window, HIToolbarRef* outToolbar)
{
    Window* live = tw::toolbox::LiveWindow(window);
    if (!live || !outToolbar)
        return paramErr;
    *outToolbar = live->GetToolbar();
    return noErr;
}

OSStatus ShowHideWindowToolbar(WindowRef window, Boolean show, Boolean)
{
    Window* live = tw::toolbox::LiveWindow(window);
    Toolbar* toolbar = ToolbarOf(live);
    if (!toolbar)
        return paramErr;
    View* strip = toolbar->GetStrip();
    if (!strip || strip->IsVisibleFlag() == bool(show))
        return noErr;
    double const height = show ? toolbar->GetHeight() : live->GetToolbarHeight();
    View* content = live->GetContentView();
    CGRect const contentFrame = content->GetFrame();
    // The window grows or shrinks by the strip; the content keeps its size.
    CGRect structure = live->GetStructure();
    structure.size.height += show ? height : -height;
    live->SetToolbarHeight(show ? height : 0);
    strip->SetFrame(
        { { 0, live->GetTitleBarHeight() }, { structure.size.width, show ? height : strip->GetFrame().size.height } });
    strip->SetVisible(show);
    live->SetStructure(structure);
    content->SetFrame({ { 0, live->GetContentTop() }, contentFrame.size });
    live->InvalidateRect({ { 0, 0 }, structure.size });
    return noErr;
}

Boolean IsWindowToolbarVisible(WindowRef window)
{
    Toolbar* toolbar = ToolbarOf(tw::toolbox::LiveWindow(window));
    View* strip = toolbar ? toolbar->GetStrip() : nullptr;
    return strip && strip->IsVisibleFlag();
}
