#include "app/CTWApplication.h"
#include "app/CSingleInstance.h"
#include "corefoundation/CoreFoundation.h"
#include "display/PresenterChoice.h"
#include "display/WindowServer.h"
#include "events/CarbonEvents.h"
#include "framework/CCommandLine.h"
#include "services/AppleEventManager.h"
#include "toolbox/NibCalls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The bundle must be whole: Info.plist and the string table.
bool CheckBundle()
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle || !CFBundleGetValueForInfoDictionaryKey(bundle, kCFBundleNameKey)) {
        std::fprintf(stderr, "Tarnwick: cannot find the application bundle around the executable.\n");
        return false;
    }
    return true;
}

} // namespace

// Builds the application object, hands it the command line as launch events and
// runs it until the user quits. Standard output stays quiet: the debug log goes
// where its preferences say.
int main(int argc, char** argv)
{
    switch (CTWApplication::ReadOptions(argc, argv)) {
    case CTWApplication::LaunchAction::Help:
        std::fputs(CTWApplication::GetUsage().GetUTF8(), stdout);
        return 0;
    case CTWApplication::LaunchAction::Refuse:
        std::fputs(CTWApplication::GetUsage().GetUTF8(), stderr);
        return 2;
    case CTWApplication::LaunchAction::Run:
        break;
    }
    if (!CheckBundle())
        return 1;

    // One Tarnwick per user and display: a later start hands its command line over.
    char const* display = std::getenv("DISPLAY");
    if (!display || !*display)
        display = std::getenv("WAYLAND_DISPLAY");
    CSingleInstance instance;
    std::string const socket = CSingleInstance::SocketPath(std::getenv("XDG_RUNTIME_DIR"), display);
    if (instance.ClaimOrHandOver(socket, CTWApplication::HandOverWords(argc, argv))
        == CSingleInstance::Claim::HandedOver)
        return 0;

    std::string error;
    if (tw::display::ChoosePresenter(&error) == tw::display::PresenterKind::Headless) {
        if (!error.empty()) {
            std::fprintf(stderr, "Tarnwick: cannot open a window: %s\n", error.c_str());
            return 1;
        }
        char const* headless = std::getenv("TW_HEADLESS");
        if (headless && *headless && std::strcmp(headless, "0") != 0)
            std::fprintf(stderr, "Tarnwick: TW_HEADLESS is set, so there is no window to show; unset it.\n");
        else
            std::fprintf(stderr,
                "Tarnwick: no display to open a window on: start it in a desktop session, or set "
                "DISPLAY (X11) or WAYLAND_DISPLAY to the display to use.\n");
        return 1;
    }
    // An unhandled Quit command becomes a quit Apple event, which ends the loop.
    tw::services::AppleEventManager::Get().EnsureStandardHandlers();
    CCommandLine::GetDefaultCommandLine().AddArgumentsFromArgv(argc, argv);
    OSStatus status = noErr;
    {
        CTWApplication app;
        app.SetLaunchArguments(argc, argv);
        instance.Listen(&CTWApplication::QueueHandedOver);
        // Nothing is drawn before the loop first runs, with the menu bar in place.
        status = app.Run();
    }
    // The window goes with the process: stopping SDL's video here would unload
    // libraries that still hold allocations of their own.
    // A session that ended with changes that could be written nowhere (said already) fails.
    if (CApplication::LostWorkAtSessionEnd())
        return 1;
    if (status != noErr)
        std::fprintf(stderr, "Tarnwick: start-up failed (error %d).\n", int(status));
    return status == noErr ? 0 : 1;
}
