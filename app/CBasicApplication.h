#pragma once

#include "framework/CApplication.h"

#include <string>
#include <vector>

// The application until the map application takes its place: the framework's
// start-up, menu bar, document windows, recent items, about box and quit, with
// the program's own names and document type.
class CBasicApplication : public CApplication {
public:
    // The crash reporter is installed for as long as the application object lives.
    CBasicApplication();
    ~CBasicApplication() override;

    CString GetPropertyString(unsigned long id) const override;
    CDocument* CreateDocument() override;
    // Installs the widget and preference-binding support before the first window.
    OSStatus InitialiseBegin() override;
    // Queues the launch events last, so that they find the menu bar and the windows ready.
    OSStatus InitialiseFinish() override;
    // Shows the preferences window and brings it to the front.
    OSStatus CommandPrefs() override;

    // The command line the launch events are made from; kept, not copied.
    void SetLaunchArguments(int argc, char** argv);

    // The command line as the launch Apple events: the files as one open-documents
    // event (or open-application when there are none), each link as a get-URL event.
    // Words that begin with "-" are options, never files.
    static void QueueLaunchEvents(int argc, char** argv);

    // What the command line's options ask: "--help" the usage, any other option is refused.
    enum class LaunchAction { Run, Help, Refuse };
    static LaunchAction ReadOptions(int argc, char** argv);
    // The one-line usage, with its newline.
    static CString GetUsage();

    // What a start hands to the running instance: its files made absolute (its folder
    // is not the instance's), its links as they are, no options.
    static std::vector<std::string> HandOverWords(int argc, char** argv);
    // The instance's side: the words as launch events; none is a reopen, as a second
    // launch of a running program is.
    static void QueueHandedOver(std::vector<std::string> const& words);

    // Once per process: the preference bindings, the widget seam of windows and the widget classes.
    static OSStatus InstallSupport();

private:
    int mArgc = 0;
    char** mArgv = nullptr; // weak: the process's own arguments
};
