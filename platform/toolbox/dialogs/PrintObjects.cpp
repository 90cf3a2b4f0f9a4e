#include "toolbox/dialogs/PrintObjects.h"

#include "toolbox/dialogs/PrintPanel.h"

#include <cstdio>
#include <fstream>
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

std::string DefaultPaper()
{
    std::ifstream in("/etc/papersize");
    std::string word;
    in >> word;
    return word == "a4" ? "iso-a4" : "na-letter";
}

} // namespace tw::toolbox::dialogs
