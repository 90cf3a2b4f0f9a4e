#include "widgets/CPanelController.h"

#include "framework/CMacWindow.h"
#include "toolbox/HIViewCalls.h"
#include "widgets/CHIView.h"
#include "widgets/CHIViewUtilities.h"

CPanelController::CPanelController(CString const& panelNib)
    : mPanelNib(panelNib)
{
}

// The old panel's views are disposed (their bindings go with them), whatever the load then does.
void CPanelController::SetPanel(CString const& panel)
{
    CHIView* container = mPanelView;
    ControlRef content = nullptr;
    if (!container && mPanelWindow && GetRootControl(mPanelWindow->GetWindowRef(), &content) == noErr)
        container = CHIViewUtilities::GetCHIView(content, true);
    if (container) {
        while (HIViewRef sub = HIViewGetFirstSubview(container->GetHIViewRef()))
            DisposeControl(sub);
        CHIViewUtilities::LoadFromNib(mPanelNib, panel, container);
    }
    mPanel = panel;
    PanelChanged(mPanel);
}

void CPanelController::PanelChanged(CString const&) { }
