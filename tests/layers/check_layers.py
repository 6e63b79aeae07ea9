#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Checks that the program's folders depend on each other one way only.

    check_layers.py SOURCE_DIR TARGETS_FILE

1. No file under src/ or app/ includes a header of a folder above its own.
   The folders, from the bottom: base < ese < store, contacts, export,
   platform (side by side) < location < window < app.
2. Every library and program of src/ and app/ links (itself or through the
   public links of what it links) the library of each header its files
   include from another folder. A header belongs to the library that
   compiles the .cpp of the same name; a header without one belongs to the
   folder's library (any of them, where a folder has two).

TARGETS_FILE has one line per target, written at configure time:
    name|source folder|sources|links|public links
with the lists separated by ';'. Prints one line per fault; exit status 1
when there is one, 0 when there is none, 2 when the input cannot be read.
"""
import os
import re
import sys

LAYERS = [["base"], ["ese"], ["store", "contacts", "export", "platform"],
          ["location"], ["window"], ["app"]]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*"([^"]+)"', re.MULTILINE)
LINK_ONLY = re.compile(r"^\$<LINK_ONLY:(.*)>$")
SOURCE_SUFFIXES = (".h", ".cpp", ".h.in")


def folder_of(path, source_dir):
    """The layer folder a file lies in ("store" for src/store/x.h), or None."""
    parts = os.path.relpath(path, source_dir).split(os.sep)
    if parts[0] == "app":
        return "app"
    if parts[0] == "src" and len(parts) > 2 and parts[1] in RANK:
        return parts[1]
    return None


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    for match in INCLUDE.finditer(text):
        yield text.count("\n", 0, match.start()) + 1, match.group(1)


def included_folder(name):
    """The folder of an include written as "folder/file.h", or None."""
    head = name.split("/", 1)[0]
    return head if "/" in name and head in RANK else None


def upward_includes(source_dir):
    faults = []
    for top in ("src", "app"):
        for root, dirs, files in os.walk(os.path.join(source_dir, top)):
            dirs.sort()
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(root, name)
                own = folder_of(path, source_dir)
                if own is None:
                    continue
                for line, header in includes(path):
                    other = included_folder(header)
                    if other is not None and RANK[other] > RANK[own]:
                        faults.append(f"{os.path.relpath(path, source_dir)}:{line}: "
                                      f"{own} includes {header}, a folder above it")
    return faults


def read_targets(path):
    targets = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            name, folder, sources, links, public = line.split("|")
            split = lambda text: [t for t in text.split(";") if t]
            targets[name] = {
                "folder": folder,
                "sources": [s if os.path.isabs(s) else os.path.join(folder, s) for s in split(sources)],
                "links": split(links),
                "public": [LINK_ONLY.sub(r"\1", t) for t in split(public) if not LINK_ONLY.match(t)],
            }
    return targets


def reachable(name, targets):
    """The targets `name` links, directly or through its links' public links."""
    seen = set()
    stack = list(targets[name]["links"])
    while stack:
        t = stack.pop()
        if t in seen:
            continue
        seen.add(t)
        if t in targets:
            stack.extend(targets[t]["public"])
    return seen


def header_owners(header, source_dir, targets):
    """The targets that may be linked for `header` ("platform/x.h")."""
    stem = os.path.join(source_dir, "src", os.path.splitext(header)[0])
    compiling = {n for n, t in targets.items() if stem + ".cpp" in t["sources"]}
    if compiling:
        return compiling
    folder = os.path.join(source_dir, "src", header.split("/", 1)[0])
    return {n for n, t in targets.items() if t["folder"] == folder}


def files_of(target, source_dir):
    """A target's sources and the headers of its own folder they include."""
    folder = target["folder"]
    pending = [s for s in target["sources"] if s.endswith(SOURCE_SUFFIXES)]
    seen = set()
    while pending:
        path = pending.pop()
        if path in seen or not os.path.exists(path):
            continue
        seen.add(path)
        for _, header in includes(path):
            for candidate in (os.path.join(source_dir, "src", header), os.path.join(folder, header)):
                if os.path.dirname(candidate) == folder and os.path.exists(candidate):
                    pending.append(candidate)
    return sorted(seen)


def missing_links(source_dir, targets):
    faults = []
    for name in sorted(targets):
        target = targets[name]
        own = folder_of(os.path.join(target["folder"], "x"), source_dir)
        linked = reachable(name, targets) | {name}
        reported = set()
        for path in files_of(target, source_dir):
            for line, header in includes(path):
                other = included_folder(header)
                if other is None or other == own:
                    continue
                owners = header_owners(header, source_dir, targets)
                if not owners or owners & linked or (name, header) in reported:
                    continue
                reported.add((name, header))
                faults.append(f"{os.path.relpath(path, source_dir)}:{line}: {name} includes {header} "
                              f"but does not link {' or '.join(sorted(owners))}")
    return faults


def main(argv):
    if len(argv) != 3:
        print("Usage: check_layers.py SOURCE_DIR TARGETS_FILE", file=sys.stderr)
        return 2
    source_dir = os.path.abspath(argv[1])
    try:
        targets = read_targets(argv[2])
    except (OSError, ValueError) as e:
        print(f"check_layers.py: {e}", file=sys.stderr)
        return 2
    faults = upward_includes(source_dir) + missing_links(source_dir, targets)
    for fault in faults:
        print(fault)
    print(f"{len(faults)} fault(s) in {len(targets)} targets")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
