#pragma once

#include "corefoundation/MacTypes.h"

// Registers the control wrappers with the HIObject registry (the system class
// ids each wraps, and the program's own control subclasses), once.
OSStatus RegisterControlClasses();

// Gives windows their root control and their views' wrappers (CMacWindow's widget support).
void InstallControlWindowSupport();
