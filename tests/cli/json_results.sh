#!/usr/bin/env bash
# calbrin-cli's --json results parse and carry every field that README documents: search (more
# devices than the windows' 20 rows, and a thousand answering at once), get, diff, set, put (with
# failing devices among them), history and passwd, against `qvsim --count`, and a device whose
# values hold control and non-ASCII bytes, in the network namespace that scripts/netns-exec gives
# this script; and a change log that a kill in the middle of a fleet write leaves whole.
# CALBRIN_NATIVE_BUILD names the build tree.
set -euo pipefail
build=${CALBRIN_NATIVE_BUILD:-build/native}
cli_program="$build/cli/calbrin-cli"
work=$(mktemp -d)
# The history of writes goes to a folder of the test's own.
export PW=Secret-9 NEW=Line-7 XDG_DATA_HOME="$work/data"
# A Japanese locale for every run that names none of its own.
export LC_ALL='' LC_MESSAGES='' LANG=ja_JP.UTF-8
devices=24

"$build/sim/qvsim" --count "$devices" 48,password=Secret-9 57,password=Secret-9 >"$work/sim" &
sim=$!
trap 'kill $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ "$(wc -l <"$work/sim")" -ge "$devices" ] && break; sleep 0.1; done

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Runs calbrin-cli with --json in a Japanese locale (or $locale's); EXPECTED_CODE first. Its output is checked to
# be JSON and to hold no password, and printed.
cli() {
  local expected=$1 code=0
  shift
  LANG=${locale:-ja_JP.UTF-8} "$cli_program" "$@" --json --password-env PW \
    >"$work/out" 2>"$work/err" || code=$?
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

search_fields='["adapter","address","mac","model","outsideSubnet","sharedAddress","version"]'
cli 0 search | expect --argjson n "$devices" --argjson fields "$search_fields" '
  [.[].address] == [range(2; 2 + $n) | "127.0.0.\(.)"] and all(.[]; keys == $fields)'

setting_fields='["key","label","meaning","page","password","value"]'
cli 0 get 127.0.0.2 | expect --argjson fields "$setting_fields" '
  .address == "127.0.0.2"
  and all(.settings[]; (keys - ["passwordSet"]) == $fields)
  and (.settings | map({(.key): .}) | add) as $rows
  | $rows.MSS.page == "共通" and $rows.MSS.value == $rows.MSS.meaning
  and $rows.PASS1.value == null and $rows.PASS1.passwordSet == false'
# --lang over the locale: the pages' texts in English; the device's own values as they are.
cli 0 get 127.0.0.2 --lang en | expect '(.settings | map({(.key): .}) | add) as $rows
  | $rows.MSS == {key: "MSS", page: "General", label: "MSS (bytes)", value: "1460",
                  meaning: "1460", password: false}
  and $rows.CPAR1.meaning == "None" and $rows.PASS1.meaning == "(none)"
  and $rows.PASS1.passwordSet == false'

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
    and all(.devices[]; keys == ["address","changes","keys","message","result","warnings"]
                        and .message != "" and all(.changes[]; keys == $fields))
    and .succeeded == ([$expected[] | select(.result == "written" or .result == "unchanged")]
                       | length)'
}

cli 0 set 127.0.0.2 MSS=1200 PORT1=4001 --yes | writes set 127.0.0.2=written=MSS,PORT1
"$cli_program" get 127.0.0.2 -o "$work/plant.qvs" --password-env PW
cli 1 put "$work/plant.qvs" 127.0.0.4 127.0.0.3 127.0.0.2 127.0.0.5 --yes |
  writes put 127.0.0.4=written=MSS,PORT1 127.0.0.3=failed= 127.0.0.2=unchanged= 127.0.0.5=failed=

# LANG alone names the language of the JSON's texts (label, page, meaning, message); its field
# names and results stay.
locale=en_US.UTF-8 cli 0 set 127.0.0.3 MSS=1300 --yes | expect '.devices[0].result == "written"
  and .devices[0].message == "Write complete."
  and (.devices[0].changes[0] | .label == "MSS (bytes)" and .page == "General")'
locale=ja_JP.UTF-8 cli 0 set 127.0.0.3 MSS=1460 --yes | expect '.devices[0].result == "written"
  and .devices[0].message == "書込みが完了しました。"
  and (.devices[0].changes[0] | .label == "MSSサイズ" and .page == "共通")'

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

# A device whose values hold ESC, BEL, DEL, bytes 0x80 to 0xFF and quotes: the JSON parses and
# gives the device's bytes back (each character's number a byte), and no text output holds a
# control byte from it. Its values go into a state file of a second simulator, %XX as bytes.
"$build/sim/qvsim" --state "$work/hostile" 48,address=127.0.1.2 >"$work/sim2" 2>&1 &
for _ in $(seq 100); do [ -s "$work/hostile" ] && break; sleep 0.1; done
kill $! && wait $! || true
sed -i -e 's/^HIP1 .*/HIP1 %1B[2J%07%7F"\\/' -e 's/^GWAY .*/GWAY %1B]0;pwned%07/' \
  -e 's/^MSS .*/MSS 1%E9%FF%80%9B/' -e 's/^CCHAR1 .*/CCHAR1 %9B%1B/' "$work/hostile"
"$build/sim/qvsim" --state "$work/hostile" >"$work/sim2" 2>&1 &
sim2=$!
trap 'kill $sim $sim2 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do grep -q 127.0.1.2 "$work/sim2" && break; sleep 0.1; done
device_keys=$(grep -E '^[A-Z][A-Z0-9_]* ' "$work/hostile" | cut -d' ' -f1 | jq -R . | jq -sc .)
cli 0 get 127.0.1.2 | expect --argjson keys "$device_keys" '
  [.settings[].key] == $keys
  and (.settings | map({(.key): .value}) | add) as $v
  | ($v.HIP1 | explode) == [27, 91, 50, 74, 7, 127, 34, 92]
  and ($v.MSS | explode) == [49, 233, 255, 128, 155] and $v.GWAY == "\u001b]0;pwned\u0007"'
cli 1 diff 127.0.1.2 127.0.0.3 | expect '[.differences[].key] | index("GWAY") != null'
cli 1 put "$work/plant.qvs" 127.0.1.2 --with-address | expect '.devices[0].result == "declined"
  and (.devices[0].changes[] | select(.key == "HIP1") | .before | explode)
      == [27, 91, 50, 74, 7, 127, 34, 92]'
# The terminal's texts: valid UTF-8, no C0 control but the line end, no DEL, no C1 control.
terminal_safe() {
  iconv -f UTF-8 -t UTF-8 "$1" >/dev/null || fail "$2 printed bytes that are not UTF-8"
  ! LC_ALL=C.UTF-8 grep -qP '[\x00-\x09\x0b-\x1f\x7f\x{80}-\x{9f}]' "$1" ||
    fail "$2 printed a control character: $(cat -v "$1")"
}
# The locale's language: LC_ALL's, else LANG's; --lang over both.
LC_ALL='' LANG=ja_JP.UTF-8 "$cli_program" get 127.0.1.2 >"$work/text"
LC_ALL=en_US.UTF-8 LANG=ja_JP.UTF-8 "$cli_program" get 127.0.1.2 >"$work/english"
LC_ALL=C LANG=C "$cli_program" get 127.0.1.2 --lang ja >"$work/japanese"
grep -qF '[General]' "$work/english" && grep -qF '  Parity: None' "$work/english" &&
  cmp -s "$work/text" "$work/japanese" || fail "get in English: $(cat "$work/english")"
terminal_safe "$work/text" get
grep -qF 'IPアドレス: ' "$work/text" && grep -qF '1\xe9\xff\x80\x9b' "$work/text" &&
  grep -qF '\x1b[2J\x07\x7f"\\' "$work/text" || fail "get shows no escaped bytes: $(cat "$work/text")"
code=0
"$cli_program" diff 127.0.1.2 127.0.0.3 --password-env PW >"$work/text" || code=$?
[ $code = 1 ] || fail "diff exited $code"
terminal_safe "$work/text" diff
grep -qF '\x1b]0;pwned\x07 -> 0.0.0.0' "$work/text" || fail "diff: $(cat "$work/text")"
code=0
"$cli_program" put "$work/plant.qvs" 127.0.1.2 --with-address >"$work/text" 2>&1 || code=$?
[ $code = 1 ] || fail "put without --yes exited $code"
terminal_safe "$work/text" put
grep -qF '\x1b]0;pwned\x07 -> 0.0.0.0' "$work/text" || fail "put: $(cat "$work/text")"
# A large site: a thousand devices answer one broadcast at once, and every answer is listed.
kill $sim $sim2 && wait $sim $sim2 || true
ulimit -n "$(ulimit -Hn)"  # the simulator plays every device on sockets of its own
"$build/sim/qvsim" --count 1000 48 >"$work/sim" &
sim=$!
for _ in $(seq 300); do [ "$(wc -l <"$work/sim")" -ge 1000 ] && break; sleep 0.1; done
cli 0 search | expect 'length == 1000 and ([.[].mac] | unique | length) == 1000' >/dev/null

# Killed in the middle of a fleet write, calbrin-cli leaves a change log of whole records, and a
# later run appends after them. 200 devices, 100 at a time: each device's record follows its
# 5-second settle, so the first hundred's records come in a burst, and the kill falls in its
# thick, after 20 of them; three times, since a kill may fall between two records.
crashed=$work/crashed/calbrin/changes.jsonl
logging_cli() { XDG_DATA_HOME="$work/crashed" "$cli_program" "$@"; }
mapfile -t addresses < <(for n in $(seq 2 201); do echo "127.0.$((n >> 8)).$((n & 255))"; done)
# The log of LINES lines: every one a record (log --json prints each, log lists as many, neither
# reports a line it skipped).
whole_log() {
  [ "$(wc -l <"$crashed")" = "$1" ] || fail "$(wc -l <"$crashed") lines in the log, not $1"
  logging_cli log --json >"$work/out" 2>"$work/err" || fail "log --json: $(cat "$work/err")"
  [ ! -s "$work/err" ] && jq -se --argjson n "$1" 'length == $n' "$work/out" >/dev/null ||
    fail "log --json of $1 lines: $(cat "$work/err" "$work/out")"
  logging_cli log >"$work/out" 2>"$work/err" || fail "log: $(cat "$work/err")"
  [ ! -s "$work/err" ] && [ "$(grep -c '^[^ ]' "$work/out")" = "$1" ] ||
    fail "log of $1 lines: $(cat "$work/err" "$work/out")"
}
cut=0
for mss in 1201 1202 1203; do
  XDG_DATA_HOME="$work/crashed" "$cli_program" set "${addresses[@]}" MSS=$mss --yes --jobs 100 \
    >/dev/null &  # $! the program itself, not a shell around it
  writer=$!
  for _ in $(seq 3000); do
    [ "$(cat "$crashed" 2>/dev/null | wc -l)" -ge $((cut + 20)) ] && break || sleep 0.005
  done
  sleep "0.0$((RANDOM % 10))"  # not always just after a line's end
  kill -9 $writer && ! wait $writer 2>/dev/null || fail "the write ended before the kill"
  records=$(wc -l <"$crashed")
  [ "$records" -gt $cut ] && [ "$records" -lt $((cut + 200)) ] ||
    fail "the kill left $((records - cut)) records of 200"
  cut=$records
  whole_log "$cut"
done
cp "$crashed" "$work/cut"
logging_cli set "${addresses[@]}" MSS=1300 --yes >"$work/out" || fail "again: $(cat "$work/out")"
whole_log $((cut + 200))
cmp -s "$work/cut" <(head -n "$cut" "$crashed") &&
  tail -n 200 "$crashed" | jq -se 'map(.keys[0].after) == [range(200) | "1300"]' >/dev/null ||
  fail "the second run's records are not appended after the cut"
echo PASS
