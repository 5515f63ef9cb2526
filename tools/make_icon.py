#!/usr/bin/env python3
"""Builds a 32 x 32, 16-colour icon file (.ico) from a text pixel map.

usage: make_icon.py MAP.txt OUT.ico

The map names 16 palette entries ("palette <char> <RRGGBB>", in order), one
transparent character ("transparent <char>") and, after the line "pixels",
32 rows of 32 characters, top row first. Lines starting with '#' are
comments. Uses the standard library only.
"""
import struct
import sys

SIZE = 32
COLOURS = 16
BITS_PER_PIXEL = 4


def fail(message):
    sys.exit(f"make_icon: {message}")


def read_map(path):
    palette = []
    transparent = None
    rows = []
    in_pixels = False
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\r\n")
            if in_pixels:
                if line:
                    rows.append((number, line))
                continue
            if not line.strip() or line.startswith("#"):
                continue
            words = line.split()
            if words[0] == "palette" and len(words) == 3 and len(words[1]) == 1:
                try:
                    colour = bytes.fromhex(words[2])
                except ValueError:
                    colour = b""
                if len(colour) != 3:
                    fail(f"{path}:{number}: colour must be RRGGBB")
                palette.append((words[1], colour))
            elif words[0] == "transparent" and len(words) == 2 and len(words[1]) == 1:
                transparent = words[1]
            elif words == ["pixels"]:
                in_pixels = True
            else:
                fail(f"{path}:{number}: cannot read '{line}'")
    if len(palette) != COLOURS:
        fail(f"{path}: {len(palette)} palette entries, need {COLOURS}")
    names = [name for name, _ in palette]
    if len(set(names)) != COLOURS or transparent in names:
        fail(f"{path}: palette characters must differ from each other and from the transparent one")
    if transparent is None:
        fail(f"{path}: no transparent character")
    if len(rows) != SIZE:
        fail(f"{path}: {len(rows)} pixel rows, need {SIZE}")
    index = {name: i for i, name in enumerate(names)}
    pixels = []
    for number, row in rows:
        if len(row) != SIZE:
            fail(f"{path}:{number}: {len(row)} pixels, need {SIZE}")
        unknown = set(row) - set(index) - {transparent}
        if unknown:
            fail(f"{path}:{number}: unknown pixel characters {''.join(sorted(unknown))}")
        pixels.append([None if c == transparent else index[c] for c in row])
    return [colour for _, colour in palette], pixels


def icon_bytes(palette, pixels):
    # Both bitmaps are stored bottom row first, each row padded to 4 bytes.
    colour_rows = []
    mask_rows = []
    for row in reversed(pixels):
        colour = bytearray()
        for left, right in zip(row[0::2], row[1::2]):
            colour.append(((left or 0) << 4) | (right or 0))
        mask = 0
        for pixel in row:
            mask = (mask << 1) | (1 if pixel is None else 0)
        colour_rows.append(bytes(colour))
        mask_rows.append(mask.to_bytes(SIZE // 8, "big"))
    colour_bits = b"".join(colour_rows)
    mask_bits = b"".join(mask_rows)
    colour_table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    # The height counts the colour bitmap and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, BITS_PER_PIXEL, 0,
                         len(colour_bits) + len(mask_bits), 0, 0, 0, 0)
    image = header + colour_table + colour_bits + mask_bits
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, COLOURS, 0, 1, BITS_PER_PIXEL, len(image),
                        len(directory) + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 3:
        fail("usage: make_icon.py MAP.txt OUT.ico")
    palette, pixels = read_map(sys.argv[1])
    with open(sys.argv[2], "wb") as out:
        out.write(icon_bytes(palette, pixels))


if __name__ == "__main__":
    main()
