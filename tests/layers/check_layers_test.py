#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""check_layers.py on small made-up trees: each case is one tree that differs
from a clean one by one include or one link, and the faults it must report."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_layers.py")

# A clean tree: store reads base and ese, the program reads store.
CLEAN_FILES = {
    "src/base/log.h": "#pragma once\n",
    "src/base/log.cpp": '#include "base/log.h"\n',
    "src/ese/jet.h": '#pragma once\n#include "base/log.h"\n',
    "src/ese/jet.cpp": '#include "ese/jet.h"\n',
    "src/store/reader.h": '#pragma once\n#include "ese/jet.h"\n',
    "src/store/reader.cpp": '#include "store/reader.h"\n#include "store/seam.h"\n',
    "src/store/seam.h": "#pragma once\n",
    "app/main.cpp": '#include "store/reader.h"\n',
}
# name: (folder, sources, links, public links)
CLEAN_TARGETS = {
    "lib_base": ("src/base", ["log.cpp"], [], []),
    "lib_ese": ("src/ese", ["jet.cpp"], ["lib_base"], ["lib_base"]),
    "lib_store": ("src/store", ["reader.cpp"], ["lib_ese"], ["lib_ese"]),
    "prog": ("app", ["main.cpp"], ["lib_store"], []),
}


def changed(files=None, targets=None):
    return ({**CLEAN_FILES, **(files or {})}, {**CLEAN_TARGETS, **(targets or {})})


CASES = [
    ("clean tree", changed(), []),
    ("base includes a folder above it",
     changed(files={"src/base/log.cpp": '#include "base/log.h"\n#include "store/seam.h"\n'},
             targets={"lib_base": ("src/base", ["log.cpp"], ["lib_store"], [])}),
     ["src/base/log.cpp:2: base includes store/seam.h, a folder above it"]),
    ("a header includes a folder above it, indented",
     changed(files={"src/ese/jet.h": '#pragma once\n  #  include "app/x.h"\n'}),
     ["src/ese/jet.h:2: ese includes app/x.h, a folder above it"]),
    ("a folder beside it is not above it",
     changed(files={"src/store/reader.cpp": '#include "store/reader.h"\n#include "export/x.h"\n'}), []),
    ("an include without a folder is the file's own folder's",
     changed(files={"src/base/log.cpp": '#include "log.h"\n#include "reader.h"\n'}), []),
    ("a program that does not link the library of a header it includes",
     changed(targets={"prog": ("app", ["main.cpp"], [], [])}),
     ["app/main.cpp:1: prog includes store/reader.h but does not link lib_store"]),
    ("a header-only header belongs to its folder's library",
     changed(files={"app/main.cpp": '#include "store/seam.h"\n'},
             targets={"prog": ("app", ["main.cpp"], ["lib_ese"], [])}),
     ["app/main.cpp:1: prog includes store/seam.h but does not link lib_store"]),
    ("a public link of a linked library counts",
     changed(files={"app/main.cpp": '#include "store/reader.h"\n#include "base/log.h"\n'}), []),
    ("a private link of a linked library does not count",
     changed(files={"app/main.cpp": '#include "store/reader.h"\n#include "base/log.h"\n'},
             targets={"lib_store": ("src/store", ["reader.cpp"], ["lib_ese"], ["$<LINK_ONLY:lib_ese>"])}),
     ["app/main.cpp:2: prog includes base/log.h but does not link lib_base"]),
    ("an include in a header of the library's own folder counts",
     changed(files={"src/store/seam.h": '#pragma once\n#include "base/log.h"\n'},
             targets={"lib_store": ("src/store", ["reader.cpp"], [], [])}),
     ["src/store/reader.h:2: lib_store includes ese/jet.h but does not link lib_ese",
      "src/store/seam.h:2: lib_store includes base/log.h but does not link lib_base"]),
]


def run_check(files, targets):
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as f:
                f.write(text)
        listing = os.path.join(root, "targets.txt")
        with open(listing, "w", encoding="utf-8") as f:
            for name, (folder, sources, links, public) in targets.items():
                f.write("|".join([name, os.path.join(root, folder), ";".join(sources), ";".join(links),
                                  ";".join(public)]) + "\n")
        done = subprocess.run([sys.executable, CHECK, root, listing], capture_output=True, text=True)
        return done.returncode, done.stdout.splitlines()


class CheckLayersTest(unittest.TestCase):
    def test_cases(self):
        for name, (files, targets), want in CASES:
            with self.subTest(name):
                status, lines = run_check(files, targets)
                self.assertEqual(sorted(lines[:-1]), sorted(want))
                self.assertEqual(lines[-1], f"{len(want)} fault(s) in {len(targets)} targets")
                self.assertEqual(status, 1 if want else 0)

    def test_unreadable_targets_file(self):
        done = subprocess.run([sys.executable, CHECK, ".", "/nonexistent/targets.txt"],
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 2)
        self.assertIn("/nonexistent/targets.txt", done.stderr)


if __name__ == "__main__":
    unittest.main()
