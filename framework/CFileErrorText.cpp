#include "framework/CFileErrorText.h"

#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "foundation/Status.h"
#include "toolbox/dialogs/Printing.h"

#include <string_view>
#include <climits>
#include <unistd.h>

namespace {

CString Text(char const* english) { return CTextUtilities::GetBundleString(english); }

// The reasons that do not depend on the operation, or null.
char const* CommonReason(OSStatus status)
{
    switch (status) {
    case wrPermErr:
        return "The disk is read-only.";
    case dskFulErr:
        return "The disk is full.";
    case ioErr:
        return "The disk could not be read or written.";
    default:
        return nullptr;
    }
}

// A file that could not be read as a property list but begins as one was cut short or damaged:
// it is no other kind of file.
bool BeginsAsPropertyList(CFile const& file)
{
    OSStatus status = noErr;
    int const fd = CFileUtilities::OpenForReading(file, status);
    if (fd < 0)
        return false;
    char head[512];
    ssize_t const count = read(fd, head, sizeof head);
    close(fd);
    if (count <= 0)
        return false;
    std::string_view const text(head, std::size_t(count));
    return text.starts_with("bplist") || text.find("<plist") != std::string_view::npos
        || text.find("<!DOCTYPE plist") != std::string_view::npos;
}

// A name longer than any folder takes: said as such, whatever the call failed with.
bool IsNameTooLong(CFile const& file, OSStatus status)
{
    if (status == bdNamErr)
        return true;
    if (!file.IsSpecified())
        return false;
    std::string const path = file.GetPath();
    std::size_t const slash = path.find_last_of('/');
    std::size_t const name = slash == std::string::npos ? path.size() : path.size() - slash - 1;
    return name > NAME_MAX || path.size() >= PATH_MAX;
}

} // namespace

CString CFileErrorText::GetHeadline(Operation operation, CString const& name)
{
    char const* const format = operation == kOpen ? "\u201C%s\u201D could not be opened."
        : operation == kSave                      ? "\u201C%s\u201D could not be saved."
                                                  : "\u201C%s\u201D could not be printed.";
    CString headline;
    headline.Format(Text(format).GetUTF8(), name.GetUTF8());
    return headline;
}

CString CFileErrorText::GetReason(Operation operation, CFile const& file, OSStatus status)
{
    bool const reading = operation == kOpen;
    if (operation != kPrint && IsNameTooLong(file, status))
        return Text("The name is too long: a file name can have at most 255 bytes (fewer letters when they are "
                    "not plain ASCII).");
    if (reading && file.IsSpecified() && !file.Exists())
        return Text("There is no such file.");
    if (reading && file.DirectoryExists())
        return Text("It is a folder.");
    if (reading && (status == kNotAFileErr || (file.Exists() && !file.FileExists())))
        return Text("It is not an ordinary file: only files can be opened.");
    if (operation == kSave && file.DirectoryExists())
        return Text("A folder of that name is where the file should go.");
    if (char const* common = CommonReason(status))
        return Text(common);
    CString reason;
    switch (status) {
    case kNothingParseableErr:
        if (!reading)
            break;
        if (BeginsAsPropertyList(file))
            return Text("It is damaged or cut short: it could not be read to its end.");
        reason.Format(Text("It is not a %s document.").GetUTF8(),
            CFileUtilities::GetBundleInfoPListKeyValue(CFBundleGetMainBundle(), "CFBundleName").GetUTF8());
        return reason;
    case permErr:
        return Text(reading ? "You do not have permission to read it." : "You do not have permission to write there.");
    case fnfErr:
        return Text(reading ? "There is no such file." : "The folder it goes in no longer exists.");
    case kPMNoDefaultPrinter:
        return Text("No printer is set up.");
    case kPMGeneralError:
        return Text("The PDF file could not be written, or the printer refused the job.");
    case eofErr:
        return Text("The file ends too early: it may be damaged.");
    case memFullErr:
        return Text(reading ? "The file is too large." : "There is not enough memory.");
    default:
        break;
    }
    reason.Format(Text("An unexpected error occurred (code %d).").GetUTF8(), int(status));
    return reason;
}
