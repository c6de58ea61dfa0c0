#!/usr/bin/env python3
"""Draws the neutral images that the lap-statistics pages link, into assets/images:

  logo_<Make>.gif   one badge per car make the replays name (makes 0 to 6): a coloured
                    rounded box with the make's three-letter short name
  grid_<X>.gif      heatboard's grid marks A to E

racenight copies them (with assets/Zant_Raceboards.css) beside the pages it writes,
unless a league's own files of those names are already there. The output is the same
on every run; commit it after a change here:

  scripts/draw_assets.py
"""
import os
import sys

# The makes in the order of their numbers in the replay, as the pages name their logos.
MAKES = [("Brabham", "BRA", (46, 94, 62)), ("BRM", "BRM", (70, 82, 112)),
         ("Cooper", "COO", (52, 96, 128)), ("Eagle", "EAG", (108, 76, 52)),
         ("Ferrari", "FER", (128, 52, 52)), ("Lotus", "LOT", (62, 104, 70)),
         ("Honda", "HON", (92, 92, 92))]
GRIDS = "ABCDE"
GRID_COLOUR = (60, 72, 96)

# A 5x7 pixel font for the letters the badges need; '#' is ink.
FONT = {
    "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "B": ["#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "],
    "C": [" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "],
    "D": ["#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "],
    "E": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    "F": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "],
    "G": [" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ### "],
    "H": ["#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "L": ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    "M": ["#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"],
    "N": ["#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"],
    "O": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    "T": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
}

# Colour indices of every image: 0 transparent background, 1 the box, 2 its rim, 3 the letters.
BACKGROUND, BOX, RIM, INK = range(4)


def badge(text, width, height):
    """The pixel rows of a rounded box with `text` centred in it."""
    pixels = [[BACKGROUND] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            corner = (x in (0, width - 1)) and (y in (0, height - 1))
            if corner:
                continue
            edge = x in (0, width - 1) or y in (0, height - 1)
            pixels[y][x] = RIM if edge else BOX
    text_width = 6 * len(text) - 1
    left = (width - text_width) // 2
    top = (height - 7) // 2
    for i, letter in enumerate(text):
        for row, line in enumerate(FONT[letter]):
            for column, ink in enumerate(line):
                if ink == "#":
                    pixels[top + row][left + 6 * i + column] = INK
    return pixels


def lzw(indices, min_code_size):
    """GIF's variable-length LZW: codes packed from the low bit, a clear code first and
    whenever the table is full, the end code last."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bits = 0
    nbits = 0

    def emit(code, size):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    def fresh():
        return {(i,): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, size = fresh()
    emit(clear, size)
    current = ()
    for index in indices:
        candidate = current + (index,)
        if candidate in table:
            current = candidate
            continue
        emit(table[current], size)
        if next_code == 4096:
            emit(clear, size)
            table, next_code, size = fresh()
        else:
            table[candidate] = next_code
            # The decoder widens its codes one code later than the encoder adds them.
            if next_code == (1 << size) and size < 12:
                size += 1
            next_code += 1
        current = (index,)
    if current:
        emit(table[current], size)
        if next_code == (1 << size) and size < 12:
            size += 1
    emit(end, size)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif(pixels, box_colour):
    height = len(pixels)
    width = len(pixels[0])
    rim = tuple(max(0, c - 36) for c in box_colour)
    palette = [(255, 255, 255), box_colour, rim, (255, 255, 255)]
    data = bytearray(b"GIF89a")
    data += width.to_bytes(2, "little") + height.to_bytes(2, "little")
    data += bytes([0xF1, 0, 0])  # a global table of 4 colours
    for colour in palette:
        data += bytes(colour)
    data += bytes([0x21, 0xF9, 4, 0x01, 0, 0, BACKGROUND, 0])  # colour 0 is transparent
    data += bytes([0x2C, 0, 0, 0, 0]) + width.to_bytes(2, "little") + height.to_bytes(2, "little") + b"\x00"
    min_code_size = 2
    data.append(min_code_size)
    packed = lzw([index for row in pixels for index in row], min_code_size)
    for at in range(0, len(packed), 255):
        chunk = packed[at:at + 255]
        data.append(len(chunk))
        data += chunk
    data += b"\x00;"
    return bytes(data)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "images")
    os.makedirs(root, exist_ok=True)
    images = [("logo_%s.gif" % make, badge(short, 23, 13), colour) for make, short, colour in MAKES]
    images += [("grid_%s.gif" % grid, badge(grid, 13, 13), GRID_COLOUR) for grid in GRIDS]
    for name, pixels, colour in images:
        with open(os.path.join(root, name), "wb") as f:
            f.write(gif(pixels, colour))
    print("%d images written to %s" % (len(images), os.path.normpath(root)), file=sys.stderr)


if __name__ == "__main__":
    main()
