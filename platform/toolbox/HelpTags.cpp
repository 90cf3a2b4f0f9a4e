#include "toolbox/HelpTags.h"

#include "toolbox/ScreenSink.h"
#include "toolbox/Theme.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowList.h"

namespace tw::toolbox {

namespace {

    WeakRef<View> sHovered; // weak
    EventLoopTimerRef sTimer = nullptr;
    CFStringRef sText = nullptr; // retains
    CGRect sFrame {};
    CGPoint sMouse {};

    // The deepest visible view under a window point that carries help text.
    View* ViewWithHelp(View* view, CGPoint p)
    {
        if (!view->IsVisibleFlag())
            return nullptr;
        for (auto it = view->GetChildren().rbegin(); it != view->GetChildren().rend(); ++it) {
            View* child = *it;
            if (CGRectContainsPoint(child->VisibleRectInWindow(), p))
                if (View* found = ViewWithHelp(child, p))
                    return found;
        }
        HMHelpContent const& main = view->GetHelp().content[kHMMinimumContentIndex];
        return main.contentType == kHMCFStringContent && main.u.tagCFString ? view : nullptr;
    }

    void Show(EventLoopTimerRef, void*)
    {
        sTimer = nullptr;
        View* view = sHovered.Get();
        if (!view)
            return;
        HelpTags::Hide();
        sText = static_cast<CFStringRef>(CFRetain(view->GetHelp().content[kHMMinimumContentIndex].u.tagCFString));
        sFrame = { { sMouse.x, sMouse.y + 18 }, Theme::HelpTagSize(sText) };
        CGSize const screen = Screen::GetSize();
        sFrame.origin.x = std::max(0.0, std::min(sFrame.origin.x, screen.width - sFrame.size.width));
        if (CGRectGetMaxY(sFrame) > screen.height)
            sFrame.origin.y = sMouse.y - 4 - sFrame.size.height;
        Screen::Changed(sFrame);
    }

} // namespace

void HelpTags::MouseMoved(CGPoint global)
{
    sMouse = global;
    View* found = nullptr;
    if (Window* window = WindowList::FindAt(global)) {
        CGRect const s = window->GetStructure();
        found = ViewWithHelp(window->GetRoot(), { global.x - s.origin.x, global.y - s.origin.y });
    }
    if (found == sHovered.Get())
        return;
    Hide();
    sHovered.Reset(found);
    if (found)
        InstallEventLoopTimer(GetMainEventLoop(), kDelay, 0, &Show, nullptr, &sTimer);
}

void HelpTags::Hide()
{
    if (sTimer) {
        RemoveEventLoopTimer(sTimer);
        sTimer = nullptr;
    }
    if (sText) {
        CFRelease(sText);
        sText = nullptr;
        Screen::Changed(sFrame);
    }
}

CFStringRef HelpTags::ShowingText() { return sText; }
CGRect HelpTags::ShowingFrame() { return sFrame; }

void HelpTags::Reset()
{
    Hide();
    sTimer = nullptr;
    sHovered.Reset();
}

} // namespace tw::toolbox
