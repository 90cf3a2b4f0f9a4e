#include "widgets/ControlClasses.h"

#include "framework/CMacWindow.h"
#include "widgets/CChasingArrows.h"
#include "widgets/CCheckBox.h"
#include "widgets/CColourPicker.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CEditText.h"
#include "widgets/CGroupBox.h"
#include "widgets/CHIScrollView.h"
#include "widgets/CHISearchField.h"
#include "widgets/CHISegmentedView.h"
#include "widgets/CHIToolbar.h"
#include "widgets/CHIViewUtilities.h"
#include "widgets/CHistoryButton.h"
#include "widgets/CIconControl.h"
#include "widgets/CPopupButton.h"
#include "widgets/CProgressBar.h"
#include "widgets/CPushButton.h"
#include "widgets/CRadioGroup.h"
#include "widgets/CRootControl.h"
#include "widgets/CSlider.h"
#include "widgets/CStaticText.h"
#include "widgets/CWindowHeader.h"

namespace {

struct SystemWrapper {
    char const* classID;
    CHIObject::Creator creator;
};

// The bevel button ids wrap as push buttons.
SystemWrapper const kSystemWrappers[] = {
    { "com.apple.HITextField", CEditText::Create },
    { "com.apple.hieditunicodetext", CEditText::Create },
    { "com.apple.HIPushButton", CPushButton::Create },
    { "com.apple.HIBevelButton", CPushButton::Create },
    { "com.apple.hitoolbox.view.bevelbutton", CPushButton::Create },
    { "com.apple.HIStaticTextView", CStaticText::Create },
    { "com.apple.hitoolbox.view.statictext", CStaticText::Create },
    { "com.apple.HIRadioGroup", CRadioGroup::Create },
    { "com.apple.HIPopupButton", CPopupButton::Create },
    { "com.apple.HIProgressBar", CProgressBar::Create },
    { "com.apple.HICheckBox", CCheckBox::Create },
    { "com.apple.HISlider", CSlider::Create },
    { "com.apple.hitoolbox.view.slider", CSlider::Create },
    { "com.apple.HIChasingArrows", CChasingArrows::Create },
    { "com.apple.HIGroupBox", CGroupBox::Create },
    { "com.apple.HICheckBoxGroup", CGroupBox::Create },
    { "com.apple.HIWindowHeaderView", CWindowHeader::Create },
    { "com.apple.HISegmentedView", CHISegmentedView::Create },
    { "com.apple.HIScrollView", CHIScrollView::Create },
    { "com.apple.HIDataBrowser", CDataBrowser::Create },
    { "com.apple.HISearchField", CHISearchField::Create },
    { "com.apple.HIIconView", CIconControl::Create },
};

CRootControl* CreateRoot(WindowRef window) { return new CRootControl(window); }

// A window closed by the user has already taken its root control's wrapper with it.
void DestroyRoot(CRootControl* root)
{
    if (CRootControl::IsLive(root))
        delete root;
}

void HandleSuperResize(CRootControl* root, Rect const& delta)
{
    if (CRootControl::IsLive(root))
        root->HandleSuperResize(CRect(delta));
}

CHIView* FindView(CRootControl* root, HIViewID const& id)
{
    if (!CRootControl::IsLive(root))
        return nullptr;
    HIViewRef view = nullptr;
    if (HIViewFindByID(root->GetControlRef(), id, &view) != noErr || !view)
        return nullptr;
    return CHIViewUtilities::GetCHIView(view, true);
}

CControl* AsControl(CHIView* view) { return dynamic_cast<CControl*>(view); }

CMacWindow::WidgetSupport const kWindowSupport {
    CreateRoot,
    DestroyRoot,
    HandleSuperResize,
    FindView,
    AsControl,
    CHIToolbar::AttachToWindow,
};

} // namespace

OSStatus RegisterControlClasses()
{
    static OSStatus const status = [] {
        for (SystemWrapper const& wrapper : kSystemWrappers) {
            CString const id(wrapper.classID);
            OSStatus const registered = CHIObject::Register(nullptr, id.GetCFString(), wrapper.creator);
            if (registered != noErr)
                return registered;
        }
        OSStatus const history = CHistoryButton::Register();
        return history != noErr ? history : CColourPicker::Register();
    }();
    return status;
}

void InstallControlWindowSupport() { CMacWindow::SetWidgetSupport(&kWindowSupport); }
