#pragma once

// A geographic position: latitude and longitude in degrees and altitude in
// metres. Two coordinates are equal when each value agrees within a relative
// tolerance of 1e-8. The latitude and longitude texts in the user's chosen
// format come from the map manager, which installs its text hooks at start-up;
// until then they are plain decimal degrees.

#include "foundation/CString.h"

class CCoordinate {
public:
    // Formats or parses one latitude (isLatitude) or longitude in the user's format.
    using FormatHook = CString (*)(double degrees, bool isLatitude);
    using ParseHook = bool (*)(CString const& text, bool isLatitude, double& degrees);

    CCoordinate() = default;
    CCoordinate(double latitude, double longitude, double altitude = 0);

    double GetLatitude() const { return mLatitude; } // [deg]
    double GetLongitude() const { return mLongitude; } // [deg]
    double GetAltitude() const { return mAltitude; } // [m]
    void SetLatitude(double latitude) { mLatitude = latitude; }
    void SetLongitude(double longitude) { mLongitude = longitude; }
    void SetAltitude(double altitude) { mAltitude = altitude; }

    // "{%lf, %lf, %lf}": latitude, longitude, altitude.
    CString GetString() const;
    // Reads that form; 0, 0, 0 unless all three fields read as finite numbers.
    void SetString(CString const& text);

    CString GetLatitudeString() const;
    CString GetLongitudeString() const;
    // Text that does not parse, or lies outside ±90° or ±180°, leaves the value unchanged.
    bool SetLatitudeString(CString const& text);
    bool SetLongitudeString(CString const& text);

    bool operator==(CCoordinate const& other) const;
    bool operator!=(CCoordinate const& other) const { return !(*this == other); }

    // Null hooks restore the decimal-degree defaults.
    static void SetTextHooks(FormatHook format, ParseHook parse);

private:
    bool SetFromText(CString const& text, bool isLatitude);

    double mLatitude = 0; // [deg]
    double mLongitude = 0; // [deg]
    double mAltitude = 0; // [m]
};
