#!/usr/bin/env bash
# calbrin-cli reaches every device of a simulated site (scripts/site): twelve units at one
# factory address and four in a foreign subnet, each listed once and written by its MAC, exactly
# that unit, checked in its own state; a unit behind a second adapter without --from; without
# CAP_NET_ADMIN only the units that need it fail, with what they need; no neighbour entry, route
# or address of the tool is left afterwards, also after SIGINT in the middle of a run; a unit
# written a new address is found there by the next search. Runs as root in the private network
# namespace that scripts/netns-exec gives it. CALBRIN_NATIVE_BUILD names the build tree.
set -euo pipefail
# shellcheck source=tests/site/site_test_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/site_test_lib.sh"

shared=() foreign=() slow=("" "fault delay-ack:2000")
{
  echo "adapter ws1 br1 192.0.2.2/24"
  echo "adapter ws2 br2 198.51.100.2/24"
  for i in $(seq 1 12); do
    mac=$(printf '02-00-00-0A-00-%02X' "$i")
    shared+=("$mac")
    # f1 and x1 hold their save acknowledgement back, for an interrupt to come meanwhile.
    echo "device f$i br1 192.0.2.254/24 gw 192.0.2.1 mac $mac model $((i % 2 ? 48 : 57))" \
      "${slow[i == 1]}"
  done
  for i in 1 2 3 4; do
    mac=$(printf '02-00-00-0B-00-%02X' "$i")
    foreign+=("$mac")
    echo "device x$i br1 203.0.113.$((9 + i))/24 gw 203.0.113.1 mac $mac model 48 ${slow[i == 1]}"
  done
  echo "device b1 br2 198.51.100.20/24 gw 198.51.100.1 mac 02-00-00-0C-00-01 model 57"
  echo "device n1 br1 192.0.2.30/24 gw 192.0.2.1 mac 02-00-00-0D-00-01 model 48"
} >"$work/site.txt"
"$root/scripts/site" up "$work/site.txt" "$work/site"

# What of the tool could stay behind: permanent neighbour entries, routes, addresses.
tables() {
  ip -4 neigh show nud permanent
  ip -4 route show table all
  ip -4 -o addr show | awk '{print $2, $4}'
}
tables >"$work/before"
untouched() {
  tables | diff -u "$work/before" - >&2 || fail "$1 left network changes behind"
}


cli 0 search --all-adapters
check 'length == 18 and ([.[].mac] | unique | length) == 18'
check '[.[] | select(.address == "192.0.2.254" and .sharedAddress)] | length == 12'
check '[.[] | select(.outsideSubnet) | .address] | sort == ["203.0.113.10", "203.0.113.11", "203.0.113.12", "203.0.113.13"]'
check '.[] | select(.mac == "02-00-00-0C-00-01") | .adapter == "198.51.100.2"'

# Every unit that needs a change, the unit behind the second adapter, and one on the subnet, in one
# run: the twelve one after another, the others side by side.
cli 0 set "${shared[@]}" "${foreign[@]}" 02-00-00-0C-00-01 192.0.2.30 PORT1=4101 --yes
check '.succeeded == 18'
check '.devices[0].address == "192.0.2.254" and .devices[0].mac == "02-00-00-0A-00-01"'
untouched "set by MAC"
for unit in f{1..12} x{1..4} b1 n1; do
  [ "$(stored "$unit" PORT1)" = 4101 ] || fail "$unit: PORT1 $(stored "$unit" PORT1)"
done

# Exactly the units named: f7 and x3, and get and put by MAC read and write those alone.
cli 0 set 02-00-00-0A-00-07 02-00-00-0B-00-03 PORT1=4207 --yes
for unit in f{1..12} x{1..4}; do
  expected=4101
  [ "$unit" = f7 ] || [ "$unit" = x3 ] && expected=4207
  [ "$(stored "$unit" PORT1)" = "$expected" ] || fail "$unit: PORT1 $(stored "$unit" PORT1)"
done
cli 0 get 02-00-00-0A-00-07
check '.settings[] | select(.key == "PORT1") | .value == "4207"'
"$cli_program" get 02-00-00-0A-00-07 -o "$work/f7.qvs"
cli 0 put "$work/f7.qvs" 02-00-00-0A-00-09 --yes
[ "$(stored f9 PORT1)" = 4207 ] && [ "$(stored f8 PORT1)" = 4101 ] || fail "put reached another unit"
untouched "get and put by MAC"

# Without the rights: the units that need them are named with what they need; the others go on.
code=0
setpriv --inh-caps=-net_admin --bounding-set=-net_admin -- "$cli_program" set \
  02-00-00-0A-00-01 02-00-00-0B-00-01 192.0.2.30 PORT1=4300 --yes >"$work/out" 2>&1 || code=$?
[ "$code" = 1 ] || fail "without CAP_NET_ADMIN: exit $code"
grep -qx '02-00-00-0A-00-01 (192.0.2.254): 12 devices share 192.0.2.254: run as administrator to open them by MAC' "$work/out" ||
  fail "without CAP_NET_ADMIN: $(cat "$work/out")"
grep -q "^02-00-00-0B-00-01 (203.0.113.10): 203.0.113.10 lies outside the subnets .*: run as administrator to reach it$" "$work/out" ||
  fail "without CAP_NET_ADMIN: $(cat "$work/out")"
[ "$(stored n1 PORT1)" = 4300 ] && [ "$(stored f1 PORT1)" = 4101 ] || fail "without CAP_NET_ADMIN: $(cat "$work/out")"
untouched "a run without rights"

# SIGINT while a shared and a foreign unit are being written: whatever was added is taken back.
# A background job ignores SIGINT unless it is given back its default.
env --default-signal=INT "$cli_program" set 02-00-00-0A-00-01 02-00-00-0B-00-01 PORT1=4400 --yes \
  >"$work/out" 2>&1 &
run=$!
for _ in $(seq 200); do
  [ "$(ip -4 neigh show nud permanent | wc -l)" = 2 ] && break
  sleep 0.05
done
[ "$(ip -4 neigh show nud permanent | wc -l)" = 2 ] || fail "no neighbour entries pinned: $(cat "$work/out")"
kill -INT "$run"
code=0
wait "$run" || code=$?
[ "$code" = 130 ] || fail "interrupted run ended $code"
untouched "an interrupted run"

# A unit moved off the shared address is found at its new one.
cli 0 set 02-00-00-0A-00-0C IP=192.0.2.62 --yes
cli 0 search
check '.[] | select(.mac == "02-00-00-0A-00-0C") | .address == "192.0.2.62" and (.sharedAddress | not)'
check '[.[] | select(.address == "192.0.2.254")] | length == 11'
untouched "a move"
echo "reach_devices: all checks passed"
