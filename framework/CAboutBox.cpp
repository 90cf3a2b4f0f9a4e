#include "framework/CAboutBox.h"

#include "corefoundation/CFBundle.h"
#include "display/CursorCalls.h"
#include "foundation/CDateTime.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CInternetUtilities.h"
#include "framework/CMacWindow.h"
#include "toolbox/controls/ControlDefinitions.h"

namespace {

CString const kPlaceholderProduct("•PRODUCT•");
CString const kPlaceholderVersion("•VERSION•");
CString const kPlaceholderCompany("•COMPANY•");
CString const kPlaceholderRelease("•RELEASE•");

CString Localised(char const* text) { return CTextUtilities::GetBundleString(text); }

// The application's own icon, named by the bundle's Info.plist.
CIconRef ApplicationIcon()
{
    CString name = CFileUtilities::GetBundleInfoPListKeyValue(CFBundleGetMainBundle(), "CFBundleIconFile");
    if (name.IsEmpty())
        return CIconRef();
    CFile file = CFileUtilities::GetBundleResource(name, CString(), CString());
    return file.FileExists() ? CIconRef(file, true, 0, 0) : CIconRef();
}

} // namespace

CAboutBox* CAboutBox::sInstance = nullptr;

CAboutBox* CAboutBox::GetInstance(bool modal)
{
    if (!sInstance)
        new CAboutBox(modal);
    return sInstance;
}

CAboutBox::CAboutBox(bool modal)
    : mCompanyName("Pellmar")
    , mProductName("•UNKNOWN•")
    , mProductVersion("•UNKNOWN•")
    , mProductURL("https://tarnwick.org/")
    , mModal(modal)
{
    sInstance = this;
    AddEvent('cmds' /* command */, 1 /* process */);
    AddEvent('wind' /* window */, 72 /* close */);
}

CAboutBox::~CAboutBox()
{
    RemoveHandler();
    delete mWindow;
    if (sInstance == this)
        sInstance = nullptr;
}

CString CAboutBox::Fill(CString text) const
{
    text.ReplaceAll(kPlaceholderProduct, mProductName);
    text.ReplaceAll(kPlaceholderVersion, mProductVersion);
    text.ReplaceAll(kPlaceholderCompany, mCompanyName);
    return text;
}

CString CAboutBox::GetVersionLine() const { return Fill(Localised("•PRODUCT• •VERSION•")); }

CString CAboutBox::GetWindowTitle() const { return Fill(Localised("About •PRODUCT•")); }

// "2006" in 2006, "2005-2007" in 2007.
CString CAboutBox::GetNoticeLine(SInt32 currentYear) const
{
    CString years = mReleaseYear;
    if (mReleaseYear.GetSInt32Value() != currentYear) {
        CString current;
        current.Format("-%d", int(currentYear));
        years += current;
    }
    CString notice = Fill(Localised("Copyright © •RELEASE• •COMPANY•.\rAll rights reserved."));
    notice.ReplaceAll(kPlaceholderRelease, years);
    return notice;
}

OSStatus CAboutBox::DoDialog()
{
    if (mCompanyName.IsEmpty() || mProductName.IsEmpty() || mProductVersion.IsEmpty() || mProductURL.IsEmpty()
        || mReleaseYear.IsEmpty()) {
        CApplication::Beep();
        return paramErr;
    }
    if (!mWindow && BuildWindow() != noErr)
        return memFullErr;
    SetThemeCursor(kThemeArrowCursor);
    if (!mModal) {
        mWindow->Select(true);
        return noErr;
    }
    mWindow->RunModalEventLoop();
    RemoveHandler();
    delete mWindow;
    mWindow = nullptr;
    return noErr;
}

OSStatus CAboutBox::BuildWindow()
{
    WindowClass windowClass = mModal ? kMovableModalWindowClass : kDocumentWindowClass;
    WindowAttributes attributes = mModal ? 0x2000000 : 0x2000009; // standard handler (+ close and collapse boxes)
    CRect content(0, 0, kContentHeight + 92, kContentWidth);
    mWindow = new CMacWindow(windowClass, attributes, content, 49 /* document window background */);
    if (!mWindow->GetWindowRef()) {
        delete mWindow;
        mWindow = nullptr;
        return memFullErr;
    }
    // A panel, not a document: no place in the Window menu, nor in the program window's title.
    mWindow->SetAttributes(0, kWindowInWindowMenuAttribute);
    if (!mIcon.IsValid())
        mIcon = ApplicationIcon();
    content.bottom = content.top + kContentHeight; // the picture is shorter than the window first made
    OSStatus status = AddControls();
    if (status == noErr) {
        mWindow->SetTitle(GetWindowTitle());
        mWindow->SetWindowBounds(content, kWindowContentRgn, 0);
        mWindow->Reposition(nullptr, kWindowAlertPositionOnMainScreen);
        mWindow->SetVisible(true);
        status = InstallHandler(mWindow->GetWindowRef());
    }
    if (status != noErr) {
        delete mWindow;
        mWindow = nullptr;
    }
    return status;
}

OSStatus CAboutBox::AddControls()
{
    WindowRef window = mWindow->GetWindowRef();
    SInt16 const middle = kContentWidth / 2;
    Rect const iconFrame { 20, 135, 148, 263 };
    Rect const versionFrame { 156, 71, 172, 327 };
    Rect const noticeFrame { 180, 71, 212, 327 };
    Rect const homeFrame { 232, SInt16(middle - 131), 252, SInt16(middle - 131 + 107) };
    Rect const okFrame { 232, SInt16(middle + 25), 252, SInt16(middle + 25 + 107) };

    ControlButtonContentInfo icon;
    icon.contentType = mIcon.IsValid() ? kControlContentIconRef : kControlContentTextOnly;
    icon.u.iconRef = mIcon.GetIconRef();
    ControlFontStyleRec versionStyle;
    versionStyle.flags = 0x00C0; // theme font and justification
    versionStyle.font = 4; // emphasised system font
    versionStyle.just = 1; // centred
    ControlFontStyleRec noticeStyle;
    noticeStyle.flags = 0x0040;
    noticeStyle.just = 1;

    ControlRef control = nullptr;
    OSStatus status = CreateIconControl(window, &iconFrame, &icon, true, &control);
    if (status == noErr)
        status
            = CreateStaticTextControl(window, &versionFrame, GetVersionLine().GetCFString(), &versionStyle, &control);
    if (status == noErr)
        status = CreateStaticTextControl(window, &noticeFrame,
            GetNoticeLine(CDateTime::GetTimeNow().GetYear()).GetCFString(), &noticeStyle, &control);
    if (status == noErr)
        status = CreatePushButtonControl(window, &homeFrame, Localised("Home Page").GetCFString(), &control);
    if (status == noErr)
        status = SetControlCommandID(control, kCommandHomePage);
    if (status == noErr)
        status = CreatePushButtonControl(window, &okFrame, Localised("OK").GetCFString(), &control);
    if (status == noErr)
        status = SetControlCommandID(control, kCommandDone);
    if (status == noErr)
        status = SetWindowDefaultButton(window, control);
    // Escape closes the box as OK does: the one answer is also the cancel button.
    if (status == noErr)
        status = SetWindowCancelButton(window, control);
    return status;
}

OSStatus CAboutBox::DoHomePage()
{
    CInternetUtilities::LaunchURL(mProductURL);
    if (mModal && mWindow)
        mWindow->QuitModalEventLoop();
    return noErr;
}

OSStatus CAboutBox::DoAboutDone()
{
    if (mModal) {
        if (mWindow)
            mWindow->QuitModalEventLoop();
        return noErr;
    }
    delete this;
    return noErr;
}

SInt32 CAboutBox::GetMenuStatus(HICommandExtended const& command)
{
    if (command.commandID == 'clos')
        return mModal ? kMenuStatusDisable : kMenuStatusEnable;
    return CCarbonEventHandler::GetMenuStatus(command);
}

OSStatus CAboutBox::DoEventCommandProcess(CCarbonEvent& event)
{
    switch (event.GetHICommand().commandID) {
    case kCommandHomePage:
        return DoHomePage();
    case kCommandDone:
        return DoAboutDone();
    case 'clos':
        if (mModal)
            return DoAboutDone(); // the modal loop still runs on this object
        delete this;
        return noErr;
    default:
        return eventNotHandledErr;
    }
}

OSStatus CAboutBox::DoEventWindowClose(CCarbonEvent& event)
{
    delete this;
    return noErr;
}
