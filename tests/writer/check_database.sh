#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# check_database.sh MODE PAGE_SIZE REVISION COUNT [--min-depth N]
#
# Writes a contacts database with make-contacts-db and checks it:
#   roundtrip  corvadex-cli dump of the file equals the generator's --expected
#   libesedb   python3-libesedb reports the same tables, columns and values
#   impacket   impacket's ESE reader does
#   esedbexport libesedb's export tool exports every table without an error
# --min-depth N also requires the contact table's tree to have N levels.
# Environment: MAKE, CLI (the two programs), COMPARE (the dump comparison),
# SOURCE (the source tree). Exit 77 when an independent reader is missing.
set -euo pipefail
mode=$1 page=$2 rev=$3 count=$4
shift 4
min_depth=0
if [ "${1:-}" = "--min-depth" ]; then min_depth=$2; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$MAKE" --count "$count" --page-size "$page" --revision "$rev" --seed 11 \
  --expected "$work/expected.json" "$work/contacts.edb"

if [ "$min_depth" -gt 0 ]; then
  /usr/bin/python3 - "$work/contacts.edb" "$min_depth" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
page = struct.unpack_from("<I", data, 236)[0]
header = 80 if page > 8192 else 40
mask = 0x7fff if page > 8192 else 0x1fff
def at(pgno):
    return (pgno + 1) * page
# The contact table is the largest table tree: walk the first children
# from every root that is not a space or long-value tree; keep the deepest.
best = 0
for pgno in range(1, len(data) // page - 1):
    base = at(pgno)
    flags = struct.unpack_from("<I", data, base + 36)[0]
    if not flags & 1 or flags & 0xa0:
        continue
    depth, p = 1, pgno
    while True:
        b = at(p)
        if struct.unpack_from("<I", data, b + 36)[0] & 2:
            break
        cb, ib = struct.unpack_from("<HH", data, b + page - 8)
        cb, ib = cb & mask, ib & mask
        p = struct.unpack_from("<I", data, b + header + ib + cb - 4)[0]
        depth += 1
    best = max(best, depth)
if best < int(sys.argv[2]):
    sys.exit(f"deepest tree has {best} levels, wanted {sys.argv[2]}")
PY
fi

case "$mode" in
  roundtrip)
    "$CLI" dump "$work/contacts.edb" > "$work/got.json"
    "$COMPARE" "$work/expected.json" "$work/got.json"
    ;;
  libesedb|impacket)
    /usr/bin/python3 "$SOURCE/tools/ese_writer/check_independent.py" --reader "$mode" \
      "$work/expected.json" "$work/contacts.edb"
    ;;
  esedbexport)
    command -v esedbexport > /dev/null || exit 77
    esedbexport -t "$work/export" "$work/contacts.edb" > "$work/export.log" 2>&1 ||
      { cat "$work/export.log"; exit 1; }
    /usr/bin/python3 - "$work/expected.json" "$work/export.export" <<'PY'
import json, os, sys
want = [t["name"] for t in json.load(open(sys.argv[1], encoding="utf-8"))["tables"]]
got = sorted(os.listdir(sys.argv[2]), key=lambda n: int(n.rsplit(".", 1)[1]))
got = [n.rsplit(".", 1)[0] for n in got]
# esedbexport shortens file names to what the file system allows.
if len(want) != len(got) or any(not w.startswith(g) for w, g in zip(want, got)):
    sys.exit(f"exported tables {got}, expected {want}")
PY
    ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
