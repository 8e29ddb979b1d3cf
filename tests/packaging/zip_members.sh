#!/usr/bin/env bash
# The portable zip holds exactly the two programs, the readme and the license, in sorted order,
# dated by the sources (not by the hour of packaging), and the readme names its version.
#   zip_members.sh DIST VERSION
set -euo pipefail
zip="$1/calbrin-$2-win64.zip"
[ -f "$zip" ] || { echo "no $zip: scripts/package makes it"; exit 77; }

expected=$'LICENSE\nREADME.txt\ncalbrin-cli.exe\ncalbrin.exe'
members=$(unzip -Z1 "$zip")
if [ "$members" != "$expected" ]; then
  printf 'members of %s:\n%s\nexpected:\n%s\n' "$zip" "$members" "$expected" >&2
  exit 1
fi
# Every member carries the same date, the sources' date.
dates=$(unzip -Z -T "$zip" | awk '/^-/ { print $7 }' | sort -u | wc -l)
if [ "$dates" != 1 ]; then
  echo "the members of $zip carry different dates:" >&2
  unzip -Z -T "$zip" >&2
  exit 1
fi
unzip -p "$zip" README.txt | grep -q "^Calbrin $2" || {
  echo "README.txt does not name version $2" >&2
  exit 1
}
echo "zip members OK"
