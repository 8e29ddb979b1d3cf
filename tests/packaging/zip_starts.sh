#!/usr/bin/env bash
# calbrin.exe from the portable zip, unpacked into a folder of its own, starts under Wine to its
# main window ("Calbrin"), which then closes. Runs in the test run's Wine prefix and display.
#   zip_starts.sh DIST VERSION
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
zip="$1/calbrin-$2-win64.zip"
[ -f "$zip" ] || { echo "no $zip: scripts/package makes it"; exit 77; }
scratch=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
unzip -q "$zip" -d "$scratch"

"$root/scripts/wine-exec" "$scratch/calbrin.exe" &
program=$!
window=
for _ in $(seq 150); do
  window=$(xdotool search --name '^Calbrin$' 2>/dev/null | head -n1) && [ -n "$window" ] && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "no window \"Calbrin\" appeared" >&2
  exit 1
fi
echo "main window $window is up"
# Wine's taskkill asks the program's windows to close, as the caption's close button does.
WINEDEBUG=-all WINEPREFIX="${CALBRIN_WINEPREFIX:-$root/build/wineprefix}" \
  timeout 30 wine taskkill /im calbrin.exe >/dev/null 2>&1 </dev/null || true
for _ in $(seq 100); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
  echo "calbrin.exe did not end when its window was closed" >&2
  exit 1
fi
wait "$program" || true
program=
echo "calbrin.exe started to its main window and closed"
