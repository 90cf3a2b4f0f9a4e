#include "foundation/CSystemUtilities.h"

#include "foundation/CTextScanner.h"

#include <dlfcn.h>
#include <fstream>
#include <pwd.h>
#include <string>
#include <sys/utsname.h>
#include <unistd.h>

namespace {

std::optional<double> FirstNumber(std::string const& text)
{
    CTextScanner scanner(text);
    return scanner.Double();
}

// The processor's nominal top speed from cpufreq, else the current one from /proc/cpuinfo.
std::optional<double> SpeedInMHz()
{
    std::ifstream frequency("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
    std::string line;
    if (std::getline(frequency, line))
        if (auto kHz = FirstNumber(line); kHz && *kHz > 0)
            return *kHz / 1000;
    std::ifstream info("/proc/cpuinfo");
    while (std::getline(info, line)) {
        if (line.rfind("cpu MHz", 0) != 0)
            continue;
        std::size_t colon = line.find(':');
        if (colon != std::string::npos)
            return FirstNumber(line.substr(colon + 1));
    }
    return std::nullopt;
}

} // namespace

void CSystemUtilities::GetSystemVersion(CString& version)
{
    utsname names {};
    if (uname(&names) != 0) {
        version = "Linux";
        return;
    }
    std::string release = names.release;
    // "6.1.0-18-amd64" reads as "6.1.0".
    release = release.substr(0, release.find_first_not_of("0123456789."));
    version.Format("%s %s", names.sysname, release.c_str());
}

UInt32 CSystemUtilities::GetCPUSpeed()
{
    auto speed = SpeedInMHz();
    return speed && *speed > 0 && *speed < 1e6 ? UInt32(*speed + 0.5) : 0;
}

UInt64 CSystemUtilities::GetPhysicalMemory()
{
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? UInt64(pages) * UInt64(pageSize) : 0;
}

CString CSystemUtilities::GetUsersName()
{
    passwd const* entry = getpwuid(getuid());
    if (!entry)
        return CString();
    std::string gecos = entry->pw_gecos ? entry->pw_gecos : "";
    std::string fullName = gecos.substr(0, gecos.find(','));
    return CString((fullName.empty() ? entry->pw_name : fullName.c_str()));
}

void* CSystemUtilities::GetFrameworkFunction(CString const& function, CString const& framework)
{
    if (function.IsEmpty() || framework.IsEmpty())
        return nullptr;
    // The library stays loaded for the life of the process, as the functions looked up in it must.
    void* library = dlopen(framework.GetUTF8(), RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return nullptr;
    return dlsym(library, function.GetUTF8());
}
