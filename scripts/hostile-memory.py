#!/usr/bin/env python3
"""Peak memory of vexel2d-cli info and render on hostile schemes.

Writes scheme files that are as heavy as the reader accepts (a 60-megapixel
background, the largest one picture may be, and records whose outlines each
cover the whole picture, so every record's working pictures are as large as
the scene), then runs `info` and `render` on each under /usr/bin/time -v and
prints the peak resident size and the elapsed time.

    scripts/hostile-memory.py [BUILD_DIR] [--keep DIR] [--only NAME]

The pictures are made here, byte by byte: a flat grey baseline JPEG of
entropy-coded empty blocks (a few hundred kilobytes for 60 megapixels) and a
PNG of zeros squeezed by zlib, so nothing beyond Python is needed.
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

WIDTH, HEIGHT = 10000, 6000  # 60 million pixels, the per-picture limit
RECORDS = 12
RECORD_SIZE = 1212

# Record kinds.
REGION, PICTURE_MODEL, SHADOW_REGION, CUT_OUT = 0, 1, 2, 4


def segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def flat_jpeg(width, height, truncated=False):
    """A grey baseline JPEG: one component, every block's DC difference and
    AC run coded as the single one-bit code '0' of two one-symbol tables."""
    out = bytearray(b"\xff\xd8")
    out += segment(0xDB, b"\x00" + bytes([1] * 64))
    out += segment(0xC0, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")
    counts = bytes([1] + [0] * 15)
    out += segment(0xC4, b"\x00" + counts + b"\x00")  # DC table 0: category 0
    out += segment(0xC4, b"\x10" + counts + b"\x00")  # AC table 0: end of block
    out += segment(0xDA, b"\x01\x01\x00\x00\x3f\x00")
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    data = bytes((2 * blocks + 7) // 8)  # two zero bits a block
    if truncated:
        data = data[:64]
    out += data + b"\xff\xd9"
    return bytes(out)


def png_chunk(kind, payload):
    return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))


def zero_png(width, height, truncated=False):
    """A valid RGB PNG of black rows: 180 MB of pixels in a few hundred kB."""
    squeeze = zlib.compressobj(9)
    row = bytes(1 + 3 * width)
    body = bytearray()
    for _ in range(height if not truncated else 1):
        body += squeeze.compress(row)
    body += squeeze.flush()
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", bytes(body)) + png_chunk(b"IEND", b"")


def record(name, kind, width, height, picture=b"", blur=0, reflect=0, lighten=0, tone=1):
    """One record whose outline is the whole picture, with its trailing data."""
    block = bytearray(RECORD_SIZE)
    block[0:len(name)] = name
    points = [(0, 0), (width - 1, 0), (width - 1, height - 1), (0, height - 1)]
    struct.pack_into("<iii", block, 52, len(points), 3000, 2000)
    struct.pack_into("<8i", block, 68, *[v for p in points for v in p])
    struct.pack_into("<iiii", block, 108, 1, lighten, len(picture) + 1 if picture else 0, reflect)
    struct.pack_into("<iiii", block, 1148, blur, kind, 0, 0)
    struct.pack_into("<ii", block, 1172, 100, 100)
    struct.pack_into("<i", block, 1184, tone)
    block[1192] = 1 if kind != REGION else 0  # a plain region without shadow carries a mesh block
    struct.pack_into("<iiii", block, 1196, 5, 5, 10, 0x808080)
    tail = b"".join(struct.pack("<ii", *p) for p in points) + struct.pack("<i", len(points) - 1)
    if picture:
        tail += picture + b"\xff"
    if kind == CUT_OUT:
        tail += struct.pack("<i", 1)  # one rotation frame: none stored
    if kind == REGION:
        tail += struct.pack("<ii", 0, 0)  # no warp mesh
    return bytes(block) + tail


def scheme(background, records, background_type=1):
    body = b"".join(records)
    header = b"d2v." + struct.pack("<iIii", 13, len(background) + 1, background_type, len(records))
    return header + background + b"\xff" + body + struct.pack("<i", 0)


def hostile_schemes():
    """Name -> scheme bytes, the heaviest first."""
    small = flat_jpeg(8, 8)
    grey = flat_jpeg(WIDTH, HEIGHT)
    regions = [record(b"blur%d" % i, REGION, WIDTH, HEIGHT, blur=30, reflect=50) for i in range(RECORDS)]
    mixed = []
    for i in range(RECORDS):
        kind = [REGION, SHADOW_REGION, PICTURE_MODEL][i % 3]
        mixed.append(record(b"mix%d" % i, kind, WIDTH, HEIGHT, picture=small, blur=30 if kind == REGION else 0,
                            reflect=60 if kind == REGION else 0))
    def whole(kind):
        return [record(b"k%d-%d" % (kind, i), kind, WIDTH, HEIGHT, picture=small) for i in range(RECORDS)]
    return {
        "blurred-regions": scheme(grey, regions),
        "shadow-regions": scheme(grey, whole(SHADOW_REGION)),
        "picture-models": scheme(grey, whole(PICTURE_MODEL)),
        "mixed-kinds": scheme(grey, mixed),
        # The rest of the file's 80 megapixels in one picture, repeated over the whole scene.
        "large-picture": scheme(grey, [record(b"large", REGION, WIDTH, HEIGHT, picture=flat_jpeg(5000, 4000),
                                              reflect=60)]),
        "background-only": scheme(grey, []),
        "large-picture-model": scheme(grey, [record(b"model", PICTURE_MODEL, WIDTH, HEIGHT,
                                                    picture=flat_jpeg(5000, 4000))]),
        "large-shadow-region": scheme(grey, [record(b"shadow", SHADOW_REGION, WIDTH, HEIGHT,
                                                    picture=flat_jpeg(5000, 4000))]),
        "large-cut-out": scheme(grey, [record(b"cut", CUT_OUT, WIDTH, HEIGHT, picture=zero_png(5000, 4000))]),
        "png-bomb-background": scheme(zero_png(WIDTH, HEIGHT), []),
        "png-bombs-everywhere": scheme(zero_png(WIDTH, HEIGHT), [record(b"bomb", REGION, WIDTH, HEIGHT,
                                                                       picture=zero_png(5000, 4000))]),
        "png-truncated-background": scheme(zero_png(WIDTH, HEIGHT, truncated=True), []),
        "jpeg-truncated-background": scheme(flat_jpeg(WIDTH, HEIGHT, truncated=True), []),
    }


def measure(command):
    """(peak MB, seconds, exit code, last stderr line) of one run."""
    run = subprocess.run(["/usr/bin/time", "-v"] + command, capture_output=True, text=True,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    peak = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", run.stderr).group(1))
    clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)", run.stderr).group(1)
    seconds = sum(float(part) * 60 ** k for k, part in enumerate(reversed(clock.split(":"))))
    said = [line for line in run.stderr.split("\tCommand being timed")[0].splitlines() if line.strip()]
    said = [line for line in said if not line.startswith("Command exited")]
    return peak / 1024, seconds, run.returncode, said[-1] if said else ""


def main():
    args = sys.argv[1:]
    keep = only = None
    if "--keep" in args:
        keep = args.pop(args.index("--keep") + 1)
        args.remove("--keep")
    if "--only" in args:
        only = args.pop(args.index("--only") + 1)
        args.remove("--only")
    build = args[0] if args else "build"
    cli = os.path.join(build, "bin", "vexel2d-cli")
    folder = keep or tempfile.mkdtemp(prefix="vexel2d-hostile-")
    os.makedirs(folder, exist_ok=True)
    print(f"{'scheme':28} {'command':7} {'peak MB':>8} {'seconds':>8}  exit")
    for name, data in hostile_schemes().items():
        if only and name != only:
            continue
        path = os.path.join(folder, name + ".v2d")
        with open(path, "wb") as f:
            f.write(data)
        for command in (["info", path], ["render", path, "-o", os.path.join(folder, name + ".jpg")]):
            peak, seconds, code, said = measure([cli] + command)
            note = f"  ({said})" if code != 0 and said else ""
            print(f"{name:28} {command[0]:7} {peak:8.0f} {seconds:8.1f}  {code}{note}", flush=True)
    if not keep:
        for entry in os.listdir(folder):
            os.remove(os.path.join(folder, entry))
        os.rmdir(folder)


if __name__ == "__main__":
    main()
