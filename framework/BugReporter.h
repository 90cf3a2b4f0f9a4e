#pragma once

// The crash reporter. At start-up the reporter program (packed with the
// application as a gzip-compressed tar archive) and its configuration are written
// into a folder of this process among the temporary items, and a handler is
// installed for the fatal signals. On such a signal the handler writes a report
// (the signal, a backtrace, the version and the last lines of the debug log),
// unpacks the reporter with tar, starts it with the report and ends the process.
// The reporter saves the report where the user finds it and shows it. Everything
// the handler needs is prepared at installation: it only writes, forks and execs.
// Installation and removal run on the main thread.

#include "foundation/CString.h"

#include <cstddef>

enum BugReporterStatus : OSStatus {
    kBugReporterInstalled = 0,
    kBugReporterUnavailable = 10, // disabled by the user, or no tar to unpack with
    kBugReporterCannotWrite = 20, // the folder or a file could not be made or written
    kBugReporterNoConfiguration = 30, // none, or no property list
    kBugReporterMissingKey = 40,
    kBugReporterCannotEncode = 50,
};

// The reporter's packed bundle, "BugReporter.app" in a gzip-compressed tar archive.
extern "C" unsigned char const gBugReporter[];
extern "C" unsigned char const gBugReporterEnd[];

// 0 when the reporter may run: the preference "BRDisable" is not set.
OSStatus IsBugReporterAvailable();
// The configuration is a property list holding one dictionary (see the reporter's keys).
OSStatus EnableBugReporter(CString const& configuration);
// Puts back the signal handlers found at installation and removes the folder.
void DisableBugReporter();
// The folder written at installation; empty while the reporter is not installed.
CString GetBugReporterFolder();
