#!/usr/bin/env python3
"""Writes a large GIF that ImageMagick will not make within its resource limits.

  bigif.py WIDTH HEIGHT OUT.gif

The picture is a checkerboard of two greys in squares of 500 pixels. Its
LZW stream needs no compressor: with a minimum code size of 7 every code is
8 bits wide, one byte, as long as a clear code comes before the code table
reaches 256 entries; a clear after every 100 pixels keeps it there. WIDTH
must be a multiple of 100.
"""
import struct
import sys


def main(width, height, out):
    assert width % 100 == 0 and 0 < width <= 65535 and 0 < height <= 65535
    clear = 128
    rows = []
    for band in (0, 1):
        row = bytearray()
        for x0 in range(0, width, 100):
            row.append(clear)
            colour = 20 if ((x0 // 500) + band) % 2 else 100
            row.extend([colour] * 100)
        rows.append(bytes(row))
    stream = b"".join(rows[(y // 500) % 2] for y in range(height)) + bytes([129])  # end of information

    palette = b"".join(bytes((g, g, g)) for g in range(0, 256, 2))  # 128 greys, ordered by brightness
    with open(out, "wb") as f:
        f.write(b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF6, 0, 0) + palette)
        f.write(b"," + struct.pack("<HHHHB", 0, 0, width, height, 0) + bytes([7]))
        for i in range(0, len(stream), 255):
            block = stream[i:i + 255]
            f.write(bytes([len(block)]) + block)
        f.write(b"\x00;")


if __name__ == "__main__":
    main(int(sys.argv[1]), int(sys.argv[2]), sys.argv[3])
