#pragma once

#include "toolbox/WindowTypes.h"

#include <vector>

namespace tw::toolbox {

class Window;

// The application's windows front to back, ordered by layer (help tags and
// overlays over modal windows over floating windows over documents), each
// sheet just in front of its parent. Also tracks which window is active.
// Windows enter when made and leave when disposed; main thread only.
class WindowList {
public:
    static std::vector<Window*> const& FrontToBack();
    static void Add(Window* window);
    static void Remove(Window* window);
    // To the front of its layer (its sheet with it).
    static void BringToFront(Window* window);
    static void SendToBack(Window* window);
    // The frontmost visible window whose structure holds the global point.
    static Window* FindAt(CGPoint global);
    // The frontmost visible window that is not floating, help tag or overlay.
    static Window* FrontNonFloating();
    static Window* FrontOfClass(WindowClass windowClass, bool visibleOnly);
    // Activates the front non-floating window (and its sheet) and deactivates the rest.
    static void UpdateActivation();
    // Back to front: documents 1, floating 3, modal 4, alerts 5, overlays 6, help tags 7.
    static int Layer(Window const* window);
    // A window that takes all input: the front app-modal one, if any.
    static Window* ModalWindow();
    // The user focus: the focused view of the active window (its sheet first), else that
    // window, else null. Installs itself as the event core's focus provider.
    static EventTargetRef UserFocusTarget();
    static void InstallFocusProvider();
    // After the screen shrank: every window comes back inside the desktop, a resizable
    // one shrinking to fit, so that its title bar and grow box can be reached.
    static void KeepInsideDesktop();
};

} // namespace tw::toolbox
