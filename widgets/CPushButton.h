#pragma once

#include "widgets/CControl.h"

class CFile;

// A push or bevel button: default and cancel roles, and an image of its own
// drawn over the button (half faded when disabled, darkened while pressed when
// asked). The text value is the title.
class CPushButton : public CControl {
public:
    explicit CPushButton(HIObjectRef object);
    CPushButton(WindowRef window, CRect const& bounds, CString const& title, ControlButtonContentInfo* icon,
        UInt16 alignment, bool bevel);
    ~CPushButton() override;

    void SetDefault(bool isDefault);
    void SetCancel(bool isCancel);
    // An unreadable file leaves the button as it was.
    void SetContent(CFile const& file);
    CGImageRef GetImage() const { return mImage; } // borrowed
    void SetImageInset(UInt32 inset) { mImageInset = inset; }
    void SetDarkenWhenPressed(bool darken) { mDarken = darken; }

    CString GetTextValue() const override { return GetTitle(); }
    void SetTextValue(CString const& text) override { SetTitle(text); }
    OSStatus DoEventControlDraw(CCarbonEvent& event) override;

    static CPushButton* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CPushButton>(window, signature, id);
    }
    static CPushButton* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CPushButton>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CPushButton>(object, outObject); }

    static constexpr OSType kPropertyCreatorPelp = 'pelp';

private:
    void InitialiseSelf();
    CGRect ImageRect() const;

    CGImageRef mImage = nullptr; // owns
    UInt32 mImageInset = 2; // [px]
    bool mDarken = false;
};
