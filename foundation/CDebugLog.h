#pragma once

// The process-wide prioritised logger. Each line reads "[ms] name P: message":
// milliseconds since system start, a category or the process name, and a
// priority letter from "IDWE". Lines go to standard output and/or a file
// "<process> Log.txt" in a chosen folder (the Desktop unless set). Any thread.

#include "foundation/CFile.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

class CDebugLog {
public:
    enum : UInt32 {
        kLogOutputStdout = 1,
        kLogOutputFile = 2,
    };
    enum : UInt32 {
        kPriorityInfo = 0,
        kPriorityDebug = 1,
        kPriorityWarning = 2,
        kPriorityError = 3,
    };
    static constexpr std::size_t kMaxLineLength = 10240; // [bytes] prefix and message

    static CDebugLog* GetDebugLog();

    void SetLogOutputs(UInt32 outputs);
    UInt32 GetLogOutputs() const;
    // The user domain's folder of that type ('desk', 'temp', ...); fnfErr when there is none.
    OSStatus SetLogFileOutputFolder(OSType folderType);
    CFile GetLogFile() const;
    void SetAutoFlush(bool autoFlush);

    // A null category stands for the process name.
    void Log(UInt32 priority, char const* category, char const* format, ...) __attribute__((format(printf, 4, 5)));
    void LogV(UInt32 priority, char const* category, char const* format, va_list arguments);
    void Flush();

    // Test only: closes the file and restores the first state.
    static void ResetForTesting();

private:
    CDebugLog() = default;
    ~CDebugLog();
    void Write(std::string const& line); // with mMutex held
    void CloseFile();

    mutable std::mutex mMutex;
    UInt32 mOutputs = 0;
    bool mAutoFlush = false;
    OSType mFolderType = kDesktopFolderType;
    std::FILE* mFile = nullptr; // owns; opened at the first line written to it
};
