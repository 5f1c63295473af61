#!/usr/bin/env bash
# The same flights flown by the Linux and the Windows stand-in simulator give
# the same transcript. Flies the demo's KSFO circuit (fly) and replays a held
# flight file (replay), each with both builds, and compares the transcripts
# line by line after naming the differences that must be there:
#   1. the folders of each run: the simulator folder and the application-data
#      folder are the run's own, written as <SIM> and <APPDATA>;
#   2. path separators and the drive: Windows composes paths with '\' and
#      names the build machine's folders on drive Z:.
# Nothing else may differ.
#
# The Windows audio library plays through XACT3 on the system's default
# device: an ALSA null device gives Wine one on any machine. Without the
# Windows audio library (ORVAAUDIO64.DLL) no cue can reach a transcript on
# Windows: the Linux run then flies without its audio library too, so that
# everything else is compared, and the script says so.
#
# usage: compare_transcripts.sh LINUX_BUILD WINDOWS_BUILD SOURCE_DIR WORK_DIR
# Environment: WINE (default /usr/lib/wine/wine64), WINEPREFIX and the
# wineserver the caller runs.
set -euo pipefail
linux_build=$1 windows_build=$2 source_dir=$3 work=$4
wine=${WINE:-/usr/lib/wine/wine64}
aircraft=$source_dir/tools/flightplan/demo/aircraft/B738

if [ ! -x "$linux_build/bin/orvante-sim" ]; then
  echo "SKIP: no Linux build at $linux_build (build it first: scripts/test)"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$work/alsa-null.conf"

linux_sim=$linux_build/sim
windows_sim=$windows_build/sim
if [ ! -f "$windows_sim/ORVANTE/DLLs/64bit/ORVAAUDIO64.DLL" ]; then
  echo "NOTE: the Windows build has no audio library yet: both builds fly without one and no cue is compared"
  linux_sim=$work/linux-sim
  cp -a "$linux_build/sim" "$linux_sim"
  rm -f "$linux_sim/ORVANTE/DLLs/64bit/ORVAAUDIO64.DLL"
fi

# A Unix path as Windows names it under Wine.
windows_path() { echo "Z:${1//\//\\}"; }

# The transcript with the named differences written alike.
normalise() {  # FILE SIM APPDATA
  local file=$1 sim=$2 appdata=$3
  # JSON escapes '\' as '\\': every escaped backslash becomes '/', the drive goes.
  sed -e 's/\\\\/\//g' -e 's/Z:\//\//g' "$file" |
    sed -e "s#${sim}#<SIM>#g" -e "s#${appdata}#<APPDATA>#g"
}

failures=0
compare() {  # NAME LINUX_ARGS... -- WINDOWS_ARGS...
  local name=$1
  local linux_out=$work/$name.linux.jsonl windows_out=$work/$name.windows.jsonl
  local linux_appdata=$work/$name.linux-appdata windows_appdata=$work/$name.windows-appdata
  # The demo's profile, linked to the demo aircraft and opened at start-up.
  for appdata in "$linux_appdata" "$windows_appdata"; do
    mkdir -p "$appdata/ORVANTE/Profiles"
    printf '[ORVANTE]\r\nMasterSwitch=1\r\nModel.0=B738\r\n' > "$appdata/ORVANTE/Profiles/DEMO.INI"
    printf '[ORVANTE]\r\nDEFAULTProfile=DEMO\r\n' > "$appdata/ORVANTE/ORVANTE.INI"
  done
  shift
  local -a linux_args=() windows_args=()
  while [ "$1" != "--" ]; do linux_args+=("$1"); shift; done
  shift
  windows_args=("$@")
  "$linux_build/bin/orvante-sim" "${linux_args[@]}" --sim-dir "$linux_sim" --appdata "$linux_appdata" \
    --aircraft "$aircraft" --transcript "$linux_out" > "$work/$name.linux.log" 2>&1 ||
    { echo "FAIL: $name: the Linux stand-in failed"; cat "$work/$name.linux.log"; failures=$((failures + 1)); return; }
  ORVANTE_HEADLESS=1 ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/alsa-null.conf" \
    "$wine" "$windows_build/bin/orvante-sim.exe" "${windows_args[@]}" \
    --sim-dir "$(windows_path "$windows_sim")" --appdata "$(windows_path "$windows_appdata")" \
    --aircraft "$(windows_path "$aircraft")" --transcript "$(windows_path "$windows_out")" > "$work/$name.windows.log" 2>&1 ||
    { echo "FAIL: $name: the Windows stand-in failed"; cat "$work/$name.windows.log"; failures=$((failures + 1)); return; }
  normalise "$linux_out" "$linux_sim" "$linux_appdata" > "$work/$name.linux.normal"
  normalise "$windows_out" "$windows_sim" "$windows_appdata" > "$work/$name.windows.normal"
  local lines cues
  lines=$(wc -l < "$work/$name.linux.normal")
  cues=$(grep -c '"type":"cue"' "$work/$name.linux.normal" || true)
  if [ "$lines" -lt 10 ]; then
    echo "FAIL: $name: the Linux transcript has only $lines lines"
    failures=$((failures + 1))
  elif diff -u "$work/$name.linux.normal" "$work/$name.windows.normal" > "$work/$name.diff"; then
    echo "PASS: $name: $lines transcript lines ($cues cues) the same on Linux and Windows"
  else
    echo "FAIL: $name: the transcripts differ ($work/$name.diff):"
    head -40 "$work/$name.diff"
    failures=$((failures + 1))
  fi
}

plan=$source_dir/tools/flightplan/demo/ksfo_circuit.plan
compare circuit fly "$plan" -- fly "$(windows_path "$plan")"

# The held flight: the rejected take-off written once to a flight file, then
# replayed by both.
held=$work/held-flight.csv
"$linux_build/bin/orvante-sim" fly "$source_dir/tools/flightplan/demo/ksfo_rejected_takeoff.plan" \
  --sim-dir "$linux_sim" --out "$held" > "$work/held-flight.log" 2>&1 ||
  { echo "FAIL: cannot write the held flight"; cat "$work/held-flight.log"; exit 1; }
compare held-replay replay "$held" -- replay "$(windows_path "$held")"

[ "$failures" -eq 0 ]
