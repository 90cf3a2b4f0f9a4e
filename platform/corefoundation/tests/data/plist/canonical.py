#!/usr/bin/env python3
"""Reference side of the property-list round-trip tests, on Python's plistlib.

  canonical.py dump FILE   reads FILE with plistlib and prints its canonical form
  canonical.py write FILE  writes a property list of every type to FILE with plistlib
                           and prints the canonical form of what it wrote

The canonical form is the one the C++ tests print for our objects: one line, dict
keys sorted, strings as ASCII with \\uXXXX for every UTF-16 unit outside printable
ASCII, integers as i<n>, reals as r<IEEE bits>, dates as t<seconds since 2001>,
data as x<hex>.
"""
import datetime
import plistlib
import struct
import sys

EPOCH = datetime.datetime(2001, 1, 1)


def text(s):
    units = s.encode("utf-16-be")
    out = []
    for i in range(0, len(units), 2):
        u = (units[i] << 8) | units[i + 1]
        if 0x20 <= u <= 0x7E and u not in (0x22, 0x5C):
            out.append(chr(u))
        else:
            out.append("\\u%04x" % u)
    return '"' + "".join(out) + '"'


def canonical(v):
    if isinstance(v, dict):
        items = sorted((text(k), canonical(x)) for k, x in v.items())
        return "{" + ",".join(k + ":" + x for k, x in items) + "}"
    if isinstance(v, list):
        return "[" + ",".join(canonical(x) for x in v) + "]"
    if isinstance(v, str):
        return text(v)
    if isinstance(v, bool):
        return "true" if v else "false"
    if isinstance(v, int):
        return "i%d" % v
    if isinstance(v, float):
        return "r" + struct.pack(">d", v).hex()
    if isinstance(v, datetime.datetime):
        return "t%d" % ((v - EPOCH) // datetime.timedelta(seconds=1))
    if isinstance(v, bytes):
        return "x" + v.hex()
    raise TypeError(type(v))


REFERENCE = {
    "text": "plain ASCII & <markup>",
    "unicode": "Z\u00fcrich \u2192 \u65e5\u672c \U0001F30D",
    "whitespace": "  tab\there\nnew line  ",
    "empty text": "",
    "empty array": [],
    "empty dict": {},
    "integers": [0, 1, -1, 2**31, -(2**31) - 1, 2**63 - 1, -(2**63)],
    "reals": [0.0, -0.0, 0.1, 1.0, -2.5e-300, 1e300, 5e-324, 123456.789, float("inf"), float("-inf")],
    "booleans": [True, False],
    "dates": [EPOCH, datetime.datetime(1969, 7, 20, 20, 17, 40), datetime.datetime(2038, 1, 19, 3, 14, 8)],
    "data": bytes(range(256)),
    "empty data": b"",
    "nested": {"list": [[{"deep": [1, "two", 3.5]}], []], "flag": True},
}

if __name__ == "__main__":
    mode, path = sys.argv[1], sys.argv[2]
    if mode == "write":
        with open(path, "wb") as f:
            plistlib.dump(REFERENCE, f, fmt=plistlib.FMT_XML, sort_keys=True)
        print(canonical(REFERENCE))
    else:
        with open(path, "rb") as f:
            print(canonical(plistlib.load(f)))
