#include "framework/CVersionInfo.h"

#include <charconv>
#include <string_view>
#include <tuple>

namespace {

enum Field { kMajor, kMinor, kPatch, kBuild };

// A form: '#' stands for a number, any other character for itself; the numbers fill the
// fields in order, and the stage is the form's.
struct VersionForm {
    char const* pattern;
    Field fields[4];
    UInt16 stage;
};

constexpr VersionForm kForms[] = {
    { "#.#.#.#", { kMajor, kMinor, kPatch, kBuild }, CVersionInfo::kStageFinal },
    { "#.#.#a#", { kMajor, kMinor, kPatch, kBuild }, CVersionInfo::kStageAlpha },
    { "#.#.#b#", { kMajor, kMinor, kPatch, kBuild }, CVersionInfo::kStageBeta },
    { "#.#.#d#", { kMajor, kMinor, kPatch, kBuild }, CVersionInfo::kStageDevelopment },
    { "#.#.#", { kMajor, kMinor, kPatch }, CVersionInfo::kStageFinal },
    { "#.#a#", { kMajor, kMinor, kBuild }, CVersionInfo::kStageAlpha },
    { "#.#b#", { kMajor, kMinor, kBuild }, CVersionInfo::kStageBeta },
    { "#.#d#", { kMajor, kMinor, kBuild }, CVersionInfo::kStageDevelopment },
    { "#.#", { kMajor, kMinor }, CVersionInfo::kStageFinal },
};

// The numbers of the text when the form takes all of it; a number too large for a field fails.
bool Match(std::string_view text, VersionForm const& form, UInt16 (&values)[4])
{
    char const* at = text.data();
    char const* const end = text.data() + text.size();
    int next = 0;
    for (char const* p = form.pattern; *p; ++p) {
        if (*p != '#') {
            if (at == end || *at != *p)
                return false;
            ++at;
            continue;
        }
        if (at == end || *at < '0' || *at > '9')
            return false; // digits only: no sign, no space
        UInt16 value = 0;
        auto const [stop, error] = std::from_chars(at, end, value);
        if (error != std::errc())
            return false;
        values[form.fields[next++]] = value;
        at = stop;
    }
    return at == end;
}

} // namespace

CVersionInfo::CVersionInfo(CString const& text)
    : mText(text)
{
    if (!DecodeVersion(text, mMajor, mMinor, mPatch, mStage, mBuild))
        mStage = kStageFinal;
}

bool CVersionInfo::DecodeVersion(
    CString const& text, UInt16& major, UInt16& minor, UInt16& patch, UInt16& stage, UInt16& build)
{
    major = minor = patch = build = 0;
    stage = kStageFinal;
    std::string_view const bytes(text.GetUTF8());
    for (VersionForm const& form : kForms) {
        UInt16 values[4] = {};
        if (!Match(bytes, form, values))
            continue;
        major = values[kMajor];
        minor = values[kMinor];
        patch = values[kPatch];
        build = values[kBuild];
        stage = form.stage;
        return true;
    }
    return false;
}

bool CVersionInfo::IsNewerThan(CVersionInfo const& other) const
{
    return std::tie(mMajor, mMinor, mPatch, mStage, mBuild)
        > std::tie(other.mMajor, other.mMinor, other.mPatch, other.mStage, other.mBuild);
}
