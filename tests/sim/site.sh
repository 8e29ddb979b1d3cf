#!/usr/bin/env bash
# scripts/site against calbrin-cli, in the network namespace that scripts/netns-exec gives this
# script: two devices at one shared address and one in a foreign subnet are all found from the
# workstation's adapter; a device given a new address from inside its own namespace is found
# there after the settle; and `down` leaves the namespace as it found it.
# CALBRIN_NATIVE_BUILD names the build tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${CALBRIN_NATIVE_BUILD:-$root/build/native}
export CALBRIN_NATIVE_BUILD=$build
cli=$build/cli/calbrin-cli
work=$(mktemp -d)
trap '"$root/scripts/site" down "$work/site" 2>/dev/null; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
network() {
  ip -4 addr && ip link && ip route && ip neigh
}
# The search's devices as "MAC ADDRESS" lines, in MAC order.
found() {
  "$cli" search --all-adapters --json | jq -r 'sort_by(.mac)[] | "\(.mac) \(.address)"'
}

cat >"$work/site.txt" <<'EOF'
adapter ws1 br1 192.0.2.2/24
device d01 br1 192.0.2.254/24 gw 192.0.2.1 mac 02-00-00-0A-00-01 model 48
device d02 br1 192.0.2.254/24 gw 192.0.2.1 mac 02-00-00-0A-00-02 model 57 password Secret-1
device d13 br1 203.0.113.10/24 gw 203.0.113.1 mac 02-00-00-0A-00-0D model 57
EOF
network >"$work/before"
"$root/scripts/site" up "$work/site.txt" "$work/site"

expected=$'02-00-00-0A-00-01 192.0.2.254\n02-00-00-0A-00-02 192.0.2.254\n02-00-00-0A-00-0D 203.0.113.10'
[ "$(found)" = "$expected" ] || fail "the site's search found $(found)"

# A console follows its device's routing: a host route alone brings no answer back to 192.0.2.2.
ip route add 203.0.113.10/32 dev ws1 src 192.0.2.2
! timeout 3 bash -c 'exec 3<>/dev/tcp/203.0.113.10/9998' 2>/dev/null ||
  fail "d13's console answered from outside its subnet"
ip route del 203.0.113.10/32 dev ws1

nsenter -t "$(cat "$work/site/d01.pid")" -n "$cli" set 192.0.2.254 IP=192.0.2.60 --yes >/dev/null
expected=$'02-00-00-0A-00-01 192.0.2.60\n02-00-00-0A-00-02 192.0.2.254\n02-00-00-0A-00-0D 203.0.113.10'
[ "$(found)" = "$expected" ] || fail "after the move the search found $(found)"
grep -qx 'address 192.0.2.60' "$work/site/d01.state" || fail "d01's state kept its old address"

"$root/scripts/site" down "$work/site"
network >"$work/after"
diff "$work/before" "$work/after" || fail "down left the namespace changed"
[ -z "$(ls -A "$work/site")" ] || fail "down left files: $(ls "$work/site")"
