#!/bin/sh
# Runs a program (a Windows test under Wine: with_display.sh WINE PROGRAM
# ARGS...) on a virtual X display of its own, so that its windows are drawn
# and can be photographed, and never on the desktop of whoever runs the tests.
# Without Xvfb the program runs without a display, and its tests say so.
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
if command -v Xvfb > /dev/null 2>&1; then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$tmp" 2> /dev/null &
  server=$!
  tries=0
  while [ ! -s "$tmp" ] && [ $tries -lt 200 ] && kill -0 $server 2> /dev/null; do
    sleep 0.05
    tries=$((tries + 1))
  done
  if [ -s "$tmp" ]; then
    DISPLAY=":$(head -n 1 "$tmp")"
    # (Test programs clear DISPLAY for the programs they start; this one
    # tells the test itself that its display is there.)
    ORVANTE_TEST_DISPLAY=$DISPLAY
    export DISPLAY ORVANTE_TEST_DISPLAY
  fi
fi
# Under Wine the program runs in a desktop of its own on that display (a
# Wine virtual desktop, drawn with frames and title bars): the prefix's default
# desktop belongs to whichever Wine program started first, often one without
# a display, and its windows would go nowhere. (WINE is the first argument.)
if [ -n "${DISPLAY:-}" ] && [ -n "${WINEPREFIX:-}" ] && [ $# -ge 2 ]; then
  program=$(basename "$2")
  reg="$tmp.reg"
  cat > "$reg" << REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"orvante-tests"="1024x768"

[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\$program\\Explorer]
"Desktop"="orvante-tests"
REG
  "$1" regedit /S "$(printf 'Z:%s' "$reg" | tr / '\\\\')" > /dev/null 2>&1
  rm -f "$reg"
fi
"$@"
status=$?
[ -n "${server:-}" ] && kill $server 2> /dev/null && wait $server 2> /dev/null
exit $status
