# shellcheck shell=bash
# What the site tests share, sourced by them: the build, a work folder whose site is torn down
# at the end, and the helpers that run calbrin-cli --json and check its output.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${CALBRIN_NATIVE_BUILD:-$root/build/native}
export CALBRIN_NATIVE_BUILD=$build
cli_program="$build/cli/calbrin-cli"
work=$(mktemp -d)
export XDG_DATA_HOME="$work/data"  # the history of the writes
# calbrin-cli's texts in English, as the checks read them, whatever the user's locale.
export LC_ALL='' LC_MESSAGES='' LANG=C.UTF-8
trap '"$root/scripts/site" down "$work/site" || true; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Runs calbrin-cli with --json; EXPECTED_CODE first; the output in $out.
cli() {
  local expected=$1 code=0
  shift
  "$cli_program" "$@" --json >"$work/out" 2>"$work/err" || code=$?
  [ "$code" = "$expected" ] || fail "$* exited $code: $(cat "$work/out" "$work/err")"
  out=$(cat "$work/out")
}
# Fails unless `jq -e FILTER` holds for $out.
check() {
  jq -e "$@" <<<"$out" >/dev/null || fail "not true: $* of $out"
}
# A setting as the site's item NAME (a device) holds it now: stored NAME KEY.
stored() {
  awk -v key="$2" '$1 == key { print $2 }' "$work/site/$1.state"
}
