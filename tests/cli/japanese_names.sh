#!/usr/bin/env bash
# calbrin-cli.exe under Wine with Japanese names: a device's settings saved with get -o under a
# Japanese file name land under exactly that name and diff finds them equal to the device; the
# password comes from the environment and from a file whose name the Japanese ANSI code page
# cannot hold; a message naming a Japanese file reaches a pipe as UTF-8. The native simulator
# plays the device, in a network namespace and Wine prefix of their own. CALBRIN_NATIVE_BUILD
# and CALBRIN_WINDOWS_BUILD name the build trees.
set -euo pipefail
cd "$(dirname "$0")/../.."
export CALBRIN_NATIVE_BUILD=${CALBRIN_NATIVE_BUILD:-$PWD/build/native}
export CALBRIN_WINDOWS_BUILD=${CALBRIN_WINDOWS_BUILD:-$PWD/build/windows}
export CALBRIN_WINEPREFIX="$PWD/build/wineprefix-cli" WINEDEBUG=-all
unset DISPLAY
scripts/wine-exec --kill-server
flag=-n
[ "$(id -u)" -eq 0 ] || flag=-rn
exec unshare "$flag" bash -c '
  set -euo pipefail
  ip link set lo up
  work=$(mktemp -d)
  "$CALBRIN_NATIVE_BUILD/sim/qvsim" 48,password=Secret-9 >/dev/null &
  trap "scripts/wine-exec --kill-server; kill $!; rm -rf $work" EXIT
  scripts/wine-exec --init
  # Runs calbrin-cli.exe in the work folder, with the variable assignment in $with, if any.
  cli() { (cd "$work" && env ${with:-} "$OLDPWD/scripts/wine-exec" "$CALBRIN_WINDOWS_BUILD/cli/calbrin-cli.exe" "$@"); }
  echo Secret-9 >"$work/鍵ü.txt"
  cli get 127.0.0.2 --password-file 鍵ü.txt -o 工場A.qvs
  [ -s "$work/工場A.qvs" ] || { echo "no file 工場A.qvs:" "$work"/*; exit 1; }
  with=PW=Secret-9 cli diff 127.0.0.2 工場A.qvs --password-env PW
  message=$(cli diff 127.0.0.2 無い.qvs --password-file 鍵ü.txt --lang ja || true)
  printf "%s" "$message" | iconv -f UTF-8 -t UTF-8 >/dev/null
  expected="無い.qvs: ファイルを開けませんでした。"
  [ "$message" = "$expected" ] || { echo "printed \"$message\", not \"$expected\""; exit 1; }
  echo PASS
'
