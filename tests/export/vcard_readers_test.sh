#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# vcard_readers_test.sh READER
#
# Writes a contacts database whose nicknames, job titles, notes, names,
# companies, streets, spouses and web sites hold the characters vCard
# reserves (make-contacts-db --vcard-reserved), exports it as the plain CSV
# and as vCards, and has independent readers read every card value back:
#   ical      ical.js, the parser Thunderbird's address book reads cards
#             with, on the vCard 4.0 export (check_vcards_ical.mjs)
#   python    vobject and Evolution's EBookContacts on the 3.0 and the 4.0
#             export, and khard on each as a folder of one card per
#             contact (check_vcards.py)
# Environment: MAKE, CLI (make-contacts-db and corvadex-cli). Exit 77
# (skipped) when the reader is not installed.
set -euo pipefail
reader=$1
here=$(cd "$(dirname "$0")" && pwd)

case "$reader" in
  ical)
    if ! command -v node >/dev/null; then
      echo "skipped: node is not installed (Debian package nodejs), so ical.js cannot run"
      exit 77
    fi ;;
  python)
    if ! /usr/bin/python3 -c "import vobject, khard, gi; gi.require_version('EBookContacts', '1.2')
from gi.repository import EBookContacts" 2>/dev/null; then
      echo "skipped: python3-vobject, khard, python3-gi or gir1.2-ebookcontacts-1.2 is not installed"
      exit 77
    fi ;;
  *) echo "unknown reader $reader" >&2; exit 2 ;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$MAKE" --count 300 --seed 5 --vcard-reserved "$work/contacts.edb"
# Dates in the plain CSV are the C locale's, which the checkers read.
export LC_ALL=C
"$CLI" export "$work/contacts.edb" --format csv -o "$work/plain.csv" 2>/dev/null
for format in vcard vcard4; do
  version=3.0
  [ $format = vcard ] || version=4.0
  "$CLI" export "$work/contacts.edb" --format $format -o "$work/cards-$version.vcf" 2>/dev/null
  "$CLI" export "$work/contacts.edb" --format $format --split "$work/cards-$version" 2>/dev/null
  sed -n 's/^UID:\(.*\)\r$/\1/p' "$work/cards-$version.vcf" >"$work/uids-$version"
done

if [ "$reader" = ical ]; then
  exec node "$here/check_vcards_ical.mjs" "$work/plain.csv" "$work/cards-4.0.vcf" --expect-reserved
fi
status=0
for version in 3.0 4.0; do
  echo "vCard $version:"
  for target in file folder; do
    if [ $target = file ]; then
      set -- "$work/cards-$version.vcf" "$version"
    else
      set -- "$work/cards-$version" "$version" "$work/uids-$version" --khard
    fi
    /usr/bin/python3 "$here/check_vcards.py" "$work/plain.csv" "$@" >"$work/checked" || status=1
    grep -v '^UID ' "$work/checked" || true
  done
done
exit $status
