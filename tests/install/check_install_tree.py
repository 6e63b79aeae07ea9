#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""check_install_tree.py BUILD_DIR PREFIX VERSION SOURCE_DIR [options]

Installs the build into an empty prefix and checks what it holds: both
programs (which run from there), the desktop entry, the icon as SVG and as
PNGs of the right sizes, the manual pages, the AppStream data and the
documentation; then the validators' verdict on the desktop entry and the
AppStream data. With update-mime-database and xdg-mime, the installed file
type is then asked for a contacts.edb and for a database under another name
(its signature alone).

Exit status 0 when the tree is right (a line starting "SKIPPED:" says which
validators were missing), 1 when it is not, 2 on bad usage."""
import argparse
import glob
import os
import re
import shutil
import struct
import subprocess
import sys

ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


class Fault(Exception):
    pass


def run(args, env=None):
    """Runs a program: its exit status, standard output and standard error."""
    done = subprocess.run(args, env=env, capture_output=True, text=True, errors="replace")
    return done.returncode, done.stdout, done.stderr


def expected_files(options):
    expected = ["bin/corvadex-cli", "share/man/man1/corvadex-cli.1.gz",
                "share/doc/corvadex/README.md", "share/doc/corvadex/LICENSE"]
    if options.window:
        expected += ["bin/corvadex", "share/man/man1/corvadex.1.gz",
                     "share/applications/corvadex.desktop", "share/mime/packages/corvadex-ese.xml",
                     "share/metainfo/io.github.corvadex.corvadex.metainfo.xml",
                     "share/icons/hicolor/scalable/apps/corvadex.svg"]
        expected += [f"share/icons/hicolor/{s}x{s}/apps/corvadex.png" for s in ICON_SIZES]
        # The user's guide: HTML with the pictures it shows, or its Markdown text.
        if options.guide_html:
            expected.append("share/doc/corvadex/guide.html")
            expected += ["share/doc/corvadex/" + os.path.basename(p)
                         for p in glob.glob(os.path.join(options.source_dir, "docs", "*.png"))]
        else:
            expected.append("share/doc/corvadex/guide.md")
    return sorted(expected)


def installed_files(prefix):
    found = []
    for root, _, files in os.walk(prefix):
        found += [os.path.relpath(os.path.join(root, f), prefix) for f in files]
    return sorted(found)


def check_icons(prefix):
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    for size in ICON_SIZES:
        with open(f"{prefix}/share/icons/hicolor/{size}x{size}/apps/corvadex.png", "rb") as f:
            header = f.read(24)
        w, h = struct.unpack(">II", header[16:24]) if len(header) == 24 else (0, 0)
        if not header.startswith(b"\x89PNG") or (w, h) != (size, size):
            raise Fault(f"The {size}x{size} icon is not a {size} by {size} PNG ({w} by {h})")


def check_programs(prefix, programs, version):
    # The installed programs run from the prefix and carry the version.
    for program in programs:
        status, out, err = run([f"{prefix}/bin/{program}", "--version"])
        if status != 0 or out != f"corvadex {version}\n":
            raise Fault(f"installed {program} --version: status {status}, printed '{out}{err}'")
    # The manual pages carry the version and are well-formed roff (man
    # warns on standard error about anything it cannot format cleanly).
    man = shutil.which("man")
    if man is None:
        return
    env = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8")
    for program in programs:
        page = f"{prefix}/share/man/man1/{program}.1.gz"
        status, text, err = run([man, "--warnings", "-E", "UTF-8", "-l", page], env)
        if status != 0 or err != "" or f"corvadex {version}" not in text:
            raise Fault(f"man {page}: status {status}\n{err}")


def check_file_type(prefix, options):
    mime_dir = f"{prefix}/share/mime"
    status, _, err = run([options.update_mime_database, mime_dir])
    if status != 0:
        raise Fault(f"update-mime-database: status {status}\n{err}")
    database = sorted(glob.glob(os.path.join(options.source_dir, "tests/data/ese/*.edb")))[0]
    files = f"{prefix}/files"
    os.makedirs(files)
    env = {k: v for k, v in os.environ.items()
           if k not in ("XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID")}
    env.update(XDG_DATA_HOME=f"{prefix}/share", XDG_DATA_DIRS=f"{prefix}/share:/usr/share")
    for name in ("contacts.edb", "address-book.dat"):
        shutil.copyfile(database, os.path.join(files, name))
        status, out, err = run([options.xdg_mime, "query", "filetype", os.path.join(files, name)], env)
        if status != 0 or out.strip() != "application/x-ese-database":
            raise Fault(f"xdg-mime query filetype {name}: status {status}, '{out.strip()}' {err}")
    shutil.rmtree(files)


def check_validators(prefix, options):
    """The validators' verdicts; the names of those missing."""
    skipped = []
    if options.desktop_file_validate:
        desktop = f"{prefix}/share/applications/corvadex.desktop"
        status, out, err = run([options.desktop_file_validate, desktop])
        if status != 0 or out + err != "":
            raise Fault(f"desktop-file-validate: status {status}\n{out}{err}")
    else:
        skipped.append("desktop-file-validate")
    if options.appstreamcli:
        metainfo = f"{prefix}/share/metainfo/io.github.corvadex.corvadex.metainfo.xml"
        for check in (["validate", "--no-net", metainfo], ["validate-tree", "--no-net", prefix]):
            status, out, err = run([options.appstreamcli] + check)
            if status != 0:
                raise Fault(f"appstreamcli {' '.join(check)}: status {status}\n{out}{err}")
    else:
        skipped.append("appstreamcli")
    if options.update_mime_database and options.xdg_mime:
        check_file_type(prefix, options)
    else:
        skipped.append("update-mime-database or xdg-mime")
    return skipped


def check(options):
    prefix = options.prefix
    shutil.rmtree(prefix, ignore_errors=True)
    status, _, err = run([options.cmake, "--install", options.build_dir, "--prefix", prefix])
    if status != 0:
        raise Fault(f"cmake --install failed:\n{err}")
    # Every expected file and nothing else (the package's own files stay out).
    found, expected = installed_files(prefix), expected_files(options)
    if found != expected:
        raise Fault("The installed tree holds\n  " + "\n  ".join(found) +
                    "\nbut should hold\n  " + "\n  ".join(expected))
    programs = ["corvadex-cli"]
    if options.window:
        check_icons(prefix)
        programs.append("corvadex")
    check_programs(prefix, programs, options.version)
    if not options.window:
        return []
    return check_validators(prefix, options)


def main():
    parser = argparse.ArgumentParser(usage=__doc__.splitlines()[0])
    parser.add_argument("build_dir")
    parser.add_argument("prefix")
    parser.add_argument("version")
    parser.add_argument("source_dir")
    on = lambda text: re.fullmatch(r"(?i)on|yes|true|1", text) is not None
    parser.add_argument("--cmake", default="cmake", help="the cmake program that made the build")
    parser.add_argument("--window", type=on, default=False)
    parser.add_argument("--guide-html", type=on, default=False)
    for tool in ("desktop-file-validate", "appstreamcli", "update-mime-database", "xdg-mime"):
        parser.add_argument("--" + tool, default="", help="the program, when installed")
    options = parser.parse_args()
    try:
        skipped = check(options)
    except Fault as fault:
        print(fault)
        return 1
    if skipped:
        print(f"SKIPPED: the installed tree is right, but {' and '.join(skipped)} "
              "is not installed to validate it")
    return 0


if __name__ == "__main__":
    sys.exit(main())
