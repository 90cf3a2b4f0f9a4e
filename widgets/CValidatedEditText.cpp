#include "widgets/CValidatedEditText.h"

CValidatedEditText::CValidatedEditText(WindowRef window, EventTargetRef target, CRect const& bounds,
    CString const& text, bool password, bool inlineInput, ControlFontStyleRec const* style)
    : CEditText(window, bounds, text, password, inlineInput, style, true)
{
    SetTarget(target);
}
