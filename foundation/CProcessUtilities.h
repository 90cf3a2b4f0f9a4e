#pragma once

// The running process (its name, version, bringing it to the front) and
// opening a file with another application.

#include "foundation/CFile.h"

class CProcessUtilities {
public:
    // Applications known by creator code.
    static constexpr OSType kCreatorGlobeViewer = 'Erth';
    // The globe viewer's command line comes from this variable; without it there is none.
    static constexpr char const* kGlobeViewerVariable = "TW_GLOBE_VIEWER";
    // The command that opens a file with its default application (tests record instead).
    static constexpr char const* kOpenCommandVariable = "TW_OPEN_COMMAND";

    // The name and application reference point into buffers of this class, valid until the next call.
    static OSStatus GetProcessInfo(ProcessInfoRec& info);
    static CString GetProcessName();
    static CString GetProcessVersion(); // the bundle's CFBundleVersion

    // Starts the application of that creator with the file (creator 0: the file's default
    // application, through xdg-open). kLSApplicationNotFoundErr when there is no such
    // application, it cannot be started, or (creator 0) it gave up at once.
    static OSStatus OpenDocWithApp(OSType creator, CFile const& file);
    // Creator 0 brings this process to the front; other processes cannot be reached.
    static OSStatus SetFrontProcess(OSType creator, OSType type);
};
