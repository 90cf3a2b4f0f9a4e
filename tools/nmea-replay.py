#!/usr/bin/env python3
"""Plays an NMEA 0183 log into a pseudo-terminal at a steady rate, as a receiver would,
so that Tarnwick (or a test) can open the terminal as its serial port.

The log's sentences are grouped by moment (each RMC or GGA of a new UTC time starts one);
one moment goes out every 1/rate seconds. The terminal's path is printed on the first line
of standard output. Sentences that nobody reads are dropped, as a receiver's would be.

Usage: nmea-replay.py [--rate N] [--loop] [--link PATH] [--hold SECONDS] LOG
  --rate N       moments per second (default 1)
  --loop         start again at the end, until interrupted
  --link PATH    also make PATH a symbolic link to the terminal (removed at the end)
  --hold S       keep the terminal open S seconds after the last moment (default 0: it
                 vanishes at once, as an unplugged receiver's port does)
"""

import argparse
import os
import pty
import signal
import sys
import time
import tty


def moments(path):
    groups, current, current_time = [], [], None
    with open(path, "rb") as log:
        for raw in log:
            line = raw.rstrip(b"\r\n")
            if not line.startswith(b"$"):
                continue
            fields = line.split(b",")
            kind = fields[0][3:6]
            if kind in (b"RMC", b"GGA") and len(fields) > 1 and fields[1] != current_time:
                if current:
                    groups.append(current)
                current, current_time = [], fields[1]
            current.append(line + b"\r\n")
    if current:
        groups.append(current)
    return groups


def main():
    parser = argparse.ArgumentParser(description="Replays an NMEA log into a pseudo-terminal.")
    parser.add_argument("log")
    parser.add_argument("--rate", type=float, default=1.0)
    parser.add_argument("--loop", action="store_true")
    parser.add_argument("--link")
    parser.add_argument("--hold", type=float, default=0.0)
    options = parser.parse_args()
    if options.rate <= 0:
        parser.error("the rate must be positive")
    groups = moments(options.log)
    if not groups:
        parser.error("no NMEA sentences in " + options.log)

    master, slave = pty.openpty()
    tty.setraw(slave)
    name = os.ttyname(slave)
    # Our own end of the slave side is closed: the port vanishes when we close the master.
    os.close(slave)
    os.set_blocking(master, False)
    if options.link:
        if os.path.islink(options.link):
            os.unlink(options.link)
        os.symlink(name, options.link)
    print(name, flush=True)

    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(True))
    signal.signal(signal.SIGINT, lambda *_: stop.append(True))
    interval = 1.0 / options.rate
    due = time.monotonic()
    try:
        while not stop:
            for group in groups:
                if stop:
                    break
                for line in group:
                    try:
                        os.write(master, line)
                    except (BlockingIOError, OSError):
                        pass  # nobody is reading: the sentence is lost
                due += interval
                time.sleep(max(0.0, due - time.monotonic()))
            if not options.loop:
                break
        end = time.monotonic() + options.hold
        while not stop and time.monotonic() < end:
            time.sleep(0.05)
    finally:
        if options.link and os.path.islink(options.link):
            os.unlink(options.link)
        os.close(master)


if __name__ == "__main__":
    main()
