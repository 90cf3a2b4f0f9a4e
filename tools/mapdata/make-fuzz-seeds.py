#!/usr/bin/env python3
"""Writes the seed corpus of the shapefile fuzz entry (mapdata/tests/fuzz/corpus): the
first records of real test layers, packed as [shp length][shx length][shp][shx][dbf],
and damaged variants of them."""
import os
import struct
import sys

root = os.path.join(os.path.dirname(__file__), "..", "..")
layers = os.path.join(root, "resources/Resources/Maps/Regions.twmap/Contents/Resources/Ottawa.twregion/Contents/Resources/Layers")
out = os.path.join(root, "mapdata/tests/fuzz/corpus")
os.makedirs(out, exist_ok=True)


def subset(name, count):
    shp = open(os.path.join(layers, name + ".shp"), "rb").read()
    shx = open(os.path.join(layers, name + ".shx"), "rb").read()
    dbf = open(os.path.join(layers, name + ".dbf"), "rb").read()
    records, index, offset = b"", b"", 50
    for i in range(count):
        start, words = struct.unpack(">ii", shx[100 + i * 8:108 + i * 8])
        body = shp[start * 2:start * 2 + 8 + words * 2]
        records += body
        index += struct.pack(">ii", offset, words)
        offset += 4 + words
    shp_out = shp[:24] + struct.pack(">i", 50 + len(records) // 2) + shp[28:100] + records
    shx_out = shx[:24] + struct.pack(">i", 50 + len(index) // 2) + shx[28:100] + index
    header_length, record_length = struct.unpack("<HH", dbf[8:12])
    dbf_out = dbf[:4] + struct.pack("<I", count) + dbf[8:header_length] + dbf[header_length:header_length + count * record_length]
    return bytearray(shp_out), bytearray(shx_out), bytearray(dbf_out)


def write(name, shp, shx, dbf):
    with open(os.path.join(out, name), "wb") as f:
        f.write(struct.pack("<II", len(shp), len(shx)) + shp + shx + dbf)


points = subset("places", 4)
polygons = subset("water", 3)
lines = subset("roads", 3)
write("points", *points)
write("polygons", *polygons)
write("lines", *lines)
shp, shx, dbf = subset("water", 3)
struct.pack_into("<i", shp, 100 + 8 + 36, -1)
write("negative-parts", shp, shx, dbf)
shp, shx, dbf = subset("water", 3)
struct.pack_into("<i", shp, 100 + 8 + 40, 0x7FFFFFFF)
write("points-past-record", shp, shx, dbf)
shp, shx, dbf = subset("water", 3)
struct.pack_into("<i", shp, 100 + 8 + 44, 1 << 30)
write("ring-past-points", shp, shx, dbf)
shp, shx, dbf = subset("roads", 3)
struct.pack_into(">i", shx, 100 + 4, 0x7FFFFFF0)
write("length-past-end", shp, shx, dbf)
shp, shx, dbf = subset("places", 4)
write("truncated", shp[:len(shp) - 7], shx, dbf[:len(dbf) - 20])
shp, shx, dbf = subset("places", 4)
struct.pack_into("<H", dbf, 8, 0xFFFF)
write("dbf-header-past-end", shp, shx, dbf)
write("empty", bytearray(), bytearray(), bytearray())
