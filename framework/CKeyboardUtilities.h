#pragma once

// The state of the keyboard's modifier keys.

class CKeyboardUtilities {
public:
    // Either option key (Alt on this desktop) is held.
    static bool IsOptionDown();
};
