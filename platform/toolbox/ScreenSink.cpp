#include "toolbox/ScreenSink.h"

namespace tw::toolbox {

namespace {

    CGSize sSize { 1280, 800 };
    ScreenSink* sSink = nullptr; // borrowed: the display removes it before it goes

} // namespace

CGSize Screen::GetSize() { return sSize; }

void Screen::SetSize(CGSize size)
{
    if (!(size.width > 0) || !(size.height > kMenuBarHeight))
        return;
    sSize = size;
    Changed(GetBounds());
}

CGRect Screen::GetAvailableBounds()
{
    return { { 0, kMenuBarHeight }, { sSize.width, sSize.height - kMenuBarHeight } };
}

void Screen::SetSink(ScreenSink* sink) { sSink = sink; }

void Screen::Changed(CGRect global)
{
    if (sSink && !CGRectIsEmpty(global))
        sSink->ScreenChanged(global);
}

void Screen::Refresh()
{
    if (sSink)
        sSink->Refresh();
}

} // namespace tw::toolbox
