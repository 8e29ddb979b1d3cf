#!/usr/bin/env bash
# calbrin-cli's --json results parse and carry every field that README documents: search (more
# devices than the windows' 20 rows), get, diff, set, put (with failing devices among them),
# history and passwd, against `qvsim --count`, in the network namespace that scripts/netns-exec
# gives this script. CALBRIN_NATIVE_BUILD names the build tree.
set -euo pipefail
build=${CALBRIN_NATIVE_BUILD:-build/native}
cli_program="$build/cli/calbrin-cli"
work=$(mktemp -d)
# The history of writes goes to a folder of the test's own.
export PW=Secret-9 NEW=Line-7 XDG_DATA_HOME="$work/data"
devices=24

"$build/sim/qvsim" --count "$devices" 48,password=Secret-9 57,password=Secret-9 >"$work/sim" &
sim=$!
trap 'kill $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ "$(wc -l <"$work/sim")" -ge "$devices" ] && break; sleep 0.1; done

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Runs calbrin-cli with --json; EXPECTED_CODE first. Its output is checked to be JSON and to hold
# no password, and printed.
cli() {
  local expected=$1 code=0
  shift
  "$cli_program" "$@" --json --password-env PW >"$work/out" 2>"$work/err" || code=$?
  [ "$code" = "$expected" ] || fail "$* exited $code: $(cat "$work/out" "$work/err")"
  ! grep -q -e Secret-9 -e Line-7 "$work/out" "$work/err" || fail "$* printed a password"
  jq -e . "$work/out" >/dev/null || fail "$* printed no JSON: $(cat "$work/out")"
  cat "$work/out"
}
# Fails with the filter when `jq -e FILTER` does not hold for the JSON on standard input.
expect() {
  local json
  json=$(cat)
  jq -e "$@" <<<"$json" >/dev/null || fail "not true: $* of $json"
}

search_fields='["adapter","address","mac","model","outsideSubnet","version"]'
cli 0 search | expect --argjson n "$devices" --argjson fields "$search_fields" '
  [.[].address] == [range(2; 2 + $n) | "127.0.0.\(.)"] and all(.[]; keys == $fields)'

setting_fields='["key","label","meaning","page","password","value"]'
cli 0 get 127.0.0.2 | expect --argjson fields "$setting_fields" '
  .address == "127.0.0.2"
  and all(.settings[]; (keys - ["passwordSet"]) == $fields)
  and (.settings | map({(.key): .}) | add) as $rows
  | $rows.MSS.page == "共通" and $rows.MSS.value == $rows.MSS.meaning
  and $rows.PASS1.value == null and $rows.PASS1.passwordSet == false'

difference_fields='["after","afterMeaning","before","beforeMeaning","key","label","page","password"]'
# A write result: command, total, succeeded and per device (address order as given) the result
# and the keys written; ARGS: command, then address=result=key,key... per device.
writes() {
  local command=$1 expected='[]' address result keys
  shift
  for device in "$@"; do
    IFS== read -r address result keys <<<"$device"
    expected=$(jq -c --arg a "$address" --arg r "$result" --arg k "$keys" \
      '. + [{address: $a, result: $r, keys: ($k | split(",") | map(select(. != "")))}]' \
      <<<"$expected")
  done
  expect --arg command "$command" --argjson expected "$expected" \
    --argjson fields "$difference_fields" '
    keys == ["command","devices","succeeded","total"] and .command == $command
    and .total == ($expected | length)
    and ([.devices[] | {address, result, keys}] == $expected)
    and all(.devices[]; keys == ["address","changes","keys","message","result"]
                        and .message != "" and all(.changes[]; keys == $fields))
    and .succeeded == ([$expected[] | select(.result == "written" or .result == "unchanged")]
                       | length)'
}

cli 0 set 127.0.0.2 MSS=1200 PORT1=4001 --yes | writes set 127.0.0.2=written=MSS,PORT1
"$cli_program" get 127.0.0.2 -o "$work/plant.qvs" --password-env PW
cli 1 put "$work/plant.qvs" 127.0.0.4 127.0.0.3 127.0.0.2 127.0.0.5 --yes |
  writes put 127.0.0.4=written=MSS,PORT1 127.0.0.3=failed= 127.0.0.2=unchanged= 127.0.0.5=failed=

# Each side's meaning comes from its own value: a parity code means its name.
"$cli_program" set 127.0.0.4 CPAR2=2 --yes --no-history --password-env PW >/dev/null
cli 1 diff 127.0.0.2 127.0.0.4 | expect --argjson fields "$difference_fields" '
  keys == ["differences","equal"] and .equal == false
  and [.differences[] | [.key, .before, .after, .beforeMeaning, .afterMeaning]]
      == [["IP", "127.0.0.2", "127.0.0.4", "127.0.0.2", "127.0.0.4"],
          ["CPAR2", "0", "2", "無し", "偶数"]]
  and (.differences[0] | keys) == $fields'

cli 0 history 127.0.0.4 | expect 'keys == ["address","files"] and (.files | length) == 1'
cli 0 passwd 127.0.0.2 127.0.0.4 --new-password-env NEW |
  writes passwd 127.0.0.2=written= 127.0.0.4=written=
echo PASS
