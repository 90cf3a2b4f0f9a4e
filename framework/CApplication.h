#pragma once

#include "foundation/CFile.h"
#include "foundation/CMsgListener.h"
#include "foundation/CPreferences.h"
#include "framework/CAppleEventHandler.h"
#include "framework/CCarbonEventHandler.h"
#include "framework/CRecentItems.h"

class CDocument;
class CSoftwareUpdate;
class CSplashScreen;

// The base of the one application object: runs the start-up steps and the
// event loop, answers the application's constant facts by four-character id,
// routes the application-level commands and Apple events, and drives the quit
// sequence that closes every document before the loop ends.
class CApplication : public CCarbonEventHandler, public CAppleEventHandler, public CMsgListener {
public:
    // The user chose to download an update: the start-up steps stop and the program ends.
    static constexpr OSStatus kStatusDownloadingUpdate = 20002;

    enum AppMode : UInt32 {
        kModeConstructed = 0,
        kModeRunning = 1,
        kModeQuitOne = 2, // the only modified document decides
        kModeQuitReview = 3, // the user reviews several modified documents
        kModeQuitDiscard = 4,
        kModeShutdown = 5,
    };

    CApplication();
    ~CApplication() override;

    static CApplication* GetApp() { return mApp; }
    static UInt32 GetAppMode() { return mApp ? mApp->mAppMode : kModeConstructed; }

    static CString GetPrefString(CString const& key, CString const& defaultValue);
    static SInt32 GetPrefInteger(CString const& key, SInt32 defaultValue);
    static bool GetPrefBoolean(CString const& key, bool defaultValue);
    static void SetPrefString(CString const& key, CString const& value);
    static void SetPrefInteger(CString const& key, SInt32 value);

    // The button pressed (1 = default).
    static SInt16 DoAlert(CString const& major, CString const& minor, SInt16 type, CString const& defaultButton,
        CString const& cancelButton, CString const& otherButton);
    static void Quit();
    static void Beep();
    static void CloseWindows();

    CPreferences& GetPreferences() { return mPreferences; }
    CRecentItems& GetRecentItems() { return mRecentItems; }
    CDocument* GetCurrentDocument() const { return mCurrentDocument; }
    CSplashScreen* GetSplashScreen() const { return mSplashScreen; }

    void SetSplashStatus(CString const& text, bool localise);
    void StartSplashScreen(CFile const& file);
    OSStatus OpenFile(CFile const& file);
    OSStatus AddFileToRecentItems(CFile const& file);
    // The caution alert of a file that could not be opened: its name and why, in words.
    void ShowOpenError(CFile const& file, OSStatus status);
    void SendEventToDocuments(CCarbonEvent& event, bool modifiedOnly);

    void SortDocumentsForQuit();
    void ContinueClosingDocs();
    void CancelClosingDocs();
    OSStatus CloseDocuments();
    OSStatus CloseEveryDocument();

    // When no one can be asked (the display went away, a hang-up): see CApplication_SessionEnd.
    static void EndSession();
    // Unsaved changes that could be written nowhere when the session ended (said on standard error).
    static bool LostWorkAtSessionEnd() { return sLostWork; }
    // A kept copy of a document's changes, and the note of the file it belongs to.
    static void RemoveRecoveredCopy(CFile const& copy);
    // Opens what an earlier session kept; how many documents came back.
    UInt32 OfferRecoveredDocuments();
    CFile GetRecoveryFolder(bool create) const;

    OSStatus Run();

    virtual void MinimiseApp();
    virtual CString GetPropertyString(unsigned long id) const;
    virtual UInt32 GetPropertyInteger(unsigned long id) const;
    virtual void SetPropertyString(unsigned long id, CString const& value);
    virtual void SetPropertyInteger(unsigned long id, unsigned long value);
    virtual void SetCurrentDocument(CDocument* document);
    virtual OSStatus InitialiseBegin();
    virtual OSStatus InitialisePreferences();
    virtual OSStatus InitialiseMenuBar();
    virtual OSStatus InitialiseSelf();
    virtual OSStatus InitialiseFinish();
    virtual OSStatus RunEventLoop();
    virtual OSStatus Shutdown();
    void DoMessage(UInt32 message, void* parameter) override;
    OSStatus DoAppleEventOpenApp(AEDesc const& event) override;
    OSStatus DoAppleEventOpenDocs(AEDesc const& event) override;
    OSStatus DoAppleEventPrintDocs(AEDesc const& event) override;
    OSStatus DoAppleEventQuitApp(AEDesc const& event) override;
    OSStatus DoAppleEventReopenApp(AEDesc const& event) override;
    virtual OSStatus CommandCreate(CFile const* file, CDocument** document);
    virtual OSStatus CommandOpen();
    virtual OSStatus CommandQuit();
    virtual OSStatus CommandAbout();
    virtual OSStatus CommandPrefs();
    virtual OSStatus CommandCheckForUpdate(bool showResults);
    virtual OSStatus CommandOpenHomePage();
    virtual OSStatus CommandOpenOnlineHelp();
    virtual CDocument* CreateDocument();
    // How a document with this file closes (CDocument::SaveMode): asking, but for a file the
    // application saves on its own.
    virtual UInt32 GetSaveModeForFile(CFile const& file) const;
    virtual OSStatus ShowPrivacyPolicy();

    SInt32 GetMenuStatus(HICommandExtended const& command) override;
    OSStatus DoEventAppActivated(CCarbonEvent& event) override;
    OSStatus DoEventAppDeactivated(CCarbonEvent& event) override;
    OSStatus DoEventAppleEvent(CCarbonEvent& event) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;

    static CString const kPrefUserDebugLog;
    // A date whose time since the reference date is the period between quiet checks
    // (0: never; below 0: at every start).
    static CString const kPrefSoftwareUpdatePeriod;
    static CString const kPrefSoftwareUpdateLastCheck; // a date
    static CString const kPrefFirstLaunchDate;
    static CString const kPrefRunCount;

protected:
    void SetAppMode(UInt32 mode) { mAppMode = mode; }

private:
    OSStatus KeepForNextStart(CDocument& document, UInt32 number);
    static OSStatus KeepElsewhere(CDocument& document);

    OSStatus RegisterHelpBook();
    bool IsUpdateCheckDue(CDateTime const& now);
    bool OfferUpdate(CSoftwareUpdate const& update, CString const& name, CString const& code);
    void DispatchCommandToDocuments(UInt32 command, bool modifiedOnly);
    static void PreferencesChanged(void* app);
    static void WritePreferences(EventLoopTimerRef timer, void* app);

    static CApplication* mApp; // weak: the object registers itself for its lifetime
    static bool sLostWork;

    CRecentItems mRecentItems;
    CPreferences mPreferences;
    UInt32 mAppMode = kModeConstructed;
    CSplashScreen* mSplashScreen = nullptr; // owns until it closes itself
    CDocument* mCurrentDocument = nullptr; // weak: the document clears it when destroyed
    EventLoopTimerRef mPreferencesWrite = nullptr; // owns: the write of changed preferences, pending
};
