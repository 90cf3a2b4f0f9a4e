#pragma once

#include "corefoundation/MacTypes.h"

#include <functional>
#include <vector>

namespace tw::toolbox {

// The app-modal loops in progress. While one runs, the menu bar offers only the
// standard editing commands and those its window names, and work that must not start inside it (a quit from
// the window system) waits until the outermost loop has ended. Main thread only.
class ModalLoop {
public:
    static bool IsRunning() { return sDepth > 0; }
    // offered: the menu commands the loop's window takes besides the editing ones.
    static void Enter(std::vector<UInt32> offered = {});
    // Ends one loop; when it was the outermost, runs the work held back.
    static void Leave();
    // Runs the action now, or when the outermost modal loop ends.
    static void WhenDone(std::function<void()> action);
    // The innermost loop offers the command (any command when no loop runs).
    static bool Offers(UInt32 command);

    // Test only: no loop, nothing held back.
    static void Reset();

private:
    static inline int sDepth = 0;
};

} // namespace tw::toolbox
