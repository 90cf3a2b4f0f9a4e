#pragma once

#include "corefoundation/MacTypes.h"

// Registers the document window's view classes with the HIObject registry, once, after
// the widget classes they stand on: called at start-up, before the first document
// window is loaded from the nib.
OSStatus RegisterDocWindowClasses();
