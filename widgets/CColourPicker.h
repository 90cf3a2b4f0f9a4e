#pragma once

#include "foundation/CMsgBroadcaster.h"
#include "foundation/ColourRGBA.h"
#include "widgets/CPushButton.h"

// A bevel button showing a colour swatch; clicking it runs the colour picker
// and, when a colour is chosen, broadcasts 'coch' with the picker itself. The
// value is the colour packed as 0xRRGGBBAA. Alpha is never edited by the picker.
class CColourPicker : public CPushButton, public CMsgBroadcaster {
public:
    static constexpr char const* kClassID = "com.pellmar.CColourPicker";
    static constexpr UInt32 kCommandPick = 'CoLp';
    static constexpr UInt32 kMsgColourChanged = 'coch';
    static constexpr char const* kDefaultPrompt = "Please select a colour:";

    explicit CColourPicker(HIObjectRef object);

    ColourRGBA const& GetColour() const { return mColour; }
    void SetColour(ColourRGBA const& colour);
    OSStatus PickColour();

    long GetCurrentValue() const override;
    void SetCurrentValue(long value) override;
    OSStatus DoEventControlDraw(CCarbonEvent& event) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;

    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CColourPicker>(object, outObject); }
    static OSStatus Register();

private:
    ColourRGBA mColour { 1, 1, 1, 1 };
    CString mPrompt;
};
