#!/usr/bin/env bash
# The installer under Wine, in a fresh prefix of its own: a silent install puts the programs into
# Program Files\Calbrin with a Start-menu shortcut and one entry in the installed programs; an
# installer of a newer version (the same files, built from the zip's) replaces it in place; the
# uninstall leaves nothing of the program behind.
#   msi.sh DIST VERSION
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
msi="$1/calbrin-$2-x64.msi"
[ -f "$msi" ] || { echo "no $msi: scripts/package makes it"; exit 77; }
IFS=. read -r major minor patch <<<"$2"
newer="$major.$minor.$((patch + 1))"

export WINEPREFIX="$root/build/wineprefix-msi" WINEDEBUG=-all LANG=ja_JP.UTF-8
# A silent install shows no window: off the display, so that this prefix's desktop never meets
# that of the window tests running beside it.
unset DISPLAY
# No host menu entries from the shortcut: Wine's menu builder stays off in this prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
scratch=$(mktemp -d)
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w
wineserver -p

win() { wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
fail() {
  echo "$*" >&2
  exit 1
}

folder="$WINEPREFIX/drive_c/Program Files/Calbrin"
# Windows puts a per-machine shortcut into the common Start menu; Wine's installer puts it into
# the user's.
shortcuts=("$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Calbrin.lnk"
  "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Calbrin.lnk")
shortcut_count() {
  local count=0 path
  for path in "${shortcuts[@]}"; do [ -f "$path" ] && count=$((count + 1)); done
  echo "$count"
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# "DisplayVersion" of every entry named Calbrin in the installed programs, one a line.
installed_versions() {
  win reg query "$uninstall_key" /s | awk '
    /^HKEY/ { name = ""; version = "" }
    $1 == "DisplayName" { name = $3 }
    $1 == "DisplayVersion" { version = $3 }
    name == "Calbrin" && version != "" { print version; name = "" }'
}
# VERSION as installed, and the version that the installed calbrin-cli prints.
check_installed() {
  local version=$1 program_version=$2 printed
  [ -f "$folder/calbrin.exe" ] && [ -f "$folder/README.txt" ] && [ -f "$folder/LICENSE" ] ||
    fail "after installing $version the folder holds: $(ls "$folder" 2>&1)"
  printed=$(win "C:\\Program Files\\Calbrin\\calbrin-cli.exe" --version)
  [ "$printed" = "calbrin-cli $program_version" ] || fail "the installed calbrin-cli printed \"$printed\""
  [ "$(shortcut_count)" = 1 ] || fail "$(shortcut_count) Start-menu shortcuts after installing $version"
  [ "$(installed_versions)" = "$version" ] ||
    fail "installed programs after $version: $(installed_versions | tr '\n' ' ')"
}

win msiexec /i "$(windows_path "$msi")" /qn || fail "msiexec /i $msi failed"
check_installed "$2" "$2"
echo "installed $2"

# The newer installer, from the same files.
unzip -q "$1/calbrin-$2-win64.zip" -d "$scratch/files"
"$root/packaging/build-msi" "$newer" "$scratch/files" "$scratch/calbrin-$newer-x64.msi"
win msiexec /i "$(windows_path "$scratch/calbrin-$newer-x64.msi")" /qn ||
  fail "msiexec /i of the newer installer failed"
check_installed "$newer" "$2"
echo "upgraded in place to $newer"

win msiexec /x "$(windows_path "$scratch/calbrin-$newer-x64.msi")" /qn || fail "msiexec /x failed"
[ ! -e "$folder" ] || fail "after the uninstall Program Files\\Calbrin holds: $(ls -A "$folder")"
[ "$(shortcut_count)" = 0 ] || fail "the Start-menu shortcut outlived the uninstall"
[ -z "$(installed_versions)" ] || fail "an installed-programs entry outlived the uninstall"
echo "uninstalled without a trace"
