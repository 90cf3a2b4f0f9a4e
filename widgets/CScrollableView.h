#pragma once

#include "widgets/CHIView.h"

// A view whose zoomable image scrolls inside an enclosing scroll view: it answers
// the scroll view's questions, takes the focus on a click and hands the arrow and
// page keys to the scroll view.
class CScrollableView : public CHIView {
public:
    static constexpr char const* kClassID = "net.pellmar.CScrollableView";

    explicit CScrollableView(HIObjectRef view);

    static OSStatus Register();
    static OSStatus Create(HIObjectRef object, CHIObject** outObject);

    // The super view's wrapper when it is a scroll view, else null.
    CHIView* GetScrollView() const;
    OSStatus NavigateScrollView(CCarbonEvent& event);
    // The part of the image that shows, in image units (whatever the zoom); while a page
    // is printed, the part the page shows.
    CGRect GetVisibleContent();
    void SetPrintedContent(CGRect const* content);

    OSStatus DoEventRawKeyDown(CCarbonEvent& event) override;
    OSStatus DoEventRawKeyRepeat(CCarbonEvent& event) override;

private:
    bool mPrintedSet = false;
    CGRect mPrinted = CGRectZero;
};
