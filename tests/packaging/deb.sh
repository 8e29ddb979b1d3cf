#!/usr/bin/env bash
# The Debian package holds calbrin-cli and qvsim in /usr/bin with a man page each; unpacked into a
# scratch root, its calbrin-cli runs and prints the package's version.
#   deb.sh DIST VERSION
set -euo pipefail
deb="$1/calbrin-cli_$2_amd64.deb"
[ -f "$deb" ] || { echo "no $deb: scripts/package makes it"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fields=$(for field in Package Version Architecture; do dpkg-deb -f "$deb" "$field"; done)
[ "$fields" = $'calbrin-cli\n'"$2"$'\namd64' ] || {
  dpkg-deb -f "$deb" >&2
  echo "wrong control fields in $deb" >&2
  exit 1
}
listing=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in ./usr/bin/calbrin-cli ./usr/bin/qvsim ./usr/share/man/man1/calbrin-cli.1.gz \
  ./usr/share/man/man1/qvsim.1.gz ./usr/share/doc/calbrin-cli/copyright; do
  grep -qx -- "$path" <<<"$listing" || {
    printf '%s is missing from %s, which lists:\n%s\n' "$path" "$deb" "$listing" >&2
    exit 1
  }
done

dpkg -x "$deb" "$scratch"
printed=$("$scratch/usr/bin/calbrin-cli" --version)
[ "$printed" = "calbrin-cli $2" ] || {
  echo "calbrin-cli --version printed \"$printed\", expected \"calbrin-cli $2\"" >&2
  exit 1
}
# The man pages are the programs' own help texts, which begin with their usage line.
for program in calbrin-cli qvsim; do
  page=$(zcat "$scratch/usr/share/man/man1/$program.1.gz")
  grep -q "^\.TH ${program^^} " <<<"$page" && grep -qF "usage: ${program//-/\\-}" <<<"$page" || {
    echo "the man page of $program is not its help text:" >&2
    head -n 20 <<<"$page" >&2
    exit 1
  }
done
echo "deb OK: $printed"
