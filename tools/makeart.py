#!/usr/bin/env python3
"""makeart.py - draws Vexlore's own application icon and busy animation.

Writes, next to this tools/ folder:
  resources/vexlore.ico  IDI_APP (128): 32x32 and 16x16 images, 16 VGA
                         colours, with an AND mask for transparency.
                         A magnifying glass over scrambled letter tiles.
  resources/busy.avi     IDA_BUSY (130, type "AVI"): 48x50, 23 BI_RLE8
                         frames at 7 fps, 64-colour palette, magenta
                         background. Frames 1-11: the glass circles;
                         frames 12-23: a page of text grows into view
                         and the glass sweeps across it.
  resources/busy-frames.png  the clip's frames side by side.
  resources/icons/NxN/vexlore.png  the icon for the desktops' icon themes,
                         RGBA with transparency, at 16, 32, 48, 64, 128
                         and 256: 16 and 32 pixel for pixel the .ico's
                         images, the larger ones the 32 design drawn at
                         their size, its edges smoothed.

  python3 tools/makeart.py          write both files
  python3 tools/makeart.py --check  fail unless the files are what this
                                    script draws; read them back with an
                                    independent decoder, check them, and write PNG
                                    previews to /tmp (busy-montage.png,
                                    icon-32.png, icon-16.png)

Standard library only; every run writes the same bytes.
"""
import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ICO_PATH = os.path.join(ROOT, "resources", "vexlore.ico")
AVI_PATH = os.path.join(ROOT, "resources", "busy.avi")
# the clip's frames side by side, for front ends that cannot play an AVI
STRIP_PATH = os.path.join(ROOT, "resources", "busy-frames.png")

# ---------------------------------------------------------------- glyphs
# 5x5 letters for the tiles, 3x5 digits for the preview labels; rows are
# separated by spaces.
LETTERS = {
    "A": ".###. #...# ##### #...# #...#",
    "E": "##### #.... ####. #.... #####",
    "N": "#...# ##..# #.#.# #..## #...#",
}
DIGITS = ["### #.# #.# #.# ###", ".#. ##. .#. .#. ###", "### ..# ### #.. ###",
          "### ..# ### ..# ###", "#.# #.# ### ..# ..#", "### #.. ### ..# ###",
          "### #.. ### #.# ###", "### ..# ..# ..# ..#", "### #.# ### #.# ###",
          "### #.# ### ..# ###"]


def inked(glyph, u, v):
    """True if (u, v), measured in glyph cells, falls on an inked cell."""
    rows = glyph.split()
    if u < 0 or v < 0 or v >= len(rows) or u >= len(rows[0]):
        return False
    return rows[int(v)][int(u)] == "#"


# ---------------------------------------------------------------- scenes
# A scene maps a point (x, y) in pixels, y down, to an (r, g, b) colour or
# None where nothing is drawn. Pictures are sampled at pixel centres.

def render(scene, w, h):
    return [[scene(x + 0.5, y + 0.5) for x in range(w)] for y in range(h)]


def tile(x0, y0, size, letter, face, edge, ink, outline=None, cell=1):
    """A square letter tile with its top-left corner at (x0, y0), the letter
    drawn with cells of `cell` pixels, shaded along its right and bottom."""
    def at(x, y):
        u, v = x - x0, y - y0
        if not (0 <= u < size and 0 <= v < size):
            return None
        if outline and (u < 1 or v < 1 or u >= size - 1 or v >= size - 1):
            return outline
        pad = (size - 5 * cell) / 2
        if inked(LETTERS[letter], (u - pad) / cell, (v - pad) / cell):
            return ink
        rim = 2 if outline else 1
        return edge if u >= size - rim or v >= size - rim else face
    return at


def page(cx, cy, w, h, s, c, fold=7):
    """A sheet of text centred on (cx, cy), w x h at full size, scaled by s,
    with its top right corner folded down."""
    ends = (w - 13, w - 5, w - 8, w - 5, w - 14, w - 5, w - 7, w - 5, w - 16)

    def at(x, y):
        u, v = (x - cx) / s + w / 2, (y - cy) / s + h / 2
        e = max(1.0, 1 / s)                   # outlines stay a pixel wide
        if not (0 <= u < w and 0 <= v < h):
            return None
        du = u - (w - fold)                   # > 0 in the folded corner
        if du > v + 0.6 * e:
            return None
        if du > v - 0.6 * e:
            return c["edge"]
        if du >= 0 and v < fold:
            return c["edge"] if du < e or v >= fold - e else c["fold"]
        if u < e or v < e or u >= w - e or v >= h - e:
            return c["edge"]
        line, off = divmod(v - 4, 4)
        if 0 <= line < len(ends) and off < max(1.4, e) \
                and 4 <= u < ends[int(line)]:
            return c["title"] if line == 0 else c["text"]
        return c["paper"]
    return at


def glass(cx, cy, r, below, c, lens, mag=1.6, rim=2.5, length=10.0,
          half=2.3, inner=True, shine=(0.55, 0.85)):
    """A magnifying glass, lens centred on (cx, cy), outer radius r, handle
    pointing down-right; the lens shows `below` enlarged, through `lens`.
    `inner` draws an outline inside the rim as well as outside; `shine` is
    the band of the lens, as fractions of its radius, that glints."""
    k = math.sqrt(0.5)

    def at(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        if d < r - rim:                                   # the lens
            if shine and shine[0] < d / (r - rim) < shine[1] \
                    and abs(math.atan2(dy, dx) + 2.36) < 0.55:
                return c["shine"]
            return lens(below(cx + dx / mag, cy + dy / mag))
        if d < r:                                         # the rim
            if d >= r - 1.0 or (inner and d < r - rim + 0.5):
                return c["outline"]
            light = -(dx + dy) * k / d
            return c["rim_hi"] if light > 0.35 else \
                c["rim_lo"] if light < -0.35 else c["rim"]
        t, s = (dx + dy) * k, (dy - dx) * k               # along, across
        end = r + length
        tc = min(max(t, r - 1), end)
        if t >= r - 1 and math.hypot(t - tc, s) < half:   # the handle
            if math.hypot(t - tc, s) >= half - 1.0:
                return c["outline"]
            if t < r + 2.2:
                return c["rim_lo"] if s > 0 else c["rim"]
            return c["handle_hi"] if s < -0.4 else \
                c["handle_lo"] if s > 0.7 else c["handle"]
        return below(x, y)
    return at


def layers(*scenes):
    def at(x, y):
        for sc in scenes:
            col = sc(x, y)
            if col is not None:
                return col
        return None
    return at


# ------------------------------------------------------------------ icon
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
       (128, 0, 128), (0, 128, 128), (192, 192, 192), (128, 128, 128),
       (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
       (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, OLIVE, SILVER, GREY, YELLOW, AQUA, WHITE = (
    VGA[0], VGA[1], VGA[3], VGA[7], VGA[8], VGA[11], VGA[14], VGA[15])
ICON_COLOURS = dict(outline=BLACK, rim_hi=WHITE, rim=SILVER, rim_lo=GREY,
                    shine=WHITE, handle=MAROON, handle_hi=VGA[9],
                    handle_lo=BLACK)


def icon_scene(size):
    """Our icon: letter tiles, one of them large under a magnifying glass."""
    lens = lambda col: AQUA if col is None else col
    if size == 32:
        tiles = layers(tile(5, 5, 14, "A", YELLOW, OLIVE, BLACK, BLACK, 2),
                       tile(1, 22, 9, "N", YELLOW, OLIVE, BLACK, BLACK),
                       tile(22, 1, 9, "E", YELLOW, OLIVE, BLACK, BLACK))
        return glass(12, 12, 11.5, tiles, ICON_COLOURS, lens, mag=1,
                     rim=3, length=9.5, half=3.2, shine=(0.75, 0.98))
    return glass(5.5, 5.5, 5.5, tile(2, 2, 7, "A", YELLOW, OLIVE, BLACK),
                 ICON_COLOURS, lens, mag=1, rim=1.9, length=6, half=1.9,
                 inner=False, shine=None)


def dib_icon(pixels):
    """One ICO image: BITMAPINFOHEADER, palette, 4-bit XOR, 1-bit AND."""
    n = len(pixels)
    xor, mask = b"", b""
    for row in reversed(pixels):                   # DIBs run bottom-up
        idx = [0 if p is None else VGA.index(p) for p in row]
        xor += bytes(idx[i] << 4 | idx[i + 1] for i in range(0, n, 2))
        bits = "".join("1" if p is None else "0" for p in row)
        line = int(bits, 2).to_bytes(n // 8, "big")
        mask += line + bytes(-len(line) % 4)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA)
    return header + pal + xor + mask


# The sizes the desktops ask an icon theme for.
ICON_SIZES = (16, 32, 48, 64, 128, 256)


def icon_png_path(n):
    return os.path.join(ROOT, "resources", "icons", "%dx%d" % (n, n),
                        "vexlore.png")


def icon_rgba(n):
    """The icon at n x n as rows of (r, g, b, a). 16 and 32 are the .ico's
    own pixels; a larger size draws the 32 design scaled up, each pixel
    the mean of 4 x 4 samples, so its edges are smooth, not stepped."""
    if n in (16, 32):
        return [[(0, 0, 0, 0) if p is None else p + (255,) for p in row]
                for row in render(icon_scene(n), n, n)]
    scene, k, q = icon_scene(32), 32 / n, 4
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            hits = [scene((x + (i + 0.5) / q) * k, (y + (j + 0.5) / q) * k)
                    for j in range(q) for i in range(q)]
            hits = [c for c in hits if c is not None]
            if not hits:
                row.append((0, 0, 0, 0))
                continue
            mean = [round(sum(c[v] for c in hits) / len(hits))
                    for v in range(3)]
            row.append(tuple(mean) + (round(255 * len(hits) / q / q),))
        rows.append(row)
    return rows


def make_ico():
    images = [dib_icon(render(icon_scene(n), n, n)) for n in (32, 16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    return out + b"".join(images)


# ------------------------------------------------------------- animation
W, H, FRAMES, FPS = 48, 50, 23, 7
MAGENTA = (255, 0, 255)
CLIP_COLOURS = dict(
    outline=(28, 30, 48), rim_hi=(236, 238, 246), rim=(170, 174, 188),
    rim_lo=(100, 104, 122), shine=(255, 255, 255), handle=(128, 74, 30),
    handle_hi=(184, 124, 62), handle_lo=(78, 42, 14),
    paper=(255, 255, 255), edge=(110, 110, 120), fold=(214, 214, 222),
    text=(150, 150, 158), title=(60, 80, 150))
GLASS_TINT, LENS_EMPTY = (150, 200, 255), (200, 228, 252)


def clip_lens(col):
    """The colour of `col` seen through the glass: a light blue tint."""
    if col == MAGENTA:
        return LENS_EMPTY
    return tuple(round(a * 0.78 + b * 0.22) for a, b in zip(col, GLASS_TINT))


def clip_frame(i):
    """Frame i (0-based) of the busy clip as rows of colours."""
    back = lambda x, y: MAGENTA
    if i < 11:                                # the glass goes round
        a = 2 * math.pi * i / 11 - math.pi
        cx, cy = 20 + 7 * math.cos(a), 21 + 7 * math.sin(a)
        scene = glass(cx, cy, 9.5, back, CLIP_COLOURS, clip_lens)
    else:
        j = i - 11                            # 0..11
        grow = min(1.0, (j + 2) / 6)          # page full size from j = 4
        sheet = layers(page(24, 25, 32, 42, grow, CLIP_COLOURS), back)
        if j < 5:                             # glass rises to the top line
            cx, cy = 13, 21 - 7 * j / 4
        else:                                 # then sweeps across the text
            t = (j - 4) / 7
            cx, cy = 13 + 18 * t, 14 + 14 * t
        scene = glass(cx, cy, 9.5, sheet, CLIP_COLOURS, clip_lens)
    return [[MAGENTA if p is None else p for p in row]
            for row in render(scene, W, H)]


def clip_palette(frames):
    """MAGENTA first, then each colour in order of first use, then a 4x4x4
    colour cube, up to 64 distinct entries."""
    pal = [MAGENTA]
    cube = [(r, g, b) for r in (0, 85, 170, 255) for g in (0, 85, 170, 255)
            for b in (0, 85, 170, 255)]
    for col in [p for f in frames for row in f for p in row] + cube:
        if col not in pal and len(pal) < 64:
            pal.append(col)
    assert len(pal) == 64
    return pal


def rle8(rows):
    """BI_RLE8 data for rows given top-down: runs of 2+ equal pixels in
    encoded mode, 3+ differing pixels in absolute mode (padded to a word),
    an end-of-line after every row and end-of-bitmap at the end."""
    out = bytearray()
    for row in reversed(rows):
        x, n = 0, len(row)
        while x < n:
            run = 1
            while x + run < n and row[x + run] == row[x] and run < 255:
                run += 1
            if run >= 2:
                out += bytes((run, row[x]))
                x += run
                continue
            lit = 1                           # gather differing pixels
            while x + lit < n and lit < 255 and not (
                    x + lit + 1 < n and row[x + lit] == row[x + lit + 1]):
                lit += 1
            if lit >= 3:
                out += bytes((0, lit)) + bytes(row[x:x + lit])
                out += bytes(lit % 2)
            else:
                for p in row[x:x + lit]:
                    out += bytes((1, p))
            x += lit
        out += b"\0\0"
    return bytes(out) + b"\0\1"


def chunk(fourcc, data):
    return fourcc + struct.pack("<I", len(data)) + data + bytes(len(data) % 2)


def riff_list(kind, fourcc, *parts):
    return chunk(kind, fourcc + b"".join(parts))


def make_avi():
    frames = [clip_frame(i) for i in range(FRAMES)]
    pal = clip_palette(frames)
    index = {col: k for k, col in enumerate(pal)}
    data = [rle8([[index[p] for p in row] for row in f]) for f in frames]
    biggest = max(len(d) for d in data)
    assert biggest <= W * H
    avih = struct.pack("<14I", 142857, biggest * FPS, 0, 0x10, FRAMES, 0, 1,
                       biggest, W, H, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"MRLE", 0, 0, 0, 0,
                       1, FPS, 0, FRAMES, biggest, 0xFFFFFFFF, 0, 0, 0, W, H)
    strf = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 8, 1, W * H, 0, 0,
                       64, 0)
    strf += b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal)
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih),
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh),
                               chunk(b"strf", strf)))
    movi, idx1, pos = b"", b"", 4     # idx1 offsets count from 'movi'
    for d in data:
        idx1 += struct.pack("<4sIII", b"00dc", 0x10, pos, len(d))
        movi += chunk(b"00dc", d)
        pos = 4 + len(movi)
    return riff_list(b"RIFF", b"AVI ", hdrl, riff_list(b"LIST", b"movi", movi),
                     chunk(b"idx1", idx1))


def make_strip():
    """The clip's 23 frames left to right in one W * FRAMES by H picture,
    the same pixels as the AVI's, magenta background and all."""
    frames = [clip_frame(i) for i in range(FRAMES)]
    return png_data([[p for f in frames for p in f[y]] for y in range(H)])


# ----------------------------------------------------------------- check
# Reads the files back without the encoder, checks what the resources
# promise, and writes previews.

def png_data(rows):
    """An 8-bit RGB PNG of rows of (r, g, b), top-down."""
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def part(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data)))
    return (b"\x89PNG\r\n\x1a\n" + part(b"IHDR", struct.pack(
            ">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0))
            + part(b"IDAT", zlib.compress(raw, 9)) + part(b"IEND", b""))


def png_rgba(rows):
    """An 8-bit RGBA PNG of rows of (r, g, b, a), top-down."""
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def part(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data)))
    return (b"\x89PNG\r\n\x1a\n" + part(b"IHDR", struct.pack(
            ">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0))
            + part(b"IDAT", zlib.compress(raw, 9)) + part(b"IEND", b""))


def read_png_rgba(buf):
    """Rows of (r, g, b, a) from an 8-bit RGBA PNG without filters, as
    png_rgba writes it."""
    assert buf[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, w = 8, b"", 0
    while pos < len(buf):
        n, tag = struct.unpack_from(">I4s", buf, pos)
        data = buf[pos + 8:pos + 8 + n]
        assert zlib.crc32(tag + data) == struct.unpack_from(
            ">I", buf, pos + 8 + n)[0], "bad CRC"
        if tag == b"IHDR":
            w, h, depth, kind = struct.unpack_from(">IIBB", data)
            assert (depth, kind) == (8, 6), "not 8-bit RGBA"
        elif tag == b"IDAT":
            idat += data
        pos += 12 + n
    raw, stride = zlib.decompress(idat), 1 + 4 * w
    assert len(raw) == stride * h
    rows = []
    for y in range(h):
        line = raw[y * stride:(y + 1) * stride]
        assert line[0] == 0, "filtered row"
        rows.append([tuple(line[1 + 4 * x:5 + 4 * x]) for x in range(w)])
    return rows


def write_png(path, rows):
    with open(path, "wb") as f:
        f.write(png_data(rows))


def scaled(rows, k):
    return [[p for p in row for _ in range(k)]
            for row in rows for _ in range(k)]


def chunks(buf, start, end):
    """(fourcc, data start, size) of each RIFF chunk in buf[start:end]."""
    found, pos = [], start
    while pos < end:
        cc, n = struct.unpack_from("<4sI", buf, pos)
        assert pos + 8 + n <= end, "chunk %r runs past its parent" % cc
        found.append((cc, pos + 8, n))
        pos += 8 + n + n % 2
    assert pos == end, "ragged chunk list"
    return found


def unrle8(data, w, h):
    """Decodes one BI_RLE8 frame into rows of palette indices, top-down,
    insisting on a full row before each end-of-line."""
    rows, row, i = [], [], 0
    while True:
        n, v = data[i], data[i + 1]
        i += 2
        if n:                                     # encoded run
            row += [v] * n
        elif v == 0:                              # end of line
            assert len(row) == w, "row %d is short" % len(rows)
            rows.append(row)
            row = []
        elif v == 1:                              # end of bitmap
            break
        else:                                     # absolute run
            assert v >= 3, "delta or short absolute run"
            row += list(data[i:i + v])
            i += v + v % 2
        assert len(row) <= w, "row overflows"
    assert i == len(data) and not row and len(rows) == h, "bad frame end"
    return rows[::-1]


def check_avi(buf):
    assert buf[:4] == b"RIFF" and buf[8:12] == b"AVI "
    assert struct.unpack_from("<I", buf, 4)[0] + 8 == len(buf)
    top = chunks(buf, 12, len(buf))
    assert [t[0] for t in top] == [b"LIST", b"LIST", b"idx1"]
    (_, hd, hn), (_, mv, mn), (_, ix, xn) = top
    assert buf[hd:hd + 4] == b"hdrl" and buf[mv:mv + 4] == b"movi"
    hdrl = chunks(buf, hd + 4, hd + hn)
    assert [t[0] for t in hdrl] == [b"avih", b"LIST"]
    avih = struct.unpack_from("<14I", buf, hdrl[0][1])
    strl = chunks(buf, hdrl[1][1] + 4, hdrl[1][1] + hdrl[1][2])
    assert buf[hdrl[1][1]:hdrl[1][1] + 4] == b"strl"
    assert [t[0] for t in strl] == [b"strh", b"strf"]
    strh = struct.unpack_from("<4s4sIHHIIIIIIIIhhhh", buf, strl[0][1])
    bih = struct.unpack_from("<IiiHHIIiiII", buf, strl[1][1])
    usec, _, _, flags, total, _, streams, _, w, h = avih[:10]
    assert (usec, total, streams, w, h) == (142857, 23, 1, 48, 50)
    assert flags & 0x10 and strh[:2] == (b"vids", b"MRLE")
    assert strh[7] / strh[6] == 7 and strh[9] == total
    assert bih[:6] == (40, w, h, 1, 8, 1) and bih[9] == 64
    assert strl[1][2] == 40 + 4 * 64
    pal = [struct.unpack_from("<BBB", buf, strl[1][1] + 40 + 4 * k)[::-1]
           for k in range(64)]
    movi = chunks(buf, mv + 4, mv + mn)
    assert [t[0] for t in movi] == [b"00dc"] * total
    assert max(t[2] for t in movi) <= min(avih[7], strh[10])
    index = [struct.unpack_from("<4sIII", buf, ix + 16 * k)
             for k in range(xn // 16)]
    assert xn == 16 * total
    for (cc, start, n), (ic, iflags, off, isize) in zip(movi, index):
        assert (ic, iflags, isize) == (cc, 0x10, n)
        assert mv + off == start - 8, "idx1 offset does not hit its chunk"
    frames = [[[pal[p] for p in row] for row in unrle8(buf[s:s + n], w, h)]
              for _, s, n in movi]
    return frames, "%d frames %dx%d, %d us/frame, %d fps, frames %d-%d bytes" \
        % (total, w, h, usec, strh[7] // strh[6], min(t[2] for t in movi),
           max(t[2] for t in movi))


def check_ico(buf):
    assert struct.unpack_from("<HHH", buf, 0) == (0, 1, 2)
    images = []
    for k in range(2):
        w, h, cols, _, planes, bpp, size, off = struct.unpack_from(
            "<BBBBHHII", buf, 6 + 16 * k)
        assert w == h and (cols, planes, bpp) == (16, 1, 4)
        bih = struct.unpack_from("<IiiHHIIiiII", buf, off)
        assert bih[:6] == (40, w, 2 * w, 1, 4, 0)
        pal = [struct.unpack_from("<BBB", buf, off + 40 + 4 * i)[::-1]
               for i in range(16)]
        assert pal == VGA
        xor, stride = off + 40 + 64, w // 2
        mask, mstride = xor + stride * w, (w // 8 + 3) // 4 * 4
        assert off + size == mask + mstride * w
        rows = []
        for y in range(w - 1, -1, -1):
            row = []
            for x in range(w):
                hole = buf[mask + y * mstride + x // 8] >> (7 - x % 8) & 1
                p = buf[xor + y * stride + x // 2] >> (4 * (1 - x % 2)) & 15
                assert not (hole and p), "transparent pixel with colour"
                row.append(None if hole else pal[p])
            rows.append(row)
        images.append(rows)
    return images


def label(rows, x0, y0, text, k, col):
    for n, ch in enumerate(text):
        for j in range(5 * k):
            for i in range(3 * k):
                if inked(DIGITS[int(ch)], i / k, j / k):
                    rows[y0 + j][x0 + n * 4 * k + i] = col


def check():
    with open(AVI_PATH, "rb") as f:
        frames, summary = check_avi(f.read())
    assert frames == [clip_frame(i) for i in range(FRAMES)], "round trip"
    assert all(f[0][0] == f[-1][-1] == MAGENTA for f in frames)
    print("busy.avi:", summary)
    k, pad, top, cols = 4, 8, 22, 6
    tw, th = W * k + pad, H * k + top + pad
    sheet = [[(64, 64, 64)] * (cols * tw + pad) for _ in range(
        (FRAMES + cols - 1) // cols * th + pad)]
    for n, f in enumerate(frames):
        x0, y0 = pad + n % cols * tw, pad + n // cols * th
        label(sheet, x0, y0, str(n + 1), 3, (255, 255, 255))
        for y, row in enumerate(scaled(f, k)):
            sheet[y0 + top + y][x0:x0 + W * k] = row
    write_png("/tmp/busy-montage.png", sheet)
    with open(ICO_PATH, "rb") as f:
        icons = check_ico(f.read())
    for img in icons:
        n = len(img)
        board = [[p or ((200, 200, 200) if (x // 2 + y // 2) % 2 else
                        (240, 240, 240)) for x, p in enumerate(row)]
                 for y, row in enumerate(img)]
        write_png("/tmp/icon-%d.png" % n, scaled(board, 256 // n))
        print("vexlore.ico: %dx%d, %d transparent pixels" % (
            n, n, sum(p is None for row in img for p in row)))
    for n in ICON_SIZES:
        with open(icon_png_path(n), "rb") as f:
            rows = read_png_rgba(f.read())
        assert len(rows) == len(rows[0]) == n, "wrong size"
        assert rows[0][-1][3] == rows[-1][-1][3] == 0, "no transparency"
        if n in (16, 32):
            ico = icons[(32, 16).index(n)]
            assert rows == [[(0, 0, 0, 0) if p is None else p + (255,)
                             for p in row] for row in ico], "not the .ico's"
        clear = sum(p[3] == 0 for row in rows for p in row)
        print("icons/%dx%d/vexlore.png: %d of %d pixels transparent" % (
            n, n, clear, n * n))
        board = [[tuple(round(c * p[3] / 255 + b * (1 - p[3] / 255))
                        for c in p[:3])
                  for p, b in ((p, 200 if (x // 8 + y // 8) % 2 else 240)
                               for x, p in enumerate(row))]
                 for y, row in enumerate(rows)]
        write_png("/tmp/icon-png-%d.png" % n, board)
    print("previews: /tmp/busy-montage.png /tmp/icon-32.png /tmp/icon-16.png"
          " /tmp/icon-png-N.png")


def all_art():
    art = [(ICO_PATH, make_ico()), (AVI_PATH, make_avi()),
           (STRIP_PATH, make_strip())]
    return art + [(icon_png_path(n), png_rgba(icon_rgba(n))) for n in ICON_SIZES]


def stale():
    """The committed files that differ from what this script draws."""
    out = []
    for path, data in all_art():
        try:
            with open(path, "rb") as f:
                same = f.read() == data
        except OSError:
            same = False
        if not same:
            out.append(os.path.relpath(path, ROOT))
    return out


def main():
    if sys.argv[1:] == ["--check"]:
        old = stale()
        if old:
            sys.exit("makeart: not what this script draws (run it and commit): "
                     + " ".join(old))
        return check()
    os.makedirs(os.path.dirname(ICO_PATH), exist_ok=True)
    for path, data in all_art():
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        print("wrote %s (%d bytes)" % (os.path.relpath(path, ROOT), len(data)))


if __name__ == "__main__":
    main()
