#pragma once

#include "widgets/CControl.h"

// A static text; its text value is the text it shows.
class CStaticText : public CControl {
public:
    explicit CStaticText(HIObjectRef object);
    CStaticText(WindowRef window, CRect const& bounds, CString const& text, ControlFontStyleRec const* style);

    CString GetTextValue() const override;
    void SetTextValue(CString const& text) override;

    static CStaticText* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CStaticText>(window, signature, id);
    }
    static CStaticText* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CStaticText>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CStaticText>(object, outObject); }
};
