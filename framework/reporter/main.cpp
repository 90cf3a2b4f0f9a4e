// The crash reporter: started by a program that crashed, with the report it
// wrote. It saves the report where the user finds it ("Crash Reports" in the
// program's folder of the user's data), shows it with the desktop's viewer, and
// removes the folder it was unpacked into. It stands alone: a crashed program's
// libraries are no help.
//
// BugReporter <report file>
// It lives in "<folder>/BugReporter.app/Contents/MacOS"; the folder may hold the
// packed reporter, the configuration "Client.plist" and "Resources" to add.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr char kReporterFolder[] = "com.pellmar.bugreporter."; // and the user's id
constexpr char kOpenCommandVariable[] = "TW_OPEN_COMMAND"; // as the program's own: tests record instead

std::string ReadText(fs::path const& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Unescape(std::string text)
{
    static std::pair<char const*, char const*> const kEntities[]
        = { { "&lt;", "<" }, { "&gt;", ">" }, { "&quot;", "\"" }, { "&apos;", "'" }, { "&amp;", "&" } };
    for (auto const& [entity, character] : kEntities)
        for (std::size_t at = 0; (at = text.find(entity, at)) != std::string::npos; at += std::strlen(character))
            text.replace(at, std::strlen(entity), character);
    return text;
}

// The configuration's texts: each <key> followed by a <string>; anything else is left out.
std::map<std::string, std::string> ReadConfiguration(fs::path const& plist)
{
    std::map<std::string, std::string> values;
    std::string const text = ReadText(plist);
    for (std::size_t at = 0; (at = text.find("<key>", at)) != std::string::npos;) {
        std::size_t const keyEnd = text.find("</key>", at);
        if (keyEnd == std::string::npos)
            break;
        std::string const key = text.substr(at + 5, keyEnd - at - 5);
        std::size_t const value = text.find_first_not_of(" \t\r\n", keyEnd + 6);
        at = keyEnd + 6;
        if (value == std::string::npos || text.compare(value, 8, "<string>") != 0)
            continue;
        std::size_t const valueEnd = text.find("</string>", value);
        if (valueEnd == std::string::npos)
            break;
        values[Unescape(key)] = Unescape(text.substr(value + 8, valueEnd - value - 8));
    }
    return values;
}

// The packed reporter is spent; the configuration and added resources join the reporter's own.
void Settle(fs::path const& folder, fs::path const& resources)
{
    std::error_code ec;
    fs::remove(folder / "BugReporter.app.tar.gz", ec);
    fs::create_directories(resources, ec);
    if (fs::exists(folder / "Client.plist", ec))
        fs::rename(folder / "Client.plist", resources / "Client.plist", ec);
    if (fs::is_directory(folder / "Resources", ec))
        fs::copy(
            folder / "Resources", resources, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
}

fs::path ReportsFolder(std::string const& product)
{
    char const* data = std::getenv("XDG_DATA_HOME");
    char const* home = std::getenv("HOME");
    fs::path base = data && data[0] == '/' ? fs::path(data) : fs::path(home ? home : "/tmp") / ".local/share";
    return base / product / "Crash Reports";
}

// "<product> 2024-05-01 13.45.10.txt", with a number added when that name is taken.
fs::path NewReportFile(fs::path const& folder, std::string const& product)
{
    std::time_t const now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H.%M.%S", &local);
    fs::path file = folder / (product + " " + stamp + ".txt");
    for (int n = 2; fs::exists(file); ++n)
        file = folder / (product + " " + stamp + " " + std::to_string(n) + ".txt");
    return file;
}

// Through the desktop's "open" command, without a shell; nothing to show it on without a display.
void Show(fs::path const& report)
{
    char const* command = std::getenv(kOpenCommandVariable);
    bool const recorded = command && command[0];
    if (!recorded && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        return;
    std::string const program = recorded ? command : "xdg-open";
    std::string const path = report.string();
    char* argv[] = { const_cast<char*>(program.c_str()), const_cast<char*>(path.c_str()), nullptr };
    pid_t pid = 0;
    if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) == 0)
        waitpid(pid, nullptr, 0);
}

// The folder this reporter was unpacked into, when it is one the program made.
fs::path OwnFolder(fs::path const& self)
{
    fs::path const folder = self.parent_path().parent_path().parent_path().parent_path();
    bool const ours = folder.parent_path().filename() == kReporterFolder + std::to_string(getuid())
        && folder.filename().string().rfind("client_", 0) == 0;
    return ours ? folder : fs::path();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: BugReporter <report file>\n");
        return 2;
    }
    std::error_code ec;
    fs::path const self = fs::read_symlink("/proc/self/exe", ec);
    fs::path const resources = self.parent_path().parent_path() / "Resources";
    fs::path const folder = OwnFolder(self);
    if (!folder.empty())
        Settle(folder, resources);
    auto configuration = ReadConfiguration(resources / "Client.plist");
    std::string const product
        = configuration["BRProductName"].empty() ? std::string("Tarnwick") : configuration["BRProductName"];

    std::string const report = ReadText(argv[1]);
    if (report.empty()) {
        std::fprintf(stderr, "BugReporter: no report in \"%s\"\n", argv[1]);
        return 1;
    }
    fs::path const reports = ReportsFolder(product);
    fs::create_directories(reports, ec);
    fs::path const saved = NewReportFile(reports, product);
    {
        std::ofstream out(saved, std::ios::binary);
        out << report;
        if (!configuration["BRCrashLogName"].empty())
            out << "\nProgram: " << configuration["BRCrashLogName"] << "\n";
        if (!out.flush()) {
            std::fprintf(stderr, "BugReporter: the report could not be saved as \"%s\"\n", saved.c_str());
            return 1;
        }
    }
    std::fprintf(stderr, "%s quit unexpectedly. The report is saved as \"%s\".\n", product.c_str(), saved.c_str());
    Show(saved);
    if (!folder.empty()) {
        fs::remove_all(folder, ec);
        rmdir(folder.parent_path().c_str()); // the user's folder, once no other client is in it
    }
    return 0;
}
