#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Times make-contacts-db and reports its peak memory and the file size.
#   bench/make_contacts_db.sh MAKE_CONTACTS_DB [COUNT...]   (default: 10000 100000)
set -euo pipefail
prog=$1
shift
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(10000 100000)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in "${counts[@]}"; do
  /usr/bin/time -f "%e %M" -o "$work/time" "$prog" --count "$n" --page-size 8192 "$work/c.edb"
  read -r seconds kib < "$work/time"
  bytes=$(stat -c %s "$work/c.edb")
  echo "make-contacts-db --count $n --page-size 8192: ${seconds} s, peak ${kib} KiB, file $((bytes / 1048576)) MiB"
  rm -f "$work/c.edb"
done
