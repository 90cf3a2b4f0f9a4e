#include "framework/CKeyboardUtilities.h"

#include "toolbox/MouseTracking.h"

bool CKeyboardUtilities::IsOptionDown() { return (GetCurrentEventKeyModifiers() & (optionKey | rightOptionKey)) != 0; }
