#!/usr/bin/env python3
"""Writes the seed corpora of the device readers' fuzz entries: NMEA text with damaged,
truncated and extreme sentences, and Garmin USB byte streams (a first byte choosing the
piece size, then packets) with whole, short and oversized records.

Usage: make_device_fuzz_seeds.py [fuzz-folder]   (default: devices/tests/fuzz)
"""

import os
import struct
import sys


def nmea(body):
    value = 0
    for c in body.encode("latin-1"):
        value ^= c
    return ("$%s*%02X\r\n" % (body, value)).encode("latin-1")


def packet(pid, data, kind=20):
    return struct.pack("<B3xH2xI", kind, pid, len(data)) + data


def waypoint110(name=b"A", comment=b""):
    fixed = struct.pack("<BBBBH18siifff4sIfIH", 1, 0, 0x45, 0x80, 8286, b"\0" * 6 + b"\xff" * 12,
                        1 << 29, -(1 << 30), 10.0, 1e25, 1e25, b"    ", 0xFFFFFFFF, 1e25, 0, 0)
    return fixed + name + b"\0" + comment + b"\0" + b"\0" * 4


def pvt(fix=3, latitude=0.5, longitude=0.2):
    return struct.pack("<ffffHdddffffhI", 10, 5, 4, 3, fix, 3600.0, latitude, longitude, 1, 1, 0, -40, 18, 12418)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "devices", "tests", "fuzz")
    seeds = {
        "corpus-nmea/walk-start": open(os.path.join(folder, "..", "data", "nmea", "walk.nmea"), "rb").read()[:700],
        "corpus-nmea/damaged": nmea("GPRMC,120000.00,A,5742.5322,N,01158.4736,E,2.53,40.0,170524,,,A")[:-4] + b"ZZ\r\n"
        + b"$GPGGA,1200" + b"\x00\xff" * 8 + b"\r\n" + b"$" * 40,
        "corpus-nmea/extremes": nmea("GNRMC,235959.99,A,9000.0000,S,18000.0000,W,99999999.99,359.9,311299,,,A")
        + nmea("GLGGA,000000,0000.0000,N,00000.0000,E,8,99,999.9,-99999.9,M,,M,,")
        + nmea("GPRMC,1e308,A,12nan,N,inf,E,-1,nan,000000,,,A"),
        "corpus-nmea/long": b"$GPRMC," + b"1," * 200 + b"\r\n" + nmea("GPGGA," + ",".join(["9" * 30] * 14)),
        "corpus-garmin/session": bytes([64]) + packet(6, struct.pack("<I", 1234), 0) + packet(2, b"", 0),
        "corpus-garmin/product": bytes([7]) + packet(255, struct.pack("<Hh", 694, 300) + b"eTrex\0")
        + packet(253, b"L\x01\x00A\x0a\x00A\x64\x00D\x6e\x00A\xc9\x00D\xca\x00D\x6e\x00D\xd2\x00"),
        "corpus-garmin/records": bytes([13]) + packet(27, struct.pack("<H", 2)) + packet(35, waypoint110(b"HOME", b"x"))
        + packet(35, waypoint110()[:30]) + packet(99, b"\x01\x04Track\0")
        + packet(34, struct.pack("<iiIfffB", 1 << 29, 1 << 28, 700000000, 3, 1e25, 1e25, 1)) + packet(12, b"\x07\x00"),
        "corpus-garmin/pvt": bytes([63]) + packet(51, pvt()) + packet(51, pvt(3, float("nan"))) + packet(51, pvt()[:40]),
        "corpus-garmin/oversized": bytes([1]) + struct.pack("<B3xH2xI", 20, 35, 0x7FFFFFFF) + b"\x01" * 20,
        "corpus-garmin/empty": b"",
    }
    for name, data in seeds.items():
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as seed:
            seed.write(data)


if __name__ == "__main__":
    main()
