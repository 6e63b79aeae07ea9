#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
"""check_database.py MODE PAGE_SIZE REVISION COUNT [--min-depth N]

Writes a contacts database with make-contacts-db and checks it:
  roundtrip    corvadex-cli dump of the file equals the generator's --expected
  libesedb     python3-libesedb reports the same tables, columns and values
  impacket     impacket's ESE reader does
  esedbexport  libesedb's export tool exports every table without an error
--min-depth N also requires the contact table's tree to have N levels.
Environment: MAKE, CLI (the two programs), COMPARE (the dump comparison),
SOURCE (the source tree). Exit status 77 when an independent reader is
missing, 1 when a check fails, 2 on bad usage."""
import argparse
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile

SKIPPED = 77


def deepest_table_tree(path):
    """The depth of the deepest table tree: the first children are followed
    from every root page that is not a space or long-value tree."""
    with open(path, "rb") as f:
        data = f.read()
    page = struct.unpack_from("<I", data, 236)[0]
    header = 80 if page > 8192 else 40
    mask = 0x7FFF if page > 8192 else 0x1FFF

    def at(pgno):
        return (pgno + 1) * page

    best = 0
    for pgno in range(1, len(data) // page - 1):
        flags = struct.unpack_from("<I", data, at(pgno) + 36)[0]
        if not flags & 1 or flags & 0xA0:
            continue
        depth, p = 1, pgno
        while not struct.unpack_from("<I", data, at(p) + 36)[0] & 2:
            cb, ib = struct.unpack_from("<HH", data, at(p) + page - 8)
            cb, ib = cb & mask, ib & mask
            p = struct.unpack_from("<I", data, at(p) + header + ib + cb - 4)[0]
            depth += 1
        best = max(best, depth)
    return best


def run(args, **kwargs):
    """Runs a program; its exit status (its output goes to ours)."""
    sys.stdout.flush()
    return subprocess.run(args, **kwargs).returncode


def roundtrip(work, env):
    with open(os.path.join(work, "got.json"), "wb") as got:
        if run([env["CLI"], "dump", os.path.join(work, "contacts.edb")], stdout=got) != 0:
            return 1
    return run([env["COMPARE"], os.path.join(work, "expected.json"), os.path.join(work, "got.json")])


def independent(mode, work, env):
    return run(["/usr/bin/python3", os.path.join(env["SOURCE"], "tools/ese_writer/check_independent.py"),
                "--reader", mode, os.path.join(work, "expected.json"), os.path.join(work, "contacts.edb")])


def esedbexport(work, env):
    program = shutil.which("esedbexport")
    if program is None:
        return SKIPPED
    done = subprocess.run([program, "-t", os.path.join(work, "export"), os.path.join(work, "contacts.edb")],
                          capture_output=True, text=True)
    if done.returncode != 0:
        print(done.stdout + done.stderr)
        return 1
    with open(os.path.join(work, "expected.json"), encoding="utf-8") as f:
        want = [t["name"] for t in json.load(f)["tables"]]
    got = sorted(os.listdir(os.path.join(work, "export.export")), key=lambda n: int(n.rsplit(".", 1)[1]))
    got = [n.rsplit(".", 1)[0] for n in got]
    # esedbexport shortens file names to what the file system allows.
    if len(want) != len(got) or any(not w.startswith(g) for w, g in zip(want, got)):
        print(f"exported tables {got}, expected {want}")
        return 1
    return 0


def main():
    parser = argparse.ArgumentParser(usage=__doc__.splitlines()[0])
    parser.add_argument("mode", choices=["roundtrip", "libesedb", "impacket", "esedbexport"])
    parser.add_argument("page_size")
    parser.add_argument("revision")
    parser.add_argument("count")
    parser.add_argument("--min-depth", type=int, default=0)
    options = parser.parse_args()
    env = os.environ
    with tempfile.TemporaryDirectory() as work:
        db = os.path.join(work, "contacts.edb")
        if run([env["MAKE"], "--count", options.count, "--page-size", options.page_size,
                "--revision", options.revision, "--seed", "11",
                "--expected", os.path.join(work, "expected.json"), db]) != 0:
            return 1
        if options.min_depth > 0:
            depth = deepest_table_tree(db)
            if depth < options.min_depth:
                print(f"deepest tree has {depth} levels, wanted {options.min_depth}")
                return 1
        if options.mode == "roundtrip":
            return roundtrip(work, env)
        if options.mode == "esedbexport":
            return esedbexport(work, env)
        return independent(options.mode, work, env)


if __name__ == "__main__":
    sys.exit(main())
