#!/usr/bin/env bash
# calbrin-cli commission against a simulated site (scripts/site) of 40 units: twelve at one
# factory address, four in a foreign subnet, the rest on the workstation's subnet; a sheet of 40
# rows, one of them for a unit that is not there, two whose planned address another unit or a
# plain host holds, and one unit that no row names. One run brings every other row to its plan,
# checked in each unit's own state; a second run writes nothing; --check finds the one unit
# changed by hand; a code page 932 sheet with Japanese names reads; refused sheets send nothing.
# Runs as root in the private network namespace that scripts/netns-exec gives it.
set -euo pipefail
# shellcheck source=tests/site/site_test_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/site_test_lib.sh"

mac_of() { printf '02-00-00-%02X-00-%02X' $((9 + ($1 > 12) + ($1 > 16))) "$1"; }
{
  echo "adapter ws1 br1 192.0.2.2/24"
  echo "host h1 br1 192.0.2.121/24"
  for i in $(seq 1 40); do
    if [ "$i" -le 12 ]; then address=192.0.2.254/24 gw=192.0.2.1
    elif [ "$i" -le 16 ]; then address=203.0.113.$i/24 gw=203.0.113.1
    elif [ "$i" -le 39 ]; then address=192.0.2.$((160 + i))/24 gw=192.0.2.1
    else address=192.0.2.120/24 gw=192.0.2.1; fi
    echo "device d$i br1 $address gw $gw mac $(mac_of "$i") model $((i % 2 ? 48 : 57))"
  done
} >"$work/site.txt"
"$root/scripts/site" up "$work/site.txt" "$work/site"

# Rows 1 to 39 plan 192.0.2.(100 + i) and PORT1 5000 + i; rows 1, 3 and 5 take a template of
# their model with 38400 bit/s; the last row names a unit that is not there.
"$cli_program" set 192.0.2.177 CBPS1=38400 --yes >/dev/null
"$cli_program" get 192.0.2.177 -o "$work/line-48.qvs"
{
  echo "mac,address,mask,gateway,template,name,PORT1"
  for i in $(seq 1 39); do
    template=''
    [ "$i" -le 5 ] && [ $((i % 2)) = 1 ] && template=line-48.qvs
    echo "$(mac_of "$i"),192.0.2.$((100 + i)),255.255.255.0,192.0.2.1,$template,\"unit $i, line A\",$((5000 + i))"
  done
  echo "02-00-00-0F-00-01,192.0.2.140,255.255.255.0,192.0.2.1,,missing unit,5040"
} >"$work/sheet.csv"

result_of() { jq -r --arg m "$(mac_of "$1")" '.rows[] | select(.mac == $m) | .result' <<<"$out"; }

cli 1 commission "$work/sheet.csv" --yes --report "$work/report.csv"
for i in $(seq 1 39); do
  expected=commissioned
  [ "$i" = 20 ] || [ "$i" = 21 ] && expected=conflict
  [ "$(result_of "$i")" = "$expected" ] || fail "row $i: $(result_of "$i"): $out"
  [ "$expected" = conflict ] && continue
  [ "$(stored "d$i" IP)" = "192.0.2.$((100 + i))" ] && [ "$(stored "d$i" PORT1)" = $((5000 + i)) ] ||
    fail "unit $i holds $(stored "d$i" IP) $(stored "d$i" PORT1)"
done
for i in 1 3 5 2; do
  [ "$(stored "d$i" CBPS1)" = "$([ "$i" = 2 ] && echo 9600 || echo 38400)" ] ||
    fail "unit $i: CBPS1 $(stored "d$i" CBPS1)"
done
check '(.rows[] | select(.row == 21) | .message) == "192.0.2.120 is held by 02-00-00-0B-00-28"'
check '(.rows[] | select(.row == 22) | .message) | test("^192.0.2.121 is held by the host ")'
check '(.rows[] | select(.row == 41) | .result) == "missing"'
check '.extra == [{"mac": "02-00-00-0B-00-28", "address": "192.0.2.120", "model": "QV-57R", "version": "1.00"}]'
check '.atPlan == 37 and .total == 40'
[ "$(stored d20 IP)" = 192.0.2.180 ] || fail "a conflicting row was written"
grep -qF "$(mac_of 7),\"unit 7, line A\",QV-48R2,1.00,192.0.2.254,192.0.2.107,commissioned,," \
  "$work/report.csv" ||
  fail "report: $(cat "$work/report.csv")"

# A second run finds every row in plan and writes nothing.
cli 1 commission "$work/sheet.csv" --yes
check '[.rows[] | select(.result == "in plan")] | length == 37'

# One unit changed by hand is exactly what --check reports.
"$cli_program" set 192.0.2.130 PORT1=6000 --yes >/dev/null
cli 1 commission "$work/sheet.csv" --check
check '[.rows[] | select(.result == "differs") | .mac] == ["'"$(mac_of 30)"'"]'
check '[.rows[] | select(.result == "in plan")] | length == 36'
[ "$(stored d30 PORT1)" = 6000 ] || fail "--check wrote"

# A sheet as a Japanese spreadsheet saves it: code page 932, Japanese names.
sed 's/unit \([0-9]*\), line A/ライン A の \1 号機/' "$work/sheet.csv" | iconv -f UTF-8 -t CP932 >"$work/sheet-932.csv"
cli 1 commission "$work/sheet-932.csv" --check
check '(.rows[] | select(.row == 8) | .name) == "ライン A の 7 号機"'

# A refused sheet sends nothing: not a UDP datagram (a search) nor a TCP segment (a connection)
# leaves the workstation's namespace, counted by the kernel's own counters, which the neighbour
# probes that the runs above leave behind do not touch.
sent() {
  awk '$1 == "Udp:" || $1 == "Tcp:" {
         if (!($1 in names)) { for (i = 2; i <= NF; i++) names[$1, $i] = i; names[$1] = 1; next }
         total += $1 == "Udp:" ? $names[$1, "OutDatagrams"] : $names[$1, "OutSegs"]
       } END { print total }' /proc/net/snmp
}
before=$(sent)
while IFS='|' read -r row expected; do
  sed "s/^$(mac_of 3),.*/$row/" "$work/sheet.csv" >"$work/bad.csv"
  code=0
  "$cli_program" commission "$work/bad.csv" --yes --lang en >"$work/out" 2>"$work/err" || code=$?
  [ "$code" = 2 ] && grep -qF "$expected" "$work/err" || fail "$row: exit $code: $(cat "$work/err")"
done <<'EOF_CASES'
02-00-00-09-00-01,192.0.2.103,255.255.255.0,192.0.2.1,,x,5003|row 4, column mac: 02-00-00-09-00-01 again (first in row 2)
02-00-00-09-00-03,192.0.2.101,255.255.255.0,192.0.2.1,,x,5003|row 4, column address
02-00-00-09-00-03,192.0.2.103,255.0.255.0,192.0.2.1,,x,5003|row 4, column mask
02-00-00-09-00-03,192.0.2.103,255.255.255.0,192.0.2.1,,x,70000|row 4, column PORT1: PORT1 (Receive port) = 70000: a number from 0 to 65535
02-00-00-09-00-03,192.0.2.103,255.255.255.0,192.0.2.1,absent.qvs,x,5003|row 4, column template
EOF_CASES
[ "$(sent)" = "$before" ] || fail "a refused sheet sent $(($(sent) - before)) datagrams or segments"
echo "commission_site: all checks passed"
