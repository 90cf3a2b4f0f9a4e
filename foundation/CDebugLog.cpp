#include "foundation/CDebugLog.h"

#include "foundation/CFileUtilities.h"

#include <cerrno>
#include <ctime>
#include <string>

namespace {

constexpr char kPriorityLetters[] = "IDWE";

unsigned long MillisecondsSinceStart()
{
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<unsigned long>(now.tv_sec) * 1000UL + static_cast<unsigned long>(now.tv_nsec / 1000000);
}

// Cuts to at most maxLength bytes without ending inside a UTF-8 sequence.
void Truncate(std::string& text, std::size_t maxLength)
{
    if (text.size() <= maxLength)
        return;
    std::size_t n = maxLength;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    text.resize(n);
}

} // namespace

CDebugLog* CDebugLog::GetDebugLog()
{
    static CDebugLog* const sLog = new CDebugLog; // lives to the end: workers may log during exit
    return sLog;
}

CDebugLog::~CDebugLog() { CloseFile(); }

void CDebugLog::SetLogOutputs(UInt32 outputs)
{
    std::lock_guard lock(mMutex);
    mOutputs = outputs;
    if (!(mOutputs & kLogOutputFile))
        CloseFile();
}

UInt32 CDebugLog::GetLogOutputs() const
{
    std::lock_guard lock(mMutex);
    return mOutputs;
}

OSStatus CDebugLog::SetLogFileOutputFolder(OSType folderType)
{
    if (tw::services::StandardFolderPath(kUserDomain, folderType).empty())
        return fnfErr;
    std::lock_guard lock(mMutex);
    if (folderType != mFolderType)
        CloseFile();
    mFolderType = folderType;
    return noErr;
}

CFile CDebugLog::GetLogFile() const
{
    OSType folderType;
    {
        std::lock_guard lock(mMutex);
        folderType = mFolderType;
    }
    CFile folder = CFileUtilities::FindFolder(kUserDomain, folderType, false, CString());
    CString name;
    name.Format("%s Log.txt", program_invocation_short_name);
    return folder.IsSpecified() ? folder.GetChild(name) : CFile();
}

void CDebugLog::SetAutoFlush(bool autoFlush)
{
    std::lock_guard lock(mMutex);
    mAutoFlush = autoFlush;
}

void CDebugLog::Log(UInt32 priority, char const* category, char const* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    LogV(priority, category, format, arguments);
    va_end(arguments);
}

void CDebugLog::LogV(UInt32 priority, char const* category, char const* format, va_list arguments)
{
    if (GetLogOutputs() == 0 || !format)
        return;
    char prefix[512];
    char letter = kPriorityLetters[priority < 3 ? priority : 3];
    std::snprintf(prefix, sizeof prefix, "[%lu] %s %c: ", MillisecondsSinceStart(),
        category ? category : program_invocation_short_name, letter);
    std::string line = prefix;
    char message[kMaxLineLength + 1];
    int n = std::vsnprintf(message, sizeof message, format, arguments);
    if (n > 0)
        line.append(message, std::min<std::size_t>(std::size_t(n), kMaxLineLength));
    Truncate(line, kMaxLineLength);
    line += '\n';
    std::lock_guard lock(mMutex);
    Write(line);
}

void CDebugLog::Write(std::string const& line)
{
    if (mOutputs & kLogOutputStdout) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        if (mAutoFlush)
            std::fflush(stdout);
    }
    if (!(mOutputs & kLogOutputFile))
        return;
    if (!mFile) {
        std::string folder = tw::services::StandardFolderPath(kUserDomain, mFolderType);
        std::string path = folder + "/" + program_invocation_short_name + " Log.txt";
        mFile = folder.empty() ? nullptr : std::fopen(path.c_str(), "ae");
        if (!mFile)
            return;
    }
    std::fwrite(line.data(), 1, line.size(), mFile);
    if (mAutoFlush)
        std::fflush(mFile);
}

void CDebugLog::Flush()
{
    std::lock_guard lock(mMutex);
    std::fflush(stdout);
    if (mFile)
        std::fflush(mFile);
}

void CDebugLog::CloseFile()
{
    if (mFile)
        std::fclose(mFile);
    mFile = nullptr;
}

void CDebugLog::ResetForTesting()
{
    CDebugLog* log = GetDebugLog();
    std::lock_guard lock(log->mMutex);
    log->CloseFile();
    log->mOutputs = 0;
    log->mAutoFlush = false;
    log->mFolderType = kDesktopFolderType;
}
