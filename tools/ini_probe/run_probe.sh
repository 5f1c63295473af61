#!/bin/sh
# Runs every case in cases/ through Windows' profile functions (mingw build,
# under Wine) and through platform/ (the ini-probe target of a normal build),
# and shows where the two disagree. Needs x86_64-w64-mingw32-g++ and wine;
# the normal build and CI need neither.
#   tools/ini_probe/run_probe.sh BUILD-DIR [CASE...]
# Outputs go to BUILD-DIR/ini_probe/<case>.{wine,linux}.txt.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run_probe.sh BUILD-DIR [CASE...]}
shift
linux_probe="$build/bin/ini-probe"
[ -x "$linux_probe" ] || linux_probe=$(find "$build" -name ini-probe -type f -perm -u+x | head -n 1)
[ -x "$linux_probe" ] || { echo "build the ini-probe target in $build first" >&2; exit 2; }
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
out="$build/ini_probe"
mkdir -p "$out"
x86_64-w64-mingw32-g++ -O1 -static -o "$out/ini-probe.exe" "$here/ini_probe.cpp"
export WINEPREFIX="${WINEPREFIX:-$out/wineprefix}" WINEDEBUG=-all
[ $# -gt 0 ] || set -- "$here"/cases/*.case
cases=""
for case in "$@"; do cases="$cases $(cd "$(dirname "$case")" && pwd)/$(basename "$case")"; done
set -- $cases
status=0
for case in "$@"; do
  name=$(basename "$case" .case)
  for side in wine linux; do
    rm -rf "$out/run-$side" && mkdir -p "$out/run-$side"
  done
  (cd "$out/run-wine" && "$wine" "$out/ini-probe.exe" "$case") > "$out/$name.wine.txt" 2>/dev/null
  (cd "$out/run-linux" && "$linux_probe" "$case") > "$out/$name.linux.txt"
  if grep -v '^  # ' "$out/$name.wine.txt" | tr -d '\r' | diff -u - "$out/$name.linux.txt" > "$out/$name.diff"; then
    echo "same      $name"
  else
    echo "DIFFERENT $name  ($out/$name.diff)"
    status=1
  fi
done
exit $status
