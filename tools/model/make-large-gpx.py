#!/usr/bin/env python3
"""Writes a large GPX 1.1 file for the import benchmarks: one track of N points in a few
segments, one second apart, wandering around Göteborg with elevations, plus a handful of
waypoints and a route. Memory stays flat: points are written as they are made.

    make-large-gpx.py POINTS OUTPUT.gpx
"""
import math
import sys


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make-large-gpx.py POINTS OUTPUT.gpx")
    count = int(sys.argv[1])
    if count < 1:
        sys.exit("POINTS must be at least 1")
    with open(sys.argv[2], "w", encoding="utf-8", buffering=1 << 20) as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        out.write('<gpx version="1.1" creator="make-large-gpx" xmlns="http://www.topografix.com/GPX/1/1" '
                  'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">\n')
        out.write(' <metadata><name>Benchmark track</name><time>2021-06-01T08:00:00Z</time></metadata>\n')
        for i in range(5):
            out.write(f' <wpt lat="{57.70 + i * 0.01:.6f}" lon="{11.97 + i * 0.01:.6f}"><ele>{10 + i}</ele>'
                      f'<name>Stop {i + 1}</name><sym>Flag, Blue</sym></wpt>\n')
        out.write(' <rte><name>Tour</name>\n')
        for i in range(5):
            out.write(f'  <rtept lat="{57.70 + i * 0.01:.6f}" lon="{11.97 + i * 0.01:.6f}"><name>Stop {i + 1}</name></rtept>\n')
        out.write(' </rte>\n')
        out.write(' <trk><name>Long walk</name>\n  <trkseg>\n')
        segment = max(count // 4, 1)
        lat, lon, heading = 57.7089, 11.9746, 0.0
        start = 1622534400  # 2021-06-01T08:00:00Z as seconds since 1970
        lines = []
        for i in range(count):
            if i and i % segment == 0:
                lines.append('  </trkseg>\n  <trkseg>\n')
            heading += math.sin(i * 0.001) * 0.05
            lat += math.cos(heading) * 1.2e-5
            lon += math.sin(heading) * 2.2e-5
            seconds = start + i
            day, rest = divmod(seconds, 86400)
            hour, rest = divmod(rest, 3600)
            minute, second = divmod(rest, 60)
            # Days since 1970 to a civil date.
            z = day + 719468
            era = z // 146097
            doe = z - era * 146097
            yoe = (doe - doe // 1460 + doe // 36524 - doe // 146096) // 365
            doy = doe - (365 * yoe + yoe // 4 - yoe // 100)
            mp = (5 * doy + 2) // 153
            d = doy - (153 * mp + 2) // 5 + 1
            m = mp + 3 if mp < 10 else mp - 9
            y = yoe + era * 400 + (1 if m <= 2 else 0)
            lines.append(f'   <trkpt lat="{lat:.7f}" lon="{lon:.7f}"><ele>{20 + 15 * math.sin(i * 0.01):.1f}</ele>'
                         f'<time>{y:04d}-{m:02d}-{d:02d}T{hour:02d}:{minute:02d}:{second:02d}Z</time></trkpt>\n')
            if len(lines) >= 10000:
                out.write("".join(lines))
                lines.clear()
        out.write("".join(lines))
        out.write('  </trkseg>\n </trk>\n</gpx>\n')


if __name__ == "__main__":
    main()
