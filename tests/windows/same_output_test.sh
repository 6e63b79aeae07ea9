#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# The Windows command line under Wine against the Linux one: for each
# database, `tables`, `dump`, `read` and every export format must give the
# same standard output, standard error and exit status, byte for byte.
#   same_output_test.sh LINUX-CLI WINE-RUN PREFIX WINDOWS-CLI.exe DATABASE...
# Exit 77 (skipped) when there is no Linux command line to compare with.
# The prefix's short date is set to the Linux "C" locale's (MM/dd/yyyy), so
# that the dates of `read` and the xml and csv exports are comparable.
set -u
linux=$1 wine_run=$2 prefix=$3 windows=$4
shift 4
if [ ! -x "$linux" ]; then
  echo "no Linux command line at $linux: build it first (./dev build)"
  exit 77
fi
"$wine_run" "$prefix" reg add 'HKCU\Control Panel\International' /v sShortDate /d MM/dd/yyyy /f >/dev/null 2>&1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
compared=0
for db in "$@"; do
  for run in "tables" "dump" "read" "export xml" "export csv" "export vcard" "export vcard4" \
             "export google-csv" "export outlook-csv"; do
    set -- $run
    command=$1
    format=${2:-}
    args="$command $db"
    [ -n "$format" ] && args="$args --format $format -o -"
    # shellcheck disable=SC2086
    "$linux" $args >"$work/l.out" 2>"$work/l.err"; echo $? >"$work/l.status"
    # shellcheck disable=SC2086
    "$wine_run" "$prefix" "$windows" $args >"$work/w.out" 2>"$work/w.err"; echo $? >"$work/w.status"
    for part in out err status; do
      if ! cmp -s "$work/l.$part" "$work/w.$part"; then
        echo "differs: $args (standard $part)"
        failed=1
      fi
    done
    compared=$((compared + 1))
  done
done
echo "compared $compared runs"
exit $failed
