#!/usr/bin/env python3
"""Writes a small NMEA 0183 log of a walk through Göteborg, and a sidecar of the values
it encodes, for the device tests and for trying Tarnwick with tools/nmea-replay.py.

Each second of the walk gives RMC, GGA and GSA sentences (the GPS talker for the first
half, the combined GPS+GLONASS talker "$GN" for the second); the sidecar holds, per fix:
UTC seconds since 2001-01-01, latitude, longitude, altitude [m], speed [m/s], course [deg]
and horizontal dilution, as the sentences round them.

Usage: make_nmea_log.py [output-folder]   (default: devices/tests/data/nmea)
"""

import argparse
import math
import os
from datetime import datetime, timedelta, timezone

START = datetime(2024, 5, 17, 23, 59, 30, tzinfo=timezone.utc)  # crosses midnight on purpose
REFERENCE = datetime(2001, 1, 1, tzinfo=timezone.utc)
FIXES = 60
METRES_PER_DEGREE = 111_320.0


def checksum(body):
    value = 0
    for c in body.encode("ascii"):
        value ^= c
    return "%02X" % value


def sentence(body):
    return "$%s*%s\r\n" % (body, checksum(body))


def angle(value, latitude):
    hemisphere = ("N" if value >= 0 else "S") if latitude else ("E" if value >= 0 else "W")
    value = abs(value)
    degrees = int(value)
    minutes = round((value - degrees) * 60.0, 4)
    if minutes >= 60.0:
        degrees, minutes = degrees + 1, 0.0
    text = ("%02d%07.4f" if latitude else "%03d%07.4f") % (degrees, minutes)
    return text, hemisphere, (degrees + minutes / 60.0) * (1 if hemisphere in "NE" else -1)


def main():
    default = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", "devices", "tests", "data", "nmea"))
    parser = argparse.ArgumentParser(
        description="Writes walk.nmea, a one-minute NMEA 0183 log of a walk through Göteborg, and "
        "walk.csv, the values it encodes, into a folder.")
    parser.add_argument("folder", nargs="?", default=default,
                        help="the folder to write into, made when missing (default: %(default)s)")
    folder = parser.parse_args().folder
    os.makedirs(folder, exist_ok=True)
    latitude, longitude, altitude = 57.70887, 11.97456, 12.0
    lines, rows = [], []
    for i in range(FIXES):
        when = START + timedelta(seconds=i)
        course = (40.0 + 25.0 * math.sin(i / 9.0)) % 360.0
        speed = 1.3 + 0.4 * math.sin(i / 5.0)  # [m/s]
        knots = round(speed / (1852.0 / 3600.0), 2)
        course = round(course, 1)
        dilution = round(0.9 + 0.3 * math.cos(i / 7.0), 1)
        alt = round(altitude + 2.0 * math.sin(i / 11.0), 1)
        talker = "GP" if i < FIXES // 2 else "GN"
        time_text = when.strftime("%H%M%S") + ".00"
        date_text = when.strftime("%d%m%y")
        lat_text, lat_side, lat_value = angle(latitude, True)
        lon_text, lon_side, lon_value = angle(longitude, False)
        lines.append(sentence("%sRMC,%s,A,%s,%s,%s,%s,%.2f,%.1f,%s,,,A" % (
            talker, time_text, lat_text, lat_side, lon_text, lon_side, knots, course, date_text)))
        lines.append(sentence("%sGGA,%s,%s,%s,%s,%s,1,08,%.1f,%.1f,M,39.4,M,," % (
            talker, time_text, lat_text, lat_side, lon_text, lon_side, dilution, alt)))
        lines.append(sentence("%sGSA,A,3,04,05,09,12,17,20,24,28,,,,,1.8,%.1f,1.2" % (talker, dilution)))
        seconds = (when - REFERENCE).total_seconds()
        rows.append("%.0f,%.9f,%.9f,%.1f,%.6f,%.1f,%.1f" % (
            seconds, lat_value, lon_value, alt, knots * 1852.0 / 3600.0, course, dilution))
        # Walk on along the course.
        latitude += speed * math.cos(math.radians(course)) / METRES_PER_DEGREE
        longitude += speed * math.sin(math.radians(course)) / (METRES_PER_DEGREE * math.cos(math.radians(latitude)))
    with open(os.path.join(folder, "walk.nmea"), "w", newline="") as log:
        log.writelines(lines)
    with open(os.path.join(folder, "walk.csv"), "w") as sidecar:
        sidecar.write("# seconds since 2001-01-01 UTC, latitude, longitude, altitude, speed [m/s], course, dilution\n")
        sidecar.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
