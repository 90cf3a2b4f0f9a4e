#include "toolbox/databrowser/DataBrowserCalls.h"

#include "corefoundation/CFString.h"
#include "services/MacMemory.h"
#include "toolbox/HIObjectCalls.h"
#include "toolbox/Window.h"
#include "toolbox/controls/ControlsInternal.h"
#include "toolbox/databrowser/DataBrowserView.h"

#include <cstring>

using tw::toolbox::databrowser::DataBrowserView;
using tw::toolbox::databrowser::FindDataBrowser;

namespace {

// Runs a call on the browser's behaviour; paramErr when the control is no data browser.
template <typename F> OSStatus With(ControlRef browser, F&& call)
{
    DataBrowserView* view = FindDataBrowser(browser);
    if (!view)
        return paramErr;
    return call(*view);
}

} // namespace

OSStatus CreateDataBrowserControl(
    WindowRef window, Rect const* bounds, DataBrowserViewStyle style, ControlRef* outControl)
{
    return tw::toolbox::controls::MakeControl(
        "com.apple.HIDataBrowser", window, bounds, outControl, [style](tw::toolbox::View* view) {
            if (DataBrowserView* browser = FindDataBrowser(view))
                browser->SetStyle(style);
        });
}

OSStatus InitDataBrowserCallbacks(DataBrowserCallbacks* callbacks)
{
    if (!callbacks)
        return paramErr;
    *callbacks = DataBrowserCallbacks {};
    return noErr;
}

OSStatus SetDataBrowserCallbacks(ControlRef browser, DataBrowserCallbacks const* callbacks)
{
    if (!callbacks || callbacks->version != kDataBrowserLatestCallbacks)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        v.Model().SetCallbacks(*callbacks);
        v.GetView()->Invalidate();
        return noErr;
    });
}

OSStatus GetDataBrowserCallbacks(ControlRef browser, DataBrowserCallbacks* outCallbacks)
{
    if (!outCallbacks)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        *outCallbacks = v.Model().GetCallbacks();
        return noErr;
    });
}

OSStatus GetDataBrowserViewStyle(ControlRef browser, DataBrowserViewStyle* outStyle)
{
    if (!outStyle)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        *outStyle = v.GetStyle();
        return noErr;
    });
}

OSStatus SetDataBrowserViewStyle(ControlRef browser, DataBrowserViewStyle style)
{
    if (style != kDataBrowserListView && style != kDataBrowserColumnView)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        v.SetStyle(style);
        return noErr;
    });
}

OSStatus GetDataBrowserTableViewHiliteStyle(ControlRef browser, DataBrowserTableViewHiliteStyle* outStyle)
{
    if (!outStyle)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        *outStyle = v.GetHiliteStyle();
        return noErr;
    });
}

OSStatus SetDataBrowserTableViewHiliteStyle(ControlRef browser, DataBrowserTableViewHiliteStyle style)
{
    if (style > kDataBrowserTableViewFillHilite)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        v.SetHiliteStyle(style);
        return noErr;
    });
}

OSStatus GetDataBrowserSelectionFlags(ControlRef browser, DataBrowserSelectionFlags* outFlags)
{
    if (!outFlags)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        *outFlags = v.GetSelectionFlags();
        return noErr;
    });
}

OSStatus SetDataBrowserSelectionFlags(ControlRef browser, DataBrowserSelectionFlags flags)
{
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        v.SetSelectionFlags(flags);
        return noErr;
    });
}

OSStatus GetDataBrowserHasScrollBars(ControlRef browser, Boolean* outHorizontal, Boolean* outVertical)
{
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        bool h = false, vertical = false;
        v.GetScrollBars(&h, &vertical);
        if (outHorizontal)
            *outHorizontal = h;
        if (outVertical)
            *outVertical = vertical;
        return noErr;
    });
}

OSStatus SetDataBrowserHasScrollBars(ControlRef browser, Boolean horizontal, Boolean vertical)
{
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        v.SetScrollBars(horizontal, vertical);
        return noErr;
    });
}

OSStatus DataBrowserGetAttributes(ControlRef browser, OptionBits* outAttributes)
{
    if (!outAttributes)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        *outAttributes = v.GetAttributes();
        return noErr;
    });
}

OSStatus DataBrowserChangeAttributes(ControlRef browser, OptionBits set, OptionBits clear)
{
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        v.ChangeAttributes(set, clear);
        return noErr;
    });
}

OSStatus GetDataBrowserTableViewRowHeight(ControlRef browser, UInt16* outHeight)
{
    if (!outHeight)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        *outHeight = v.GetRowHeight();
        return noErr;
    });
}

OSStatus SetDataBrowserTableViewRowHeight(ControlRef browser, UInt16 height)
{
    if (height == 0)
        return paramErr;
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        v.SetRowHeight(height);
        return noErr;
    });
}

OSStatus GetDataBrowserScrollPosition(ControlRef browser, UInt32* outTop, UInt32* outLeft)
{
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        if (outTop)
            *outTop = static_cast<UInt32>(v.GetTop());
        if (outLeft)
            *outLeft = static_cast<UInt32>(v.GetLeft());
        return noErr;
    });
}

OSStatus SetDataBrowserScrollPosition(ControlRef browser, UInt32 top, UInt32 left)
{
    return With(browser, [&](DataBrowserView& v) -> OSStatus {
        v.ScrollTo(top);
        v.ScrollLeftTo(left);
        return noErr;
    });
}
