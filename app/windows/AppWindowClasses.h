#pragma once

#include "corefoundation/MacTypes.h"

// Registers the view classes of the windows around the documents (the compass), once,
// after the document window's and the widgets' classes: before the first such window
// is loaded from the nib.
OSStatus RegisterAppWindowClasses();
