#pragma once

#include "bindings/Source/Transforms/CBValueTransform.h"
#include "foundation/CString.h"

class CMacWindow;

// Turns the date of the last software-update check into the text of a label:
// the date and time with seconds, or the label's own text from the nib when no
// check was ever recorded. Made for one panel window; owned by its binding.
class SULastCheckTransform : public CBValueTransform {
public:
    static constexpr UInt32 kControlLastCheck = 'slst';

    explicit SULastCheckTransform(CMacWindow* window);

    CBValue Apply(CBValue const& theValue) override;

private:
    CString mFallback;
};
