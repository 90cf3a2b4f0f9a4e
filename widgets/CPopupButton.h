#pragma once

#include "widgets/CControl.h"

class CFile;

// A popup button over its menu (retained). Items are addressed by index or,
// with byCommand, by command id; the text value is the chosen item's text.
class CPopupButton : public CControl {
public:
    explicit CPopupButton(HIObjectRef object);
    ~CPopupButton() override;

    MenuRef GetMenu() const { return mMenu; }
    void SetItemText(bool byCommand, UInt32 item, CString const& text);
    // -43 when no image can be loaded from the file.
    OSStatus SetItemImage(bool byCommand, UInt32 item, CFile const& file, CGSize const& size);
    void InsertItem(CString const& text, UInt16 afterItem, UInt32 attributes, UInt32 commandID);
    void DeleteAllMenuItems();

    CString GetTextValue() const override;

    static CPopupButton* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CPopupButton>(window, signature, id);
    }
    static CPopupButton* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CPopupButton>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CPopupButton>(object, outObject); }

private:
    MenuRef mMenu = nullptr; // retains
};
