"""Copies a PNG with its image data compressed at zlib's best: the icon
compiler writes its PNGs plainly, and an icon scaled up by whole factors
shrinks to a small part of that.

   png_compress.py <in.png> <out.png>"""
import struct
import sys
import zlib

with open(sys.argv[1], "rb") as f:
    png = f.read()
chunks, data, at = [], b"", 8
while at < len(png):
    (length,) = struct.unpack(">I", png[at:at + 4])
    kind, body = png[at + 4:at + 8], png[at + 8:at + 8 + length]
    at += 12 + length
    if kind == b"IDAT":
        data += body
    else:
        chunks.append((kind, body))


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


out = png[:8]
for kind, body in chunks:
    if kind == b"IEND":
        out += chunk(b"IDAT", zlib.compress(zlib.decompress(data), 9))
    out += chunk(kind, body)
with open(sys.argv[2], "wb") as f:
    f.write(out)
