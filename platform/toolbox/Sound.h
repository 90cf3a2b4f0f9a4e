#pragma once

// The system alert sound. The program has no sound device of its own to play
// it on: a beep flashes the menu bar (as a Mac does with its alert sound turned
// off) and is counted, so that tests can hear it. Main thread only.

#include "corefoundation/MacTypes.h"

// duration: in ticks, as the Sound Manager took it; the flash is short whatever it says.
void SysBeep(short duration);

namespace tw::toolbox {

class Beeper {
public:
    static constexpr double kFlashSeconds = 0.15;

    static UInt32 Count(); // beeps since the start or the last reset
    static bool IsFlashing(); // the menu bar shows the flash now
    // Test only: no beeps heard, no flash showing.
    static void ResetForTesting();
};

} // namespace tw::toolbox
