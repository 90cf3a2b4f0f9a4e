#include "app/CTWApplication.h"
#include "corefoundation/CoreFoundation.h"
#include "display/PresenterChoice.h"
#include "display/WindowServer.h"
#include "framework/CCommandLine.h"
#include "services/AppleEventManager.h"

#include <cstdio>
#include <string>

namespace {

// The bundle must be whole: Info.plist and the string table.
bool CheckBundle()
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle) {
        std::fprintf(stderr, "Tarnwick: cannot find the application bundle around the executable.\n");
        return false;
    }
    return true;
}

} // namespace

// Builds the application object, hands it the command line as launch events and
// runs it until the user quits.
int main(int argc, char** argv)
{
    if (!CheckBundle())
        return 1;
    std::string error;
    if (tw::display::ChoosePresenter(&error) == tw::display::PresenterKind::Headless) {
        if (!error.empty()) {
            std::fprintf(stderr, "Tarnwick: cannot open a window: %s\n", error.c_str());
            return 1;
        }
        std::printf("No display: nothing to show (tools/run.sh runs Tarnwick on a virtual display).\n");
        return 0;
    }
    // An unhandled Quit command becomes a quit Apple event, which ends the loop.
    tw::services::AppleEventManager::Get().EnsureStandardHandlers();
    CCommandLine::GetDefaultCommandLine().AddArgumentsFromArgv(argc, argv);
    OSStatus status = noErr;
    {
        CTWApplication app;
        app.SetLaunchArguments(argc, argv);
        tw::display::WindowServer::Get().Compose();
        status = app.Run();
    }
    // The window goes with the process: stopping SDL's video here would unload
    // libraries that still hold allocations of their own.
    if (status != noErr)
        std::fprintf(stderr, "Tarnwick: start-up failed (error %d).\n", int(status));
    return status == noErr ? 0 : 1;
}
