#!/usr/bin/env bash
# The example playbook (ansible/examples/site.yml) with the calbrin.qv collection against the
# simulator, this host as both sites' host: the first run writes and the devices hold the new
# values, a second run changes nothing, --check --diff on a changed desired state shows the
# difference and writes nothing, and a device with a wrong password or none that answers fails
# its own task with calbrin-cli's message while the others succeed. No password reaches an output or calbrin-cli's
# command line. Runs in the network namespace that scripts/netns-exec gives it;
# CALBRIN_NATIVE_BUILD names the build tree.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${CALBRIN_NATIVE_BUILD:-build/native}" && pwd)
work=$(mktemp -d)
mkdir -p "$work/home" "$work/tmp" "$work/bin"
export HOME="$work/home" XDG_DATA_HOME="$work/data" ANSIBLE_LOCAL_TEMP="$work/tmp" \
  ANSIBLE_REMOTE_TEMP="$work/tmp" ANSIBLE_COLLECTIONS_PATH="$source_dir/ansible" \
  ANSIBLE_CALLBACK_PLUGINS="$source_dir/tests/ansible/callback_plugins" \
  ANSIBLE_CALLBACKS_ENABLED=results_file CALBRIN_RESULTS_FILE="$work/results.json" \
  ANSIBLE_RETRY_FILES_ENABLED=false ANSIBLE_NOCOLOR=1

# calbrin-cli as the modules find it on PATH, recording every command line it is given.
cat >"$work/bin/calbrin-cli" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$work/command-lines"
exec "$build/cli/calbrin-cli" "\$@"
EOF
chmod +x "$work/bin/calbrin-cli"
export PATH="$work/bin:$PATH"

"$build/sim/qvsim" --state "$work/state" 48 57,password=Secret-9 48,password=Secret-9 \
  >"$work/sim" &
sim=$!
trap 'kill $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ "$(wc -l <"$work/sim")" -ge 3 ] && break; sleep 0.1; done

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The vault of the test: the devices' password, encrypted with a vault password of its own.
printf 'test-vault-key\n' >"$work/vault-pass"
printf 'vault_qv_password: Secret-9\n' >"$work/vault.yml"
ansible-vault encrypt --vault-password-file "$work/vault-pass" "$work/vault.yml" >/dev/null

# Runs the playbook with ARGS: exit code 2 (a host failed), the screen output in $work/run.out,
# the results in $work/results.json.
playbook() {
  local code=0
  rm -f "$work/results.json"
  ansible-playbook -i "$source_dir/tests/ansible/inventory.yml" \
    "$source_dir/ansible/examples/site.yml" --vault-password-file "$work/vault-pass" \
    -e "qv_vault_file=$work/vault.yml" -e "qv_template_dir=$work/templates" "$@" \
    >"$work/run.out" 2>&1 || code=$?
  cat "$work/run.out"
  [ "$code" = 2 ] || fail "ansible-playbook $* exited $code"
  ! grep -q -e Secret-9 -e Wrong-0 -e test-vault-key "$work/run.out" "$work/results.json" ||
    fail "ansible-playbook $* printed a password"
}
# Fails with the filter when `jq -e FILTER` does not hold for the last run's results; the
# results of the task named $task are in $task_results, by host.
expect() {
  jq -e --arg task "${task:-}" '(.results[$task] // {}) as $task_results | '"$1" \
    "$work/results.json" >/dev/null || fail "not true: $1 of $(cat "$work/results.json")"
}
# The value that `get --json` reads from the device at ADDRESS for KEY.
stored() {
  "$build/cli/calbrin-cli" get "$1" --json --password-env PW |
    jq -r --arg key "$2" '.settings[] | select(.key == $key) | .value'
}
export PW=Secret-9

# The site's host speaks Japanese: the modules' pages, labels and messages follow its locale.
export LANG=ja_JP.UTF-8
unset LC_ALL LC_MESSAGES

settings_task="Settings as the template, with the site's own over it"
password_task="The vault's settings password"

# The first run finds the three devices, writes the two with the right password and gives the
# first one the vault's password; the third and the one that does not answer fail each with
# calbrin-cli's own message.
playbook
task="Search the site's LANs" expect '
  [$task_results.localhost.ansible_facts.qv_devices[].address]
  == ["127.0.0.2", "127.0.0.3", "127.0.0.4"]'
task=$settings_task expect '
  $task_results["osaka-line1"].changed and $task_results["osaka-line2"].changed
  and ([$task_results["osaka-line1"].changes[].key] == ["KEEP_A", "PORT1", "CBPS1"])
  and $task_results["nagoya-press"].status == "failed"
  and $task_results["nagoya-press"].msg
      == "127.0.0.4: 認証されませんでした。 / パスワードが異なる可能性があります。"
  and $task_results["nagoya-spare"].status == "failed"
  and ($task_results["nagoya-spare"].msg | startswith("127.0.0.9: ソケットエラー"))'
task=$password_task expect '
  $task_results["osaka-line1"].changed and ($task_results["osaka-line2"].changed | not)
  and ($task_results | has("nagoya-press") | not)'
# The facts read back after the writes, the password only as set or not.
task="The converter's settings as they are now" expect '
  $task_results["osaka-line1"].ansible_facts.qv_device.settings as $settings
  | $settings.PORT1.value == "4001" and $settings.CBPS1.meaning == "38400"
  and $settings.PASS1 == {page: "LAN(1)", label: "パスワード", meaning: "(なし)",
                          password_set: false}'
expect '.stats["nagoya-press"].failures == 1 and .stats["nagoya-spare"].failures == 1
  and .stats["osaka-line1"].failures == 0 and .stats["osaka-line2"].failures == 0'
for check in 127.0.0.2=KEEP_A=6 127.0.0.2=PORT1=4001 127.0.0.2=CBPS1=38400 127.0.0.2=IP=127.0.0.2 \
  127.0.0.3=MSS=1400 127.0.0.3=PORT1=4001 127.0.0.3=CBPS1=19200 127.0.0.4=PORT1=10001 \
  127.0.0.4=MSS=1460; do
  IFS== read -r address key value <<<"$check"
  [ "$(stored "$address" "$key")" = "$value" ] ||
    fail "$address holds $key=$(stored "$address" "$key"), not $value"
done
# The first device asks for the vault's password now.
! "$build/cli/calbrin-cli" get 127.0.0.2 --json >/dev/null 2>&1 ||
  fail "127.0.0.2 opens without a password"

# The second run: nothing changes on any device; the failing two fail again on their own.
playbook --skip-tags search
expect '.stats["osaka-line1"].changed == 0 and .stats["osaka-line2"].changed == 0
  and .stats["osaka-line1"].failures == 0 and .stats["nagoya-press"].failures == 1'
task=$settings_task expect '$task_results["osaka-line1"].changes == []'

# A changed desired state in check mode with --diff: the difference by page and label, nothing
# written (the simulator's state file and the history folder stay as they are).
cp "$work/state" "$work/state-before"
history_files=$(find "$work/data" -type f | wc -l)
playbook --skip-tags search --check --diff -e '{"qv_site_settings": {"PORT1": 4002}}'
task=$settings_task expect '
  $task_results["osaka-line1"].changed and $task_results["osaka-line2"].changed
  and $task_results["osaka-line1"].diff.before == "LAN(1)  受信ポート番号: 4001\n"
  and $task_results["osaka-line1"].diff.after == "LAN(1)  受信ポート番号: 4002\n"'
cmp -s "$work/state" "$work/state-before" || fail "check mode changed a device"
[ "$(find "$work/data" -type f | wc -l)" = "$history_files" ] || fail "check mode kept history"
[ "$(stored 127.0.0.2 PORT1)" = 4001 ] || fail "check mode wrote 127.0.0.2"

# A host in an English locale gives its facts in English, keys and values as they are.
rm -f "$work/results.json"
LANG=C.UTF-8 ANSIBLE_LOAD_CALLBACK_PLUGINS=1 \
  ansible localhost -i "$source_dir/tests/ansible/inventory.yml" -m calbrin.qv.qv_facts \
  -a '{"address": "127.0.0.3", "password": "Secret-9"}' >"$work/run.out" 2>&1 ||
  fail "qv_facts on an English host: $(cat "$work/run.out")"
expect '[.results[]][0].localhost.ansible_facts.qv_device.settings as $settings
  | $settings.PORT1 == {page: "LAN(1)", label: "Receive port", meaning: "4001", value: "4001"}
  and $settings.PASS1.meaning == "(none)"'

# Passwords reached calbrin-cli by its environment only.
grep -q -- '--password-env' "$work/command-lines" || fail "the modules never ran calbrin-cli"
! grep -q -e Secret-9 -e Wrong-0 "$work/command-lines" ||
  fail "a password on calbrin-cli's command line: $(cat "$work/command-lines")"
echo PASS
