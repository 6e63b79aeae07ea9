#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# The Win32 window under Wine on a virtual display: window_probe.exe starts
# corvadex.exe, reads its controls back and exports through its dialogs;
# what it reads is compared with the Linux command line's read of the same
# database, and the exports with the command line's exports, byte for byte.
#   window_test.sh LINUX_CLI WINE_RUN PREFIX CORVADEX.EXE WINDOW_PROBE.EXE DATABASE WORK_DIR
set -eu
cli=$1 wine_run=$2 prefix=$3 exe=$4 probe=$5 database=$6 work=$7
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "SKIPPED: xvfb-run is missing (apt-get install xvfb); the window needs a display"
  exit 77
fi
if [ ! -x "$cli" ]; then
  echo "SKIPPED: the Linux command line $cli is not built; it is what the window is compared with"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
# Windows sees the Linux root as drive Z:.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# The prefix's short date is the Linux "C" locale's (MM/dd/yyyy), so that
# the dates of the read and of the exports are comparable.
"$wine_run" "$prefix" reg add 'HKCU\Control Panel\International' /v sShortDate /d MM/dd/yyyy /f >/dev/null 2>&1
# The prefix's processes started without a display end before the window's
# start with one.
WINEPREFIX=$prefix wineserver -w
"$cli" read "$database" >"$work/rows.tsv" 2>"$work/log.txt"
"$cli" export "$database" -o "$work/want.xml"
"$cli" export "$database" --format google-csv -o "$work/want.csv"
xvfb-run -a -s "-screen 0 1280x800x24" "$wine_run" "$prefix" "$probe" "$(winpath "$exe")" \
  "$(winpath "$database")" "$(winpath "$work/rows.tsv")" "$(winpath "$work/log.txt")" \
  "$(winpath "$work/out.xml")" "$(winpath "$work/out")"
cmp "$work/want.xml" "$work/out.xml"
cmp "$work/want.csv" "$work/out.csv"
echo "the window's exports are the command line's"
