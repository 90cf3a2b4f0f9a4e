#pragma once

#include "framework/CApplication.h"

// The application until the map application takes its place: the framework's
// start-up, menu bar, document windows, recent items, about box and quit, with
// the program's own names and document type.
class CBasicApplication : public CApplication {
public:
    CString GetPropertyString(unsigned long id) const override;
    CDocument* CreateDocument() override;

    // The command line as the launch Apple events: the files as one open-documents
    // event (or open-application when there are none), each link as a get-URL event.
    static void QueueLaunchEvents(int argc, char** argv);
};
