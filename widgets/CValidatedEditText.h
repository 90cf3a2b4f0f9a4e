#pragma once

#include "widgets/CEditText.h"

// A single-line edit text whose key filter and validation are installed at
// once, its notifications going to the given target.
class CValidatedEditText : public CEditText {
public:
    CValidatedEditText(WindowRef window, EventTargetRef target, CRect const& bounds, CString const& text, bool password,
        bool inlineInput, ControlFontStyleRec const* style);
};
