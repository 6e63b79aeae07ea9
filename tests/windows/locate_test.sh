#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# corvadex-cli.exe locate --search under Wine: a copied old disk whose
# Windows.old profile holds the mail client's database is found, listed with
# its volume, user and version folder; a folder with none gives status 1.
#   locate_test.sh WINE_RUN PREFIX CORVADEX-CLI.EXE DATABASE WORK_DIR
set -eu
wine_run=$1 prefix=$2 exe=$3 database=$4 work=$5
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
rm -rf "$work"
store="$work/oldpc/Windows.old/Users/ann/AppData/Local/Microsoft/Windows Live/Contacts/default/15.4/DBStore"
mkdir -p "$store" "$work/empty"
cp "$database" "$store/contacts.edb"
found=$("$wine_run" "$prefix" "$exe" locate --search "$(winpath "$work/oldpc")")
want="$(winpath "$store/contacts.edb")	$(winpath "$work/oldpc")	ann	15.4	$(stat -c %s "$database")	"
case "$found" in
  "$want"*) ;;
  *) echo "FAILED: locate listed:"; echo "$found"; echo "want a line beginning:"; echo "$want"; exit 1 ;;
esac
status=0
"$wine_run" "$prefix" "$exe" locate --search "$(winpath "$work/empty")" >/dev/null || status=$?
if [ "$status" -ne 1 ]; then echo "FAILED: an empty folder gave status $status, not 1"; exit 1; fi
echo "locate found the Windows.old database"
