#pragma once

// Uniform type identifiers for the file dialogs' type filter: a small table of
// the types this system meets, and dynamic identifiers for the rest.

#include "corefoundation/CFString.h"

inline CFStringRef const kUTTagClassFilenameExtension = CFSTR("public.filename-extension");
inline CFStringRef const kUTTagClassOSType = CFSTR("com.apple.ostype");

// The caller releases the identifier; null for a null tag.
CFStringRef UTTypeCreatePreferredIdentifierForTag(CFStringRef tagClass, CFStringRef tag, CFStringRef conformingTo);
// Whether the type is the other or one of its descendants.
Boolean UTTypeConformsTo(CFStringRef type, CFStringRef conformsTo);
