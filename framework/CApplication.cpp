#include "framework/CApplication.h"

#include "foundation/CTextUtilities.h"
#include "framework/CDocument.h"
#include "framework/CFileErrorText.h"
#include "framework/CSplashScreen.h"
#include "framework/CStandardAlert.h"

#include "corefoundation/CFPreferences.h"

#include <cstdio>

CApplication* CApplication::mApp = nullptr;
bool CApplication::sLostWork = false;
CString const CApplication::kPrefUserDebugLog("UserDebugLog");
CString const CApplication::kPrefSoftwareUpdatePeriod("SoftwareUpdatePeriod");
CString const CApplication::kPrefSoftwareUpdateLastCheck("SoftwareUpdateLastCheck");
CString const CApplication::kPrefFirstLaunchDate("AppFirstLaunchDate");
CString const CApplication::kPrefRunCount("AppRunCount");

CApplication::CApplication() { mApp = this; }

CApplication::~CApplication()
{
    if (mApp == this)
        mApp = nullptr;
    tw::cf::SetPreferencesChangeHook(nullptr, nullptr);
    if (mPreferencesWrite) {
        RemoveEventLoopTimer(mPreferencesWrite);
        mPreferencesWrite = nullptr;
    }
    mPreferences.Flush();
    delete mSplashScreen;
    CSplashScreen::FinishClosing(); // splash screens still fading out as the program ends
}

CString CApplication::GetPrefString(CString const& key, CString const& defaultValue)
{
    return mApp ? mApp->mPreferences.GetString(key, defaultValue) : defaultValue;
}

SInt32 CApplication::GetPrefInteger(CString const& key, SInt32 defaultValue)
{
    return mApp ? mApp->mPreferences.GetInteger(key, defaultValue) : defaultValue;
}

bool CApplication::GetPrefBoolean(CString const& key, bool defaultValue)
{
    return mApp ? mApp->mPreferences.GetBoolean(key, defaultValue) : defaultValue;
}

void CApplication::SetPrefString(CString const& key, CString const& value)
{
    if (mApp)
        mApp->mPreferences.SetString(key, value);
}

void CApplication::SetPrefInteger(CString const& key, SInt32 value)
{
    if (mApp)
        mApp->mPreferences.SetInteger(key, value);
}

SInt16 CApplication::DoAlert(CString const& major, CString const& minor, SInt16 type, CString const& defaultButton,
    CString const& cancelButton, CString const& otherButton)
{
    CStandardAlert alert;
    alert.SetType(type);
    alert.SetTextMajor(major);
    alert.SetTextMinor(minor);
    alert.SetTextDefault(defaultButton);
    alert.SetTextCancel(cancelButton);
    alert.SetTextOther(otherButton);
    return alert.DoDialog();
}

// There is no sound device of our own: the alert sound is the terminal's bell.
void CApplication::Beep()
{
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

CString CApplication::GetPropertyString(unsigned long id) const
{
    switch (id) {
    case 'anib':
        return "Application";
    case 'anmb':
        return "MenuBar";
    case 'anam':
        return "APPL";
    case 'apro':
        return "YYYY";
    case 'aver':
        return "X.Y";
    case 'arel':
        return "NNNN";
    case 'cnam':
        return "Pellmar";
    case 'esup':
        return "support@tarnwick.org";
    case 'uhom':
        return "https://tarnwick.org/";
    case 'uhlp':
        return GetPropertyString('uhom');
    case 'uprv':
        return "https://tarnwick.org/privacy/";
    case 'usxm':
        return "https://tarnwick.org/support/version.xml";
    case 'dobf':
        return "The document could not be opened, since this file format is not supported.";
    case 'doce':
        return "The document could not be opened due to an error of type %d.";
    case 'tbsh':
        return "Show Toolbar";
    case 'tbhd':
        return "Hide Toolbar";
    case 'spla':
        return "SplashBackground.png";
    case 'snea':
        return "The Software Update server could not be contacted.";
    case 'snei':
        return "Please check your network connection, or try again later.";
    case 'supa':
        return "Your software is up to date.";
    case 'supi':
        return "Software Update could not find any new software for your computer at this time.";
    case 'sfua':
        return "An updated version of %s, %s, is now available.";
    case 'sfui':
        return "More information about this update is available online.";
    case 'smin':
        return "More Info…";
    case 'supl':
        return "Update Later";
    default:
        return CString();
    }
}

UInt32 CApplication::GetPropertyInteger(unsigned long id) const
{
    switch (id) {
    case 'ndol':
    case 'ndor':
    case 'rhol':
        return 1;
    case 'dbgl':
        return 3;
    case 'rcnt':
        return UInt32(mPreferences.GetInteger(kPrefRunCount, 0));
    default:
        return 0;
    }
}

void CApplication::SetPropertyString(unsigned long id, CString const& value) { }

void CApplication::SetPropertyInteger(unsigned long id, unsigned long value)
{
    if (id == 'rcnt')
        mPreferences.SetInteger(kPrefRunCount, SInt32(value));
}

void CApplication::SetCurrentDocument(CDocument* document) { mCurrentDocument = document; }

void CApplication::MinimiseApp() { }

void CApplication::DoMessage(UInt32 message, void* parameter) { }

void CApplication::SetSplashStatus(CString const& text, bool localise)
{
    if (mSplashScreen)
        mSplashScreen->SetStatus(localise ? CTextUtilities::GetBundleString(text) : text);
}

OSStatus CApplication::OpenFile(CFile const& file) { return CommandCreate(&file, nullptr); }

OSStatus CApplication::AddFileToRecentItems(CFile const& file) { return mRecentItems.AddNewFile(file); }

void CApplication::ShowOpenError(CFile const& file, OSStatus status)
{
    DoAlert(CFileErrorText::GetHeadline(CFileErrorText::kOpen, file.GetDisplayName()),
        CFileErrorText::GetReason(CFileErrorText::kOpen, file, status), 2 /* caution */, "•default•", CString(),
        CString());
}

void CApplication::SendEventToDocuments(CCarbonEvent& event, bool modifiedOnly)
{
    // A document closed by the event for an earlier one is skipped.
    for (CDocument* document : CDocument::GetDocuments(modifiedOnly))
        if (CDocument::IsDocument(document))
            document->DispatchEvent(event, nullptr);
}

namespace {

// Long enough that a slider's drag or a run of typing is written once, short enough that a
// crash soon after a change keeps it.
constexpr EventTimerInterval kPreferencesWriteDelay = 1.0; // [s]

} // namespace

void CApplication::PreferencesChanged(void* app)
{
    auto* self = static_cast<CApplication*>(app);
    if (!self->mPreferencesWrite)
        InstallEventLoopTimer(
            GetMainEventLoop(), kPreferencesWriteDelay, 0, &WritePreferences, self, &self->mPreferencesWrite);
}

void CApplication::WritePreferences(EventLoopTimerRef timer, void* app)
{
    auto* self = static_cast<CApplication*>(app);
    RemoveEventLoopTimer(timer);
    self->mPreferencesWrite = nullptr;
    self->mPreferences.Flush();
}
