#pragma once

#include "foundation/CString.h"

class CHIView;
class CMacWindow;

// Swaps the content of a window (or of one view) between panels, each panel
// being a window of one nib whose views are moved in. Owned by its window's controller.
class CPanelController {
public:
    explicit CPanelController(CString const& panelNib = CString());
    virtual ~CPanelController() = default;

    void SetPanelNib(CString const& nib) { mPanelNib = nib; }
    void SetPanelWindow(CMacWindow* window) { mPanelWindow = window; }
    CMacWindow* GetPanelWindow() const { return mPanelWindow; }
    // Panels load into this view instead of the window's content view.
    void SetPanelView(CHIView* view) { mPanelView = view; }
    CString GetPanel() const { return mPanel; }
    // Replaces the whole content with the panel, even the same one again.
    void SetPanel(CString const& panel);
    virtual void PanelChanged(CString const& panel);

private:
    CString mPanelNib;
    CMacWindow* mPanelWindow = nullptr; // weak
    CHIView* mPanelView = nullptr; // weak
    CString mPanel;
};
