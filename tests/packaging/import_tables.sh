#!/usr/bin/env bash
# The programs of the zip stand alone: they import only DLLs that every Windows has, so no runtime
# of the compiler (libstdc++, libgcc, winpthread) has to lie beside them.
#   import_tables.sh DIST VERSION
set -euo pipefail
zip="$1/calbrin-$2-win64.zip"
[ -f "$zip" ] || { echo "no $zip: scripts/package makes it"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unzip -q "$zip" calbrin.exe calbrin-cli.exe -d "$scratch"

# Windows' own DLLs, by name, case-insensitive.
allowed=(
  kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll uxtheme.dll version.dll shlwapi.dll
  shell32.dll ole32.dll advapi32.dll ws2_32.dll iphlpapi.dll msvcrt.dll
)
status=0
for exe in calbrin.exe calbrin-cli.exe; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$scratch/$exe" | sed -n 's/^\s*DLL Name: //p' |
    tr 'A-Z' 'a-z' | sort -u)
  [ -n "$dlls" ] || { echo "$exe: no import table found" >&2; status=1; }
  echo "$exe imports: $(echo $dlls)"
  for dll in $dlls; do
    ok=0
    for a in "${allowed[@]}"; do [ "$dll" = "$a" ] && ok=1; done
    case "$dll" in api-ms-win-crt-*.dll) ok=1 ;; esac
    if [ "$ok" = 0 ]; then
      echo "$exe imports $dll, which is not a Windows system DLL" >&2
      status=1
    fi
  done
done
exit "$status"
