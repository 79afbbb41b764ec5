#!/usr/bin/python3
"""Writes PNG test images with pypng and, for each, the 32-bit pixels the decoder must give.

Usage: pngReference.py OUTPUT_DIR

The rules: palette entries, low-bit grey (bits repeated to 8), 16-bit samples (high byte kept)
and tRNS (alpha 0 for the transparent value, compared at the file's own depth) expand to 8-bit
red, green, blue and alpha. Images with an alpha channel or tRNS give argb8888 (alpha in bits
24-31), others rgb888 with bits 24-31 zero. Premultiplied: each colour times alpha / 255, rounded
to nearest. OUTPUT_DIR/cases.txt lists "name format width height" per image; name.png is the
image and name.pixels its pixels in hexadecimal, straight ones first, then premultiplied ones.
"""
import os
import random
import sys

import png


def to8(value, depth):
    if depth == 16:
        return value >> 8
    return value * (255 // ((1 << depth) - 1))


def premultiplied(r, g, b, a):
    return tuple((c * a * 2 + 255) // 510 for c in (r, g, b))


def write_case(out, manifest, name, writer, rows, pixels, has_alpha):
    with open(os.path.join(out, name + ".png"), "wb") as f:
        writer.write(f, rows)
    straight, multiplied = [], []
    for r, g, b, a in pixels:
        if has_alpha:
            straight.append(a << 24 | r << 16 | g << 8 | b)
            pr, pg, pb = premultiplied(r, g, b, a)
            multiplied.append(a << 24 | pr << 16 | pg << 8 | pb)
        else:
            straight.append(r << 16 | g << 8 | b)
            multiplied.append(r << 16 | g << 8 | b)
    with open(os.path.join(out, name + ".pixels"), "w") as f:
        f.write(" ".join("%08x" % p for p in straight + multiplied) + "\n")
    manifest.write("%s %s %d %d\n" % (name, "argb8888" if has_alpha else "rgb888",
                                      writer.width, writer.height))


def main():
    out = sys.argv[1]
    rng = random.Random(20240611)
    width, height = 13, 7  # odd, so that every interlace pass has partial rows and columns
    manifest = open(os.path.join(out, "cases.txt"), "w")
    for interlace in (False, True):
        tag = "-interlaced" if interlace else ""
        for depth in (1, 2, 4, 8, 16):
            top = (1 << depth) - 1
            grey = [[rng.randint(0, top) for _ in range(width)] for _ in range(height)]
            for transparent in (None, grey[0][0]):
                pixels = []
                for row in grey:
                    for v in row:
                        g = to8(v, depth)
                        a = 0 if transparent is not None and v == transparent else 255
                        pixels.append((g, g, g, a))
                writer = png.Writer(width, height, greyscale=True, bitdepth=depth,
                                    interlace=interlace, transparent=transparent)
                write_case(out, manifest, "grey%d%s%s" % (depth, "-trns" if transparent is not None else "", tag),
                           writer, grey, pixels, transparent is not None)
        for depth in (8, 16):
            top = (1 << depth) - 1
            for channels, greyscale, alpha, kind in ((2, True, True, "greyalpha"),
                                                     (3, False, False, "rgb"),
                                                     (4, False, True, "rgba")):
                rows = [[rng.randint(0, top) for _ in range(width * channels)]
                        for _ in range(height)]
                transparent = None
                if kind == "rgb":
                    transparent = tuple(rows[1][0:3])
                pixels = []
                for row in rows:
                    for x in range(width):
                        s = row[x * channels:(x + 1) * channels]
                        if greyscale:
                            r = g = b = to8(s[0], depth)
                        else:
                            r, g, b = (to8(v, depth) for v in s[0:3])
                        a = to8(s[-1], depth) if alpha else 255
                        if transparent is not None and tuple(s) == transparent:
                            a = 0
                        pixels.append((r, g, b, a))
                writer = png.Writer(width, height, greyscale=greyscale, alpha=alpha,
                                    bitdepth=depth, interlace=interlace, transparent=transparent)
                write_case(out, manifest, "%s%d%s%s" % (kind, depth, "-trns" if transparent else "", tag),
                           writer, rows, pixels, alpha or transparent is not None)
        for depth in (1, 2, 4, 8):
            entries = 1 << depth
            for translucent in (0, (entries + 1) // 2):
                palette = []
                for i in range(entries):
                    colour = (rng.randint(0, 255), rng.randint(0, 255), rng.randint(0, 255))
                    palette.append(colour + (rng.randint(0, 255),) if i < translucent else colour)
                rows = [[rng.randint(0, entries - 1) for _ in range(width)] for _ in range(height)]
                pixels = []
                for row in rows:
                    for index in row:
                        entry = palette[index]
                        pixels.append(entry[0:3] + ((entry[3],) if len(entry) == 4 else (255,)))
                writer = png.Writer(width, height, palette=palette, bitdepth=depth,
                                    interlace=interlace)
                write_case(out, manifest, "palette%d%s%s" % (depth, "-trns" if translucent else "", tag),
                           writer, rows, pixels, translucent > 0)
    manifest.close()


if __name__ == "__main__":
    main()
