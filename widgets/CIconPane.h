#pragma once

#include "widgets/CUserPane.h"

// A user pane that shows an icon (acquired for its life) on the window's background.
class CIconPane : public CUserPane {
public:
    CIconPane(WindowRef window, CRect const& bounds, IconRef icon, SInt16 alignment, SInt16 transform);
    ~CIconPane() override;

    void HandleControlUserPaneDraw(SInt16 part) override;

private:
    IconRef mIcon = nullptr; // acquired
    SInt16 mAlignment;
    SInt16 mTransform;
};
