#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# The installer under Wine, in a prefix of its own made afresh: a silent
# install puts the program, the Start-menu shortcut and the uninstall entry
# in place, the installed corvadex-cli.exe runs, and a silent uninstall
# removes all of it.
#   install_test.sh SETUP.exe VERSION PREFIX
set -eu
setup=$1 version=$2 prefix=$3
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$prefix"
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1
wineserver -w

fail() { echo "FAILED: $*"; exit 1; }
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvadex'
# Where Wine keeps the current user's folders.
local_app=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
programs=$(winepath -u "$local_app\\Programs\\Corvadex")
menu=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs\\Corvadex")

wine "$setup" /S
wineserver -w
for f in corvadex-cli.exe uninstall.exe README.md LICENSE.txt; do
  [ -f "$programs/$f" ] || fail "not installed: $programs/$f"
done
[ -f "$menu/Corvadex command line.lnk" ] || fail "no Start-menu shortcut in $menu"
wine reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "$version" || fail "no uninstall entry $key"
wine reg query "$key" /v UninstallString 2>/dev/null | grep -q 'uninstall.exe' || fail "no UninstallString"
out=$(wine "$programs/corvadex-cli.exe" --version | tr -d '\r')
[ "$out" = "corvadex $version" ] || fail "installed corvadex-cli.exe --version gave '$out'"

wine "$programs/uninstall.exe" /S
# The uninstaller runs a copy of itself from the temporary folder; this
# waits for every program of the prefix to end, that copy included.
wineserver -w
[ ! -e "$programs" ] || fail "left behind: $(ls -A "$programs")"
[ ! -e "$menu" ] || fail "Start-menu folder left behind"
if wine reg query "$key" >/dev/null 2>&1; then fail "uninstall entry left behind"; fi
echo "installed, ran and uninstalled corvadex $version"
