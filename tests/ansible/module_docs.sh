#!/usr/bin/env bash
# ansible-doc renders the documentation of every module of the calbrin.qv collection: its
# options, examples and return values, with no warning.
set -euo pipefail
collection=$(cd "$(dirname "$0")/../../ansible" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work" ANSIBLE_LOCAL_TEMP="$work" ANSIBLE_COLLECTIONS_PATH="$collection" ANSIBLE_NOCOLOR=1
modules=("$collection"/ansible_collections/calbrin/qv/plugins/modules/*.py)
[ "${#modules[@]}" -eq 4 ] || { echo "FAIL: ${#modules[@]} modules, not 4" >&2; exit 1; }
for path in "${modules[@]}"; do
  name=calbrin.qv.$(basename "$path" .py)
  ansible-doc "$name" >"$work/doc" 2>&1 || { cat "$work/doc"; echo "FAIL: $name" >&2; exit 1; }
  for part in "> ${name^^}" "OPTIONS (= is mandatory):" "EXAMPLES:" "RETURN VALUES:" "- cli_path"; do
    grep -qF -- "$part" "$work/doc" || { cat "$work/doc"; echo "FAIL: $name lacks $part" >&2; exit 1; }
  done
  ! grep -qi -e warning -e error "$work/doc" || { cat "$work/doc"; echo "FAIL: $name" >&2; exit 1; }
done
echo PASS
