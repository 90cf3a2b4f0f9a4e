#pragma once

#include "foundation/CIconRef.h"
#include "foundation/CString.h"
#include "framework/CCarbonEventHandler.h"

class CMacWindow;

// The about window: the application icon, a product and version line, the
// copyright notice, a "Home Page" button and an "OK" button. There is at most
// one; it is modal or an ordinary window, chosen when it is first made.
class CAboutBox : public CCarbonEventHandler {
public:
    static constexpr UInt32 kCommandHomePage = 'home';
    static constexpr UInt32 kCommandDone = 'abok';
    static constexpr SInt16 kContentWidth = 399;
    static constexpr SInt16 kContentHeight = 272;

    static CAboutBox* GetInstance(bool modal);
    ~CAboutBox() override;
    static CAboutBox* PeekInstance() { return sInstance; } // null when there is none

    void SetCompanyName(CString const& name) { mCompanyName = name; }
    void SetProductName(CString const& name) { mProductName = name; }
    void SetProductVersion(CString const& version) { mProductVersion = version; }
    void SetProductURL(CString const& url) { mProductURL = url; }
    void SetReleaseYear(CString const& year) { mReleaseYear = year; }
    void SetUserData(void* data) { mUserData = data; }
    void* GetUserData() const { return mUserData; }
    bool IsModal() const { return mModal; }
    CMacWindow* GetWindow() const { return mWindow; }

    OSStatus DoDialog();
    OSStatus DoHomePage();
    OSStatus DoAboutDone();

    // The texts as shown, for the given calendar year.
    CString GetVersionLine() const;
    CString GetNoticeLine(SInt32 currentYear) const;
    CString GetWindowTitle() const;

    SInt32 GetMenuStatus(HICommandExtended const& command) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus DoEventWindowClose(CCarbonEvent& event) override;

private:
    explicit CAboutBox(bool modal);

    OSStatus BuildWindow();
    OSStatus AddControls();
    CString Fill(CString text) const;

    static CAboutBox* sInstance; // weak: the object clears it when destroyed

    CString mCompanyName;
    CString mProductName;
    CString mProductVersion;
    CString mProductURL;
    CIconRef mIcon;
    CString mReleaseYear;
    void* mUserData = nullptr; // weak
    bool mModal;
    CMacWindow* mWindow = nullptr; // owns
};
