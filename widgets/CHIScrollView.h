#pragma once

#include "widgets/CHIView.h"

// The wrapper of a system scroll view. Besides the system's navigation it
// moves its content line by line (the program's own flags below), which is
// how the arrow keys scroll the program's scrollable views.
class CHIScrollView : public CHIView {
public:
    enum : UInt32 {
        kNavigateLineUp = 0x100000,
        kNavigateLineDown = 0x200000,
        kNavigateLineLeft = 0x400000,
        kNavigateLineRight = 0x800000,
        kNavigateRightEnd = 0x1000000,
        kNavigateBottomEnd = 0x2000000,
        kNavigateOwnFlags = 0x3F00000,
    };

    explicit CHIScrollView(HIObjectRef object = nullptr);
    void InitialiseSelf(UInt32 options);

    // The first sub view that answers the scrollable protocol, or null.
    CHIView* GetContent() const;
    bool CanNavigate(UInt32 flags) const;
    void Navigate(UInt32 flags);
    // Raw key downs and repeats: Home, End, Page Up/Down and the up and down arrows
    // (with Command, the horizontal moves). Others stay unhandled.
    OSStatus Navigate(CCarbonEvent& event);

    static OSStatus Create(HIObjectRef object, CHIObject** outObject);
};
