#include "AppTest.h"
#include "corefoundation/CFBundle.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CSystemUtilities.h"
#include "foundation/CTimerTask.h"
#include "foundation/Status.h"
#include "framework/CDisplayRef.h"
#include "framework/COpenGLUtilities.h"
#include "framework/CSoftwareUpdate.h"
#include "framework/CVersionInfo.h"
#include "framework/tests/fuzz/FuzzUpdateFeedEntry.h"
#include "tests/support/LocalServer.h"
#include "tests/support/OpenRecorder.h"
#include "tests/support/TestSupport.h"

#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    std::string Feed(std::string const& code, std::string const& version)
    {
        return "<?xml version=\"1.0\"?>\n<pellmar>\n  <product code=\"" + code + "\">\n    <version> " + version
            + " </version>\n    <download>https://tarnwick.org/download/</download>\n  </product>\n</pellmar>\n";
    }

    // Entities that would grow a few hundred bytes into gigabytes if they were expanded.
    std::string const kHostileFeed = "<?xml version=\"1.0\"?>\n<!DOCTYPE pellmar [\n <!ENTITY a \"aaaaaaaaaa\">\n"
                                     " <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                                     " <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
                                     " <!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n]>\n"
                                     "<pellmar><product code=\"TWik\"><version>&d;</version></product></pellmar>\n";

    TEST(CVersionInfo, VersionsDecodeInEveryFormAndCompareFieldByField)
    {
        struct Older {
            char const* older;
            char const* newer;
        };
        for (Older const& pair : std::initializer_list<Older> { { "1.2.3b4", "1.2.3" }, { "1.2", "1.2.1" },
                 { "1.15", "1.16" }, { "1.2.3d9", "1.2.3a1" }, { "1.2.3a9", "1.2.3b1" }, { "1.9.9", "2.0" },
                 { "1.2.3.4", "1.2.3.5" }, { "1.2b2", "1.2b10" }, { "0.9", "1.0d1" } }) {
            EXPECT_TRUE(CVersionInfo(pair.newer).IsNewerThan(CVersionInfo(pair.older))) << pair.newer;
            EXPECT_FALSE(CVersionInfo(pair.older).IsNewerThan(CVersionInfo(pair.newer))) << pair.older;
        }
        EXPECT_FALSE(CVersionInfo("1.2.3").IsNewerThan(CVersionInfo("1.2.3.0")));
        EXPECT_FALSE(CVersionInfo("1.2.3.0").IsNewerThan(CVersionInfo("1.2.3")));

        UInt16 major = 9, minor = 9, patch = 9, stage = 9, build = 9;
        ASSERT_TRUE(CVersionInfo::DecodeVersion("4.5d7", major, minor, patch, stage, build));
        EXPECT_EQ(std::vector<int>({ major, minor, patch, stage, build }), std::vector<int>({ 4, 5, 0, 32, 7 }));
        for (char const* text :
            { "", "1", "1.", "1.2.", " 1.2", "1.2 ", "-1.2", "+1.2", "1.x", "1.2.3.4.5", "1.2c3", "70000.1", "1..2" }) {
            EXPECT_FALSE(CVersionInfo::DecodeVersion(text, major, minor, patch, stage, build)) << '"' << text << '"';
            EXPECT_EQ(std::vector<int>({ major, minor, patch, stage, build }), std::vector<int>({ 0, 0, 0, 128, 0 }))
                << text;
        }
    }

    TEST(SoftwareUpdate, TheUserAgentNamesTheProgramTheSystemAndItsNumbers)
    {
        EXPECT_EQ(CSoftwareUpdate::FormatProcessorSpeed(2000), CString("2.0"));
        EXPECT_EQ(CSoftwareUpdate::FormatProcessorSpeed(1830), CString("1.83"));
        EXPECT_EQ(CSoftwareUpdate::FormatProcessorSpeed(2667), CString("2.667"));
        EXPECT_EQ(CSoftwareUpdate::FormatProcessorSpeed(733), CString("733"));
        EXPECT_EQ(CSoftwareUpdate::FormatProcessorSpeed(999), CString("999"));
        EXPECT_EQ(CSoftwareUpdate::FormatProcessorSpeed(1000), CString("1.0"));
        EXPECT_EQ(CSoftwareUpdate::FormatMemory(UInt64(2048) << 20), CString("2.0"));
        EXPECT_EQ(CSoftwareUpdate::FormatMemory(UInt64(1023) << 20), CString("1023"));
        EXPECT_EQ(CSoftwareUpdate::FormatMemory(UInt64(1536) << 20), CString("1.5"));
        EXPECT_EQ(CSoftwareUpdate::FormatMemory((UInt64(512) << 20) + 1000), CString("512"));
        EXPECT_EQ(CSoftwareUpdate::ShortenRenderer("ATI Radeon 9600 XT OpenGL Engine"), CString("Radeon 9600 XT"));
        EXPECT_EQ(CSoftwareUpdate::ShortenRenderer("NVIDIA GeForce FX 5200 Ultra OpenGL Engine"),
            CString("GeForce FX 5200 Ultra"));
        EXPECT_EQ(CSoftwareUpdate::ShortenRenderer("Some Renderer With A Long Name That Goes On").GetLength(), 31u);

        CString system;
        CSystemUtilities::GetSystemVersion(system);
        CString const expected = CString("Tarnwick/1.1.1 (") + system + "; "
            + CSoftwareUpdate::FormatProcessorSpeed(CSystemUtilities::GetCPUSpeed()) + "; "
            + CSoftwareUpdate::FormatMemory(CSystemUtilities::GetPhysicalMemory()) + ")";
        EXPECT_EQ(CSoftwareUpdate::BuildUserAgent("Tarnwick", "1.1.1", nullptr), expected);
        std::string const unversioned = CSoftwareUpdate::BuildUserAgent("Tarnwick", "", nullptr).GetUTF8();
        EXPECT_EQ(unversioned.rfind("Tarnwick (", 0), 0u) << unversioned;
        EXPECT_EQ(CSoftwareUpdate::FormatVideoMemory(long(4095) << 20), CString("4095"));
        EXPECT_EQ(CSoftwareUpdate::FormatVideoMemory(long(8192) << 20), CString("4095")) << "held, not wrapped to 0";
        EXPECT_EQ(CSoftwareUpdate::FormatVideoMemory(long(6144) << 20), CString("4095"));
        EXPECT_EQ(CSoftwareUpdate::FormatVideoMemory((long(256) << 20) + 5), CString("256"));
        EXPECT_EQ(CSoftwareUpdate::FormatVideoMemory(0), CString("0"));
        // Without a display there is no renderer to name: no video memory and an empty name.
        COpenGLUtilities::ResetForTesting();
        ScopedEnvironment const noDisplay("DISPLAY", nullptr);
        CDisplayRef display;
        display.InitialiseSelf(GetMainDevice(), 0);
        std::string const withDisplay = CSoftwareUpdate::BuildUserAgent("Tarnwick", "1.1.1", &display).GetUTF8();
        EXPECT_EQ(withDisplay, std::string(expected.GetUTF8()).insert(expected.GetLength() - 1, "; 0; "));
        COpenGLUtilities::ResetForTesting();
    }

    TEST(SoftwareUpdate, TheFeedIsParsedSafelyAndAFailedParseKeepsWhatWasRead)
    {
        CSoftwareUpdate update;
        std::string const good = "<pellmar><a code=\"TWik\"><version>\n 2.0\n</version><download>https://x.org/d"
                                 "</download></a><b><version>9.9</version></b><c code=\"twik\"><version>3.0</version>"
                                 "</c><d code=\"Othr\"/></pellmar>";
        ASSERT_EQ(update.ParseXML(good.size(), good.data()), noErr);
        ASSERT_EQ(update.GetProducts().size(), 3u) << "the product without a code is skipped";
        CString version, download;
        EXPECT_TRUE(update.GetUpdateInfo("TWik", &version, &download));
        EXPECT_EQ(version, CString("2.0"));
        EXPECT_EQ(download, CString("https://x.org/d"));
        EXPECT_EQ(update.GetProductVersion("twik"), CString("3.0")) << "codes compare exactly";
        EXPECT_TRUE(update.IsUpdateAvailable("TWik", "1.1.1"));
        EXPECT_FALSE(update.IsUpdateAvailable("TWik", "2.0"));
        EXPECT_FALSE(update.IsUpdateAvailable("Othr", "1.0")) << "no version: no update";
        EXPECT_FALSE(update.IsUpdateAvailable("None", "1.0")) << "missing from the feed: no update";
        EXPECT_FALSE(update.GetUpdateInfo("None", &version, &download));
        EXPECT_TRUE(version.IsEmpty() && download.IsEmpty());

        std::string const notAFeed = "<html><body><pellmar code=\"TWik\"/></body></html>";
        std::string const truncated = good.substr(0, good.size() / 2);
        std::string const huge = "<pellmar>" + std::string(CSoftwareUpdate::kMaxFeedSize, ' ') + "</pellmar>";
        for (std::string const* text : { &notAFeed, &truncated, &kHostileFeed, &huge }) {
            EXPECT_NE(update.ParseXML(text->size(), text->data()), noErr) << text->substr(0, 60);
            EXPECT_EQ(update.GetProducts().size(), 3u);
        }
        EXPECT_EQ(update.ParseXML(0, nullptr), kNothingParseableErr);

        TempFolder folder;
        WriteFile(folder / "version.xml", Feed("TWik", "4.0"));
        CFile file(CString((folder / "version.xml").c_str()));
        ASSERT_EQ(update.GetVersionInfo(file), noErr);
        EXPECT_EQ(update.GetProductVersion("TWik"), CString("4.0"));
        CFile missing(CString((folder / "missing.xml").c_str()));
        EXPECT_NE(update.GetVersionInfo(missing), noErr);
    }

    TEST(SoftwareUpdate, OnlyAWebPageFromTheFeedReachesTheBrowser)
    {
        OpenRecorder recorder;
        CSoftwareUpdate update;
        std::string const feed = "<pellmar><p code=\"Evil\"><download>file:///etc/passwd</download></p>"
                                 "<p code=\"Good\"><download>https://tarnwick.org/get</download></p></pellmar>";
        ASSERT_EQ(update.ParseXML(feed.size(), feed.data()), noErr);
        EXPECT_FALSE(update.DownloadUpdate("Evil"));
        EXPECT_FALSE(update.DownloadUpdate("None"));
        EXPECT_TRUE(update.DownloadUpdate("Good"));
        EXPECT_EQ(recorder.WaitForLog(), "https://tarnwick.org/get\n");
    }

    // The application of these tests fetches its feed from a local server.
    class UpdateApplication : public TestApplication {
    public:
        CString GetPropertyString(unsigned long id) const override
        {
            return id == 'usxm' ? mFeed : TestApplication::GetPropertyString(id);
        }
        CString mFeed;
    };

    class UpdateCheck : public AppTest {
    protected:
        void SetUp() override
        {
            AppTest::SetUp();
            CPreferences prefs;
            prefs.RemovePref(CApplication::kPrefSoftwareUpdateLastCheck);
            prefs.Flush();
            auto app = std::make_unique<UpdateApplication>();
            mUpdateApp = app.get();
            mApp = std::move(app);
            mApp->SetRunning();
        }

        // Serves the text as the feed; a path on another server when given.
        void Serve(std::string const& feed) { WriteFile(mFolder / "feed.xml", feed); }
        void UseFeed(std::string const& link) { mUpdateApp->mFeed = CString(link.c_str()); }

        std::vector<std::string> Alerts() const
        {
            std::vector<std::string> texts;
            for (auto const& shown : Responders::History())
                if (shown.kind == DialogKind::Alert)
                    texts.push_back(shown.text);
            return texts;
        }
        bool Checked() const { return mApp->GetPreferences().PrefExists(CApplication::kPrefSoftwareUpdateLastCheck); }
        void SetLastCheck(double secondsAgo)
        {
            mApp->GetPreferences().SetDate(CApplication::kPrefSoftwareUpdateLastCheck,
                CDateTime(CDateTime::GetTimeNow().GetTimeInSeconds() - secondsAgo));
        }
        void SetPeriod(double seconds)
        {
            mApp->GetPreferences().SetDate(CApplication::kPrefSoftwareUpdatePeriod, CDateTime(seconds));
        }

        UpdateApplication* mUpdateApp = nullptr;
    };

    std::string const kNewer = "An updated version of Tarnwick, 9.0, is now available.";
    std::string const kUpToDate = "Your software is up to date.";
    std::string const kNoServer = "The Software Update server could not be contacted.";

    TEST_F(UpdateCheck, ANewerVersionIsOfferedAndMoreInfoOpensItsPageAndEndsTheStart)
    {
        LocalServer server(mFolder.string());
        ASSERT_GT(server.Port(), 0) << "python3 -m http.server did not start";
        OpenRecorder recorder;
        Serve(Feed("TWik", "9.0"));
        UseFeed(server.Link("/feed.xml"));

        Responders::PressAlertButton(2); // Update Later
        EXPECT_EQ(mApp->CommandCheckForUpdate(true), noErr);
        EXPECT_EQ(Alerts(), std::vector<std::string> { kNewer });
        EXPECT_TRUE(Checked());

        mApp->GetPreferences().RemovePref(CApplication::kPrefSoftwareUpdateLastCheck);
        Responders::PressAlertButton(1); // More Info…
        EXPECT_EQ(mApp->CommandCheckForUpdate(true), CApplication::kStatusDownloadingUpdate);
        EXPECT_EQ(recorder.WaitForLog(), "https://tarnwick.org/download/\n");
        EXPECT_FALSE(Checked()) << "the user has not updated yet: the next start asks again";
    }

    TEST_F(UpdateCheck, TheSameOrAnOlderVersionIsUpToDate)
    {
        LocalServer server(mFolder.string());
        ASSERT_GT(server.Port(), 0);
        UseFeed(server.Link("/feed.xml"));
        struct Entry {
            char const* code;
            char const* version;
        };
        for (Entry const& entry : std::initializer_list<Entry> { { "TWik", "1.1.1" }, { "TWik", "1.1.1.0" },
                 { "TWik", "1.0" }, { "TWik", "1.1.1b3" }, { "Othr", "9.0" } }) {
            Serve(Feed(entry.code, entry.version));
            Responders::PressAlertButton(1);
            EXPECT_EQ(mApp->CommandCheckForUpdate(true), noErr) << entry.code << " " << entry.version;
        }
        EXPECT_EQ(Alerts(), std::vector<std::string>(5, kUpToDate));
        EXPECT_TRUE(Checked());
    }

    // Whatever comes back that is not the feed is the server's fault, and nothing is recorded.
    TEST_F(UpdateCheck, WhatIsNoFeedIsADownloadErrorAndNothingIsRecorded)
    {
        LocalServer server(mFolder.string());
        ASSERT_GT(server.Port(), 0);
        WriteFile(mFolder / "html.xml", "<?xml version=\"1.0\"?><html><body>Sign in</body></html>");
        WriteFile(mFolder / "hostile.xml", kHostileFeed);
        WriteFile(mFolder / "big.xml", "<pellmar>" + std::string(10 << 20, ' ') + Feed("TWik", "9.0") + "</pellmar>");
        for (char const* path : { "/html.xml", "/missing.xml", "/hostile.xml", "/big.xml" }) {
            UseFeed(server.Link(path));
            Responders::PressAlertButton(1);
            EXPECT_EQ(mApp->CommandCheckForUpdate(true), noErr) << path;
        }
        EXPECT_EQ(Alerts(), std::vector<std::string>(4, kNoServer));
        EXPECT_FALSE(Checked());
    }

    // A feed that never ends is read no further than the feed's own limit (1 MiB), not
    // the HTTP client's ceiling.
    TEST_F(UpdateCheck, AFeedThatNeverEndsIsReadNoFurtherThanTheFeedLimit)
    {
        int port = 0;
        int const listener = ListenOnFreePort(port);
        std::size_t sent = 0;
        std::thread server([&] {
            int const connection = accept(listener, nullptr, nullptr);
            char request[4096];
            read(connection, request, sizeof request); // the request line and headers, one packet
            std::string const head = "HTTP/1.0 200 OK\r\n\r\n<pellmar>";
            send(connection, head.data(), head.size(), MSG_NOSIGNAL);
            std::string const chunk(64 << 10, ' ');
            for (ssize_t n = 0; sent < (std::size_t(128) << 20); sent += std::size_t(n))
                if ((n = send(connection, chunk.data(), chunk.size(), MSG_NOSIGNAL)) <= 0)
                    break;
            close(connection);
        });
        UseFeed("http://127.0.0.1:" + std::to_string(port) + "/feed.xml");
        Responders::PressAlertButton(1);
        EXPECT_EQ(mApp->CommandCheckForUpdate(true), noErr);
        server.join();
        close(listener);
        EXPECT_EQ(Alerts(), std::vector<std::string> { kNoServer });
        EXPECT_LT(sent, std::size_t(16) << 20) << "what the sockets buffered, no more";
    }

    class Ticker : public CTimerTask {
    public:
        int mTicks = 0;

    protected:
        void DoTimer() override { ++mTicks; }
    };

    TEST_F(UpdateCheck, AServerThatNeverAnswersTimesOutWhileTheLoopRuns)
    {
        int port = 0;
        int const listener = ListenOnFreePort(port); // accepts, never answers
        UseFeed("http://127.0.0.1:" + std::to_string(port) + "/feed.xml");
        Ticker ticker;
        ticker.InstallTimer(0.1, 0.1);
        Responders::PressAlertButton(1);
        EXPECT_EQ(mApp->CommandCheckForUpdate(true), noErr);
        EXPECT_EQ(Alerts(), std::vector<std::string> { kNoServer });
        EXPECT_GT(ticker.mTicks, 0) << "timers fired while the check waited";
        close(listener);
    }

    TEST_F(UpdateCheck, AQuietCheckRunsOncePerPeriodAndSaysNothingUnlessThereIsAnUpdate)
    {
        LocalServer server(mFolder.string());
        ASSERT_GT(server.Port(), 0);
        Serve(Feed("TWik", "9.0"));
        UseFeed(server.Link("/feed.xml"));
        constexpr double kDay = 86400;
        auto quiet = [&] {
            Responders::Reset();
            Responders::PressAlertButton(2); // Update Later, should it ask
            EXPECT_EQ(mApp->CommandCheckForUpdate(false), noErr);
            return Alerts().size();
        };
        SetPeriod(kDay);
        mApp->GetPreferences().RemovePref(CApplication::kPrefFirstLaunchDate);
        EXPECT_EQ(quiet(), 0u) << "the first start checks nothing";
        EXPECT_FALSE(Checked()) << "no check ran: none is recorded";
        EXPECT_EQ(quiet(), 0u);
        EXPECT_FALSE(Checked());
        // Never checked, the first check comes a period after the first start.
        mApp->GetPreferences().SetDate(CApplication::kPrefFirstLaunchDate,
            CDateTime(CDateTime::GetTimeNow().GetTimeInSeconds() - kDay * 2));
        EXPECT_EQ(quiet(), 1u) << "due a period after the first start";
        EXPECT_TRUE(Checked());
        SetLastCheck(kDay / 2);
        EXPECT_EQ(quiet(), 0u) << "checked half a period ago";
        SetLastCheck(kDay * 2);
        EXPECT_EQ(quiet(), 1u) << "due";
        EXPECT_EQ(quiet(), 0u) << "the check was recorded";
        SetLastCheck(-kDay);
        EXPECT_EQ(quiet(), 1u) << "a last check in the future counts as due";
        SetPeriod(-1);
        EXPECT_EQ(quiet(), 1u) << "a negative period checks at every start";
        EXPECT_EQ(quiet(), 1u);
        SetPeriod(0);
        SetLastCheck(kDay * 365);
        EXPECT_EQ(quiet(), 0u) << "a period of 0 never checks";

        // Up to date, or failing: quietly; only a check that worked is recorded.
        SetPeriod(kDay);
        Serve(Feed("TWik", "1.0"));
        SetLastCheck(kDay * 2);
        EXPECT_EQ(quiet(), 0u);
        EXPECT_GT(
            mApp->GetPreferences().GetDate(CApplication::kPrefSoftwareUpdateLastCheck, CDateTime()).GetTimeInSeconds(),
            CDateTime::GetTimeNow().GetTimeInSeconds() - kDay);
        UseFeed(server.Link("/missing.xml"));
        SetLastCheck(kDay * 2);
        EXPECT_EQ(quiet(), 0u);
        EXPECT_LT(
            mApp->GetPreferences().GetDate(CApplication::kPrefSoftwareUpdateLastCheck, CDateTime()).GetTimeInSeconds(),
            CDateTime::GetTimeNow().GetTimeInSeconds() - kDay)
            << "a failed check is tried again at the next start";
    }

    // A "version.xml" beside the application is read instead of the server's feed, and
    // needs no server: with none to reach, it is still read.
    TEST_F(UpdateCheck, AFeedBesideTheApplicationTakesTheServersPlace)
    {
        LocalServer server(mFolder.string());
        ASSERT_GT(server.Port(), 0);
        Serve(Feed("TWik", "1.0"));
        TempFolder beside;
        std::filesystem::create_directories(beside / "Tarnwick.app/Contents");
        std::filesystem::copy_file(
            std::string(TW_BUNDLE_DIR) + "/Contents/Info.plist", beside / "Tarnwick.app/Contents/Info.plist");
        WriteFile(beside / "version.xml", Feed("TWik", "9.0"));
        cf::SetMainBundlePath((beside / "Tarnwick.app").string());
        UseFeed(server.Link("/feed.xml"));
        Responders::PressAlertButton(2); // Update Later
        EXPECT_EQ(mApp->CommandCheckForUpdate(true), noErr);
        // A feed with no server to ask: the file beside is still read. (Its first button is
        // More Info, where the note that no server answered has only OK.)
        OpenRecorder recorder;
        UseFeed("tarnwick:no-server");
        Responders::PressAlertButton(1);
        EXPECT_EQ(mApp->CommandCheckForUpdate(true), CApplication::kStatusDownloadingUpdate);
        cf::SetMainBundlePath(TW_BUNDLE_DIR);
        EXPECT_EQ(Alerts(), (std::vector<std::string> { kNewer, kNewer }));
        EXPECT_EQ(recorder.WaitForLog(), "https://tarnwick.org/download/\n");
    }

} // namespace
} // namespace tw::test

TEST(FuzzUpdateFeed, SeedCorpusReplaysCleanly)
{
    auto corpus = std::filesystem::path(TW_SOURCE_DIR) / "framework/tests/fuzz/corpus-feed";
    EXPECT_GE(tw::test::ReplayCorpus(corpus, &tw::fuzz::FuzzUpdateFeedInput), 5);
}
