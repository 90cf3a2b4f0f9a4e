#pragma once

// An absolute time in seconds since 2001-01-01 00:00 UTC, the reference date
// of CFDate, so dates move between the two without any time-zone shift. Only
// the text and the calendar year use local time. Zero means "no date".

#include "foundation/CString.h"

class CDateTime {
public:
    // Date forms of GetTimeAsString.
    enum : SInt8 {
        kDateFormShort = 0, // 1/5/08
        kDateFormLong = 1, // Saturday, January 5, 2008
        kDateFormAbbreviated = 2, // Sat, Jan 5, 2008
    };

    CDateTime() = default;
    explicit CDateTime(double seconds);

    static CDateTime GetTimeNow();

    double GetTimeInSeconds() const { return mSeconds; } // [s since 2001-01-01 UTC]
    SInt32 GetYear() const; // local calendar year; 0 when the time has no calendar date
    bool IsValid() const { return mSeconds != 0; }

    // English text in local time: the date, the time ("3:04 PM", with seconds "3:04:05 PM"),
    // or both separated by a space. Empty for a time outside the calendar.
    CString GetTimeAsString(bool date, bool time, signed char dateForm, bool seconds) const;

    CDateTime operator-(CDateTime const& other) const { return CDateTime(mSeconds - other.mSeconds); }
    bool operator<(CDateTime const& other) const { return mSeconds < other.mSeconds; }
    bool operator==(CDateTime const& other) const { return mSeconds == other.mSeconds; }
    bool operator!=(CDateTime const& other) const { return mSeconds != other.mSeconds; }

private:
    double mSeconds = 0; // [s since 2001-01-01 00:00 UTC]
};
