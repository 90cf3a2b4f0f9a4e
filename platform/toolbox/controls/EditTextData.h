#pragma once

// The text tags every editable field answers alike: its text as a CFString
// (handed out as a copy the caller releases) or as UTF-8 bytes.

#include "corefoundation/MacTypes.h"

namespace tw::toolbox::controls {

class EditTextModel;

// eventNotHandledErr for any other tag, so the caller goes on with its own.
OSStatus SetEditText(EditTextModel& model, OSType tag, Size size, void const* data);
OSStatus GetEditText(EditTextModel const& model, OSType tag, Size bufferSize, void* data, Size* actualSize);

} // namespace tw::toolbox::controls
