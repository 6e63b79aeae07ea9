#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""check_installer.py WORK_DIR VERSION MAKE_PACKAGES PROGRAMS_DIR

Makes the Windows packages from the programs in PROGRAMS_DIR, then under Wine,
in a fresh prefix in WORK_DIR: installs silently and checks the installed
files (those of the zip, byte for byte, and the uninstaller), the Start-menu
shortcut, the uninstall entry and the installed corvadex-cli.exe --version;
then uninstalls silently and checks that all of it is gone but a file the
user put in the program's folder.

Exit status 0 when all is right, 1 when not, 77 (skipped) without wine,
makensis or the Windows programs."""
import os
import re
import shutil
import struct
import subprocess
import sys
import zipfile

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvadex"
USER_FILE = "my notes.txt"


class Fault(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Fault(message)


class Prefix:
    """A Wine prefix of our own; every call waits, at most `limit` seconds."""

    def __init__(self, path):
        self.env = dict(os.environ, WINEPREFIX=path, WINEDEBUG="-all", DISPLAY="",
                        WINEDLLOVERRIDES="mscoree,mshtml=")

    def run(self, *args, limit=120):
        done = subprocess.run(args, env=self.env, capture_output=True, text=True,
                              errors="replace", timeout=limit)
        return done.returncode, done.stdout.replace("\r\n", "\n")

    def unix_path(self, windows_path):
        return self.run("winepath", "-u", windows_path)[1].strip()

    def folder(self, variable):
        return self.unix_path(self.run("wine", "cmd", "/c", "echo", f"%{variable}%")[1].strip())

    def registry(self):
        """The uninstall entry's values by name, or None when the key is missing."""
        status, out = self.run("wine", "reg", "query", UNINSTALL_KEY)
        if status != 0:
            return None
        return dict(re.findall(r"^\s+(\S+)\s+REG_\w+\s+(.*?)\s*$", out, re.M))


def shortcut_target(lnk):
    # A shell link: LinkFlags at 0x14 (bit 0 an item ID list, whose size is
    # the word at 0x4C, bit 1 a LinkInfo); the LinkInfo holds at +16 the
    # offset of the local base path, a NUL-terminated string.
    data = open(lnk, "rb").read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    check(flags & 2, f"{lnk} has no link information")
    info = 0x4C + (2 + struct.unpack_from("<H", data, 0x4C)[0] if flags & 1 else 0)
    start = info + struct.unpack_from("<I", data, info + 16)[0]
    return data[start:data.index(b"\0", start)].decode("latin-1")


def main(work, version, make_packages, programs):
    missing = [t for t in ("wine", "wineserver", "winepath", "makensis") if not shutil.which(t)]
    missing += [p for p in ("corvadex.exe", "corvadex-cli.exe")
                if not os.path.isfile(os.path.join(programs, p))]
    if missing:
        print(f"SKIPPED: missing {', '.join(missing)} (./dev windows builds the programs; "
              "wine64 and nsis are Debian packages)")
        return 77
    shutil.rmtree(work, ignore_errors=True)
    packages = os.path.join(work, "packages")
    subprocess.run([make_packages, "--programs", programs, "--output", packages], check=True,
                   stdout=subprocess.DEVNULL)
    with zipfile.ZipFile(os.path.join(packages, f"corvadex-{version}-windows-x64.zip")) as z:
        payload = {n.split("/", 1)[1]: z.read(n) for n in z.namelist()}
    check({"corvadex.exe", "corvadex-cli.exe", "README.md", "LICENSE", "guide.html"} <= set(payload),
          f"the zip lacks files: {sorted(payload)}")

    wine = Prefix(os.path.join(work, "prefix"))
    try:
        wine.run("wineboot", "--init", limit=300)
        status, _ = wine.run("wine", os.path.join(packages, f"corvadex-{version}-setup.exe"), "/S")
        check(status == 0, f"the silent install exited with {status}")
        home = os.path.join(wine.folder("LOCALAPPDATA"), "Programs", "Corvadex")
        lnk = os.path.join(wine.folder("APPDATA"), "Microsoft", "Windows", "Start Menu",
                           "Programs", "Corvadex.lnk")
        check(os.path.isdir(home), f"nothing installed in {home}")
        installed = sorted(os.listdir(home))
        check(installed == sorted([*payload, "uninstall.exe"]), f"installed: {installed}")
        for name, data in payload.items():
            check(open(os.path.join(home, name), "rb").read() == data, f"{name} differs from the zip's")

        check(os.path.isfile(lnk), f"no shortcut {lnk}")
        target = shortcut_target(lnk)
        check(wine.unix_path(target) == os.path.join(home, "corvadex.exe"),
              f"the shortcut starts {target}")
        entry = wine.registry()
        check(entry is not None, f"no {UNINSTALL_KEY}")
        here = entry.get("InstallLocation", "")
        check(wine.unix_path(here) == home, f"InstallLocation {here}")
        uninstaller = f'"{here}\\uninstall.exe"'
        for name, value in (("DisplayName", "Corvadex"), ("DisplayVersion", version),
                            ("Publisher", "Corvadex team"), ("DisplayIcon", here + "\\corvadex.exe,0"),
                            ("UninstallString", uninstaller),
                            ("QuietUninstallString", uninstaller + " /S"),
                            ("NoModify", "0x1"), ("NoRepair", "0x1")):
            check(entry.get(name) == value, f"{name} is {entry.get(name)!r}, not {value!r}")
        size = int(entry.get("EstimatedSize", "0"), 16)
        check(size * 1024 >= sum(map(len, payload.values())), f"EstimatedSize {size} KB")

        status, out = wine.run("wine", os.path.join(home, "corvadex-cli.exe"), "--version")
        check(status == 0 and re.fullmatch(rf"corvadex(-cli)? {re.escape(version)}\n", out),
              f"installed corvadex-cli.exe --version: status {status}, printed {out!r}")

        with open(os.path.join(home, USER_FILE), "w") as f:
            f.write("the user's own file\n")
        # The uninstaller copies itself to a temporary folder, starts the copy
        # and returns at once; wineserver -w waits until every program of the
        # prefix has ended.
        status, _ = wine.run("wine", os.path.join(home, "uninstall.exe"), "/S")
        check(status == 0, f"the silent uninstall exited with {status}")
        wine.run("wineserver", "-w")
        left = sorted(os.listdir(home)) if os.path.isdir(home) else []
        check(left == [USER_FILE], f"left after uninstalling: {left}")
        check(not os.path.exists(lnk), "the shortcut is left after uninstalling")
        check(wine.registry() is None, "the uninstall entry is left after uninstalling")
    finally:
        wine.run("wineserver", "-k")
    shutil.rmtree(work, ignore_errors=True)
    print("install, shortcut, uninstall entry, --version and uninstall: all right")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    try:
        sys.exit(main(*sys.argv[1:]))
    except (Fault, subprocess.SubprocessError, OSError) as fault:
        print(f"FAILED: {fault}")
        sys.exit(1)
