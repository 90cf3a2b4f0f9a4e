#include "toolbox/HelpTags.h"

#include "toolbox/HIViewCalls.h"
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

    // The tag's frame kept on the screen: moved in from the sides, and flipped above when it
    // would leave the bottom.
    void Place(CFStringRef text, CGPoint origin, double flipAboveY)
    {
        HelpTags::Hide();
        sText = static_cast<CFStringRef>(CFRetain(text));
        sFrame = { origin, Theme::HelpTagSize(sText) };
        CGSize const screen = Screen::GetSize();
        sFrame.origin.x = std::max(0.0, std::min(sFrame.origin.x, screen.width - sFrame.size.width));
        if (CGRectGetMaxY(sFrame) > screen.height)
            sFrame.origin.y = flipAboveY - sFrame.size.height;
        sFrame.origin.y = std::max(0.0, sFrame.origin.y);
        Screen::Changed(sFrame);
    }

    void Show(EventLoopTimerRef, void*)
    {
        sTimer = nullptr;
        View* view = sHovered.Get();
        if (!view)
            return;
        Place(view->GetHelp().content[kHMMinimumContentIndex].u.tagCFString, { sMouse.x, sMouse.y + 18 },
            sMouse.y - 4);
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

void HelpTags::Display(CFStringRef text, CGRect hot, HMTagDisplaySide side)
{
    if (!text)
        return;
    if (sTimer) {
        RemoveEventLoopTimer(sTimer);
        sTimer = nullptr;
    }
    CGSize const size = Theme::HelpTagSize(text);
    // Above the hot rectangle, left edges aligned; every other side shows it below.
    if (side == kHMOutsideTopLeftAligned)
        Place(text, { hot.origin.x, hot.origin.y - size.height }, hot.origin.y - size.height);
    else
        Place(text, { hot.origin.x, CGRectGetMaxY(hot) + 2 }, hot.origin.y - 2);
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

OSStatus HMDisplayTag(HMHelpContentRec const* content)
{
    if (!content)
        return paramErr;
    HMHelpContent const& main = content->content[kHMMinimumContentIndex];
    if (main.contentType != kHMCFStringContent || !main.u.tagCFString)
        return paramErr;
    Rect const& hot = content->absHotRect;
    CGRect const rect = CGRectMake(hot.left, hot.top, hot.right - hot.left, hot.bottom - hot.top);
    tw::toolbox::HelpTags::Display(main.u.tagCFString, rect, content->tagSide);
    return noErr;
}

OSStatus HMHideTag()
{
    tw::toolbox::HelpTags::Hide();
    return noErr;
}
