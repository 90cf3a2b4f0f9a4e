#include "toolbox/dialogs/PrintObjects.h"

#include "toolbox/dialogs/PrintPanel.h"

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <langinfo.h>
#include <locale.h>
#include <set>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tw::toolbox::dialogs {

namespace {

    std::set<PrintObject const*> sLive;

} // namespace

PrintObject::PrintObject() { sLive.insert(this); }

PrintObject::~PrintObject() { sLive.erase(this); }

bool PrintObject::IsLive(PrintObject const* object) { return object && sLive.count(object) != 0; }

void PrintObject::Release()
{
    if (--mRefs == 0)
        delete this;
}

CGSize PageFormat::PaperSizeOf(std::string const& paper)
{
    if (paper == "na-letter")
        return { 612, 792 };
    if (paper == "iso-a4")
        return { 595, 842 };
    return { 0, 0 };
}

CGSize PageFormat::PaperSize() const
{
    CGSize const size = PaperSizeOf(mPaper);
    return mOrientation == kPMLandscape ? CGSize { size.height, size.width } : size;
}

PMRect PageFormat::PaperRect() const
{
    CGSize const size = PaperSize();
    return { -kMargin, -kMargin, size.height - kMargin, size.width - kMargin };
}

PMRect PageFormat::PageRect() const
{
    CGSize const size = PaperSize();
    return { 0, 0, size.height - 2 * kMargin, size.width - 2 * kMargin };
}

PrintSession::PrintSession() = default;

PrintSession::~PrintSession()
{
    mPanel.reset();
    if (mContext)
        CGContextRelease(mContext);
}

std::string DefaultPrinter()
{
    FILE* pipe = popen("lpstat -d 2>/dev/null", "r");
    if (!pipe)
        return {};
    char line[512] = {};
    std::string printer;
    if (fgets(line, sizeof line, pipe)) {
        std::string const text(line);
        std::size_t const colon = text.find(": ");
        if (text.find("default destination") != std::string::npos && colon != std::string::npos) {
            printer = text.substr(colon + 2);
            while (!printer.empty() && (printer.back() == '\n' || printer.back() == ' '))
                printer.pop_back();
        }
    }
    pclose(pipe);
    return printer;
}

OSStatus SpoolPDF(std::string const& printer, std::string const& file, UInt32 copies, std::string const& title)
{
    std::string const copiesText = std::to_string(copies);
    std::vector<std::string> args = { "lp", "-s", "-n", copiesText };
    if (!printer.empty())
        args.insert(args.end(), { "-d", printer });
    if (!title.empty())
        args.insert(args.end(), { "-t", title });
    args.insert(args.end(), { "--", file });
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t const child = fork();
    if (child < 0)
        return kPMGeneralError;
    if (child == 0) {
        execvp("lp", argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return kPMGeneralError;
    return noErr;
}

std::string DefaultPaper(std::string const& papersizeFile)
{
    // The file holds a paper name, maybe after comment lines.
    std::ifstream in(papersizeFile);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t const start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        std::string const word = line.substr(start, line.find_first_of(" \t\r", start) - start);
        // ISO sizes (a4, a5, b5...) are nearest to A4; the American ones to Letter.
        return word[0] == 'a' || word[0] == 'b' || word[0] == 'A' || word[0] == 'B' ? "iso-a4" : "na-letter";
    }
    return LocalePaper();
}

std::string LocalePaper()
{
    if (locale_t const locale = newlocale(LC_PAPER_MASK, "", nullptr)) {
        // The C library answers these two with numbers [mm] in place of text.
        auto const width = reinterpret_cast<std::uintptr_t>(nl_langinfo_l(_NL_PAPER_WIDTH, locale));
        auto const height = reinterpret_cast<std::uintptr_t>(nl_langinfo_l(_NL_PAPER_HEIGHT, locale));
        freelocale(locale);
        return width == 216 && height == 279 ? "na-letter" : "iso-a4";
    }
    // Not installed: the countries that use Letter, from the name ("en_US.UTF-8").
    static constexpr char const* kLetterCountries[]
        = { "US", "CA", "MX", "PR", "PH", "CL", "CO", "VE", "CR", "GT", "NI", "PA", "SV", "DO" };
    std::string name;
    for (char const* variable : { "LC_ALL", "LC_PAPER", "LANG" }) {
        char const* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    std::size_t const underscore = name.find('_');
    if (underscore == std::string::npos)
        return "iso-a4";
    std::string const country = name.substr(underscore + 1, name.find_first_of(".@", underscore) - underscore - 1);
    for (char const* letter : kLetterCountries)
        if (country == letter)
            return "na-letter";
    return "iso-a4";
}

} // namespace tw::toolbox::dialogs
