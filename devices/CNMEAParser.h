#pragma once

// Reads NMEA 0183 from a byte stream: sentences from "$" to CR LF, each checked
// against its checksum, and the position sentences RMC and GGA of the GPS,
// GLONASS, Galileo, BeiDou, QZSS, NavIC and combined talkers ("$GP", "$GL",
// "$GA", "$GB" or "$BD", "$GQ", "$GI", "$GN") turned into fixes. The sentences
// of one moment (one UTC time) make one fix: it is given out once both
// sentences arrived, when a later moment starts, or by Flush. A moment that a
// sentence calls void (RMC status V, GGA quality 0) gives a fix of kFixNone:
// the receiver has lost its position. Garbage, truncated lines and bad
// checksums are counted and dropped. Any thread, one stream per parser.

#include "devices/CGPSPosVelTime.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CNMEAParser {
public:
    static constexpr std::size_t kMaxSentenceLength = 128; // [bytes]; the standard allows 82
    static constexpr double kUserRangeError = 5.0; // [m] per unit of horizontal dilution: the accuracy estimate
    static constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

    // Appends each fix completed by these bytes.
    void Feed(char const* bytes, std::size_t count, std::vector<CGPSPosVelTime>& fixes);
    // Gives out a moment that has waited through one earlier Flush: a receiver that sends only
    // one of the two sentences still yields its fixes, one call late.
    void Flush(std::vector<CGPSPosVelTime>& fixes);
    void Reset();

    UInt32 GetValidSentences() const { return mValidSentences; } // every checksum that matched
    UInt32 GetBadSentences() const { return mBadSentences; }

    // Whether the line (without CR LF) is "$" text "*" and two hex digits that match it.
    static bool IsValidSentence(std::string_view line);
    // Days from 2001-01-01 to the date (proleptic Gregorian).
    static SInt64 DaysSinceReference(int year, int month, int day);

private:
    // No date known; dates before 2001 (from 1980 on) count as well as later ones.
    static constexpr SInt64 kNoDate = INT64_MIN;
    struct Moment {
        double timeOfDay = -1; // [s] UTC; -1 when the sentences gave none
        bool hasRMC = false;
        bool hasGGA = false;
        bool valid = true; // no sentence said the fix is void
        bool hasPosition = false;
        double latitude = 0, longitude = 0; // [deg]
        bool hasAltitude = false;
        double altitude = 0; // [m] above mean sea level
        double speed = 0; // [m/s]
        double course = 0; // [deg]
        double dilution = 0; // horizontal
        SInt64 days = kNoDate; // date of the fix, days since 2001-01-01
        bool waited = false; // survived one Flush
    };

    bool EndLine(std::string_view& line); // the line when it is a valid sentence
    void Interpret(std::string_view sentence, std::vector<CGPSPosVelTime>& fixes);
    bool ReadRMC(std::vector<std::string_view> const& fields, Moment& moment);
    bool ReadGGA(std::vector<std::string_view> const& fields, Moment& moment);
    void Emit(std::vector<CGPSPosVelTime>& fixes);

    std::string mLine;
    bool mInSentence = false;
    bool mLineDamaged = false;
    Moment mMoment;
    bool mHasMoment = false;
    SInt64 mLastDays = kNoDate; // the last date an RMC gave
    UInt32 mValidSentences = 0;
    UInt32 mBadSentences = 0;
};
