#include "widgets/CStaticText.h"

#include <vector>

CStaticText::CStaticText(HIObjectRef object)
    : CControl(object)
{
}

CStaticText::CStaticText(WindowRef window, CRect const& bounds, CString const& text, ControlFontStyleRec const* style)
{
    ControlRef control = nullptr;
    CreateStaticTextControl(window, &bounds, text.GetCFString(), style, &control);
    SetControlRef(control);
}

// The bytes are UTF-8 (the default text encoding here), so every script round-trips.
CString CStaticText::GetTextValue() const
{
    std::vector<UInt8> const bytes = GetControlData(kControlEntireControl, kControlStaticTextTextTag);
    if (bytes.empty())
        return CString();
    return CString(reinterpret_cast<char const*>(bytes.data()), bytes.size(), kCFStringEncodingUTF8);
}

void CStaticText::SetTextValue(CString const& text)
{
    CFStringRef value = text.GetCFString();
    SetControlData(kControlEntireControl, kControlStaticTextCFStringTag, sizeof value, &value);
    SetNeedsDisplay(true, nullptr);
}
