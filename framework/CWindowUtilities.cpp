#include "framework/CWindowUtilities.h"

#include "render/CGraphicsUtilities.h"
#include "toolbox/WindowCalls.h"

#include <optional>

namespace {

constexpr int kFadeSteps = 20;
constexpr SInt16 kScreenInset = 3;
constexpr SInt16 kPaletteReach = 20; // a palette this close to an edge takes that side
constexpr SInt16 kPaletteSpacing = 5;

Rect ContentOf(WindowRef window)
{
    Rect content {};
    GetWindowBounds(window, kWindowContentRgn, &content);
    return content;
}

struct Palettes {
    std::optional<Rect> leftmost;
    std::optional<Rect> rightmost;
};

// The visible floating windows on the device, other than the window itself.
Palettes FindPalettes(WindowRef theWindow, GDHandle device)
{
    Palettes found;
    for (WindowRef palette : CWindowUtilities::GetWindowsOfClass(kFloatingWindowClass, true)) {
        GDHandle paletteDevice = nullptr;
        if (palette == theWindow
            || GetWindowGreatestAreaDevice(palette, kWindowStructureRgn, &paletteDevice, nullptr) != noErr
            || paletteDevice != device)
            continue;
        Rect const content = ContentOf(palette);
        if (!found.leftmost || content.left < found.leftmost->left)
            found.leftmost = content;
        if (!found.rightmost || content.right > found.rightmost->right
            || (content.right == found.rightmost->right && content.left < found.rightmost->left))
            found.rightmost = content;
    }
    return found;
}

} // namespace

// The event loop runs between steps: timers fire, the screen composes and a
// manual clock moves on. A window closed meanwhile ends the fade early.
void CWindowUtilities::FadeWindow(WindowRef theWindow, double seconds, float fromAlpha, float toAlpha)
{
    if (SetWindowAlpha(theWindow, fromAlpha) != noErr)
        return;
    RetainWindow(theWindow);
    EventTime const start = GetCurrentEventTime();
    bool live = true;
    for (int step = 1; live && seconds > 0 && step <= kFadeSteps; step++) {
        EventTime const left = start + step * seconds / kFadeSteps - GetCurrentEventTime();
        if (left > 0 && RunCurrentEventLoop(left) == eventLoopQuitErr) {
            QuitEventLoop(GetMainEventLoop()); // the quit was meant for the loop around the fade
            break;
        }
        live = SetWindowAlpha(theWindow, fromAlpha + step * (toAlpha - fromAlpha) / kFadeSteps) == noErr;
    }
    SetWindowAlpha(theWindow, toAlpha);
    ReleaseWindow(theWindow);
}

Rect CWindowUtilities::GetStructureContentGap(WindowRef theWindow)
{
    Rect structure {}, content {};
    GetWindowBounds(theWindow, kWindowStructureRgn, &structure);
    GetWindowBounds(theWindow, kWindowContentRgn, &content);
    Rect gap;
    gap.top = SInt16(content.top - structure.top);
    gap.left = SInt16(content.left - structure.left);
    gap.bottom = SInt16(structure.bottom - content.bottom);
    gap.right = SInt16(structure.right - content.right);
    return gap;
}

std::vector<WindowRef> CWindowUtilities::GetWindowsOfClass(WindowClass theClass, bool visibleOnly)
{
    std::vector<WindowRef> windows;
    for (WindowRef window = GetFrontWindowOfClass(theClass, visibleOnly); window;
         window = GetNextWindowOfClass(window, theClass, visibleOnly))
        windows.push_back(window);
    return windows;
}

CGRect CWindowUtilities::GetAvailableWindowBounds(WindowRef theWindow)
{
    GDHandle device = GetMainDevice();
    GetWindowGreatestAreaDevice(theWindow, kWindowStructureRgn, &device, nullptr);
    Rect area {};
    GetAvailableWindowPositioningBounds(device, &area);
    Palettes const palettes = FindPalettes(theWindow, device);
    area.top += kScreenInset;
    area.left += kScreenInset;
    area.bottom -= kScreenInset;
    area.right -= kScreenInset;
    if (palettes.leftmost && palettes.leftmost->left < area.left + kPaletteReach)
        area.left = SInt16(palettes.leftmost->right + kPaletteSpacing);
    if (palettes.rightmost && palettes.rightmost->right >= area.right - kPaletteReach)
        area.right = SInt16(palettes.rightmost->left - kPaletteSpacing);
    Rect const gap = GetStructureContentGap(theWindow);
    area.left += gap.left;
    area.top += gap.top;
    area.right -= gap.right;
    area.bottom -= gap.bottom;
    CGRect bounds;
    CGraphicsUtilities::ConvertRect(area, bounds);
    return bounds;
}
