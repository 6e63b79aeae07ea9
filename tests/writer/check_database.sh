#!/usr/bin/env bash
# check_database.sh MODE PAGE_SIZE REVISION COUNT [--min-depth N]
#
# Writes a contacts database with make-contacts-db and checks it:
#   roundtrip  corvadex-cli dump of the file equals the generator's --expected
#   libesedb   python3-libesedb reports the same tables, columns and values
#   impacket   impacket's ESE reader does
# --min-depth N also requires the contact table's tree to have N levels.
# Environment: MAKE, CLI (the two programs), SHARED (shared test data),
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
# The contact table is the largest tree: find its root among root pages by
# walking first children and keep the deepest.
best = 0
for pgno in range(1, len(data) // page - 1):
    base = at(pgno)
    flags = struct.unpack_from("<I", data, base + 36)[0]
    if not flags & 1 or flags & 0x20:
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
    /usr/bin/python3 "$SHARED/tools/compare-ese-dump" "$work/expected.json" "$work/got.json"
    ;;
  libesedb|impacket)
    /usr/bin/python3 "$SOURCE/tools/ese_writer/check_independent.py" --reader "$mode" \
      "$work/expected.json" "$work/contacts.edb"
    ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
