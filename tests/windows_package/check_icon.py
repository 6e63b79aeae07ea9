#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""check_icon.py ICON MAKE_ICON

Checks the Windows icon: it holds the program's picture at 16, 24, 32, 48,
64, 128 and 256 pixels, and it is what MAKE_ICON draws from the SVG today
(so a changed SVG without a new icon fails). Without rsvg-convert or icotool
the second check is skipped, and a line starting "SKIPPED:" says so."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

SIZES = [16, 24, 32, 48, 64, 128, 256]


def sizes(icon):
    # ICONDIR: reserved word, type word (1: icon), count word; then a 16-byte
    # entry per picture whose first two bytes are its width and height
    # (0 meaning 256).
    with open(icon, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data)
    if (reserved, kind) != (0, 1) or len(data) < 6 + 16 * count:
        return None
    return sorted((data[6 + 16 * i] or 256, data[7 + 16 * i] or 256) for i in range(count))


def main(icon, make_icon):
    found = sizes(icon)
    if found != [(s, s) for s in SIZES]:
        print(f"FAILED: {icon} holds {found}, not squares of {SIZES}")
        return 1
    if not (shutil.which("rsvg-convert") and shutil.which("icotool")):
        print("SKIPPED: rsvg-convert or icotool missing, the icon is not compared with the SVG")
        return 0
    with tempfile.TemporaryDirectory() as work:
        fresh = os.path.join(work, "corvadex.ico")
        subprocess.run([make_icon, fresh], check=True)
        with open(fresh, "rb") as a, open(icon, "rb") as b:
            if a.read() != b.read():
                print(f"FAILED: {icon} is not what the SVG draws today; run {make_icon}")
                return 1
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
