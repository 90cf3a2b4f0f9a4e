#pragma once

// A version text such as "1.2.3", "1.2.3b4" or "1.2d7" as numbers that compare:
// major, minor, patch, the release stage and the build within it.

#include "foundation/CString.h"

class CVersionInfo {
public:
    // Release stages, in the order they come.
    enum : UInt16 {
        kStageDevelopment = 32,
        kStageAlpha = 64,
        kStageBeta = 96,
        kStageFinal = 128,
    };

    CVersionInfo() = default;
    // A text no form fits gives zeros, as a final release.
    explicit CVersionInfo(CString const& text);

    // Tries "a.b.c.d", "a.b.cXn", "a.b.c", "a.bXn" and "a.b" (X: a alpha, b beta, d
    // development) in that order; the first that takes the whole text wins. The outputs
    // start as 0.0.0 final, build 0.
    static bool DecodeVersion(
        CString const& text, UInt16& major, UInt16& minor, UInt16& patch, UInt16& stage, UInt16& build);

    // Field by field at full width, so 1.16 is newer than 1.15, and a final release is
    // newer than any beta of the same numbers.
    bool IsNewerThan(CVersionInfo const& other) const;

    UInt16 GetMajor() const { return mMajor; }
    UInt16 GetMinor() const { return mMinor; }
    UInt16 GetPatch() const { return mPatch; }
    UInt16 GetStage() const { return mStage; }
    UInt16 GetBuild() const { return mBuild; }
    CString const& GetText() const { return mText; }

private:
    UInt16 mMajor = 0;
    UInt16 mMinor = 0;
    UInt16 mPatch = 0;
    UInt16 mStage = 0;
    UInt16 mBuild = 0;
    UInt16 mReserved = 0;
    CString mText;
};
