#!/usr/bin/env bash
# The Windows package installed as a user installs it, then flown: a fresh
# Wine prefix (a new user's Windows) gets a simulator folder holding the
# stand-in simulator as Prepar3D.exe with its SimConnect.dll; the package is
# unpacked into that folder; addovar.exe, started from there as an installer
# starts it, registers the module in the user's dll.xml (FSX-SE's, the one
# its registry entry leads to); the stand-in flies the demo's KSFO circuit
# with the module that dll.xml lists, in virtual time, on an ALSA null
# device. The callouts must be those of the Linux build flying the same plan,
# cue for cue, at the same times. Then -UN_INSTALL must give the user's
# dll.xml back byte for byte.
#
# usage: install_and_fly.sh PACKAGE.zip WINDOWS_BUILD LINUX_BUILD SOURCE_DIR WORK_DIR
# Exit code 77 (skipped) when there is no Linux build to compare with.
set -euo pipefail
package=$1 windows_build=$2 linux_build=$3 source_dir=$4 work=$5
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
plan=$source_dir/tools/flightplan/demo/ksfo_circuit.plan
aircraft=$source_dir/tools/flightplan/demo/aircraft/B738

fail() { echo "FAIL: $*"; exit 1; }
[ -f "$package" ] || fail "no package at $package (scripts/package-windows makes it)"
if [ ! -x "$linux_build/bin/orvante-sim" ] || [ ! -f "$linux_build/sim/ORVANTE/SoundSets/Default.xwb" ]; then
  echo "SKIP: no Linux build with its default voice at $linux_build to compare with"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"

# A Wine prefix of the test's own, with its own server.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
"$wine" wineboot -i > /dev/null 2>&1
# Without an X display Wine's null graphics driver, so that the simulator's
# main window exists (as scripts/test-windows sets its prefix up).
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f > /dev/null 2>&1
"$wineserver" -w
"$wineserver" -p
trap '"$wineserver" -k 2> /dev/null || true; rm -rf "$WINEPREFIX"' EXIT
# The prefix's services start with the first program and keep its standard
# streams: started here, on none of the test's pipes.
"$wine" cmd /c exit > /dev/null 2>&1 < /dev/null
export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$source_dir/tests/support/alsa_null_device.conf

windows_path() { echo "Z:${1//\//\\}"; }
roaming_win=$("$wine" cmd /c echo %APPDATA% 2> /dev/null | tr -d '\r')
[[ "$roaming_win" == C:\\* ]] || fail "the prefix has no roaming folder ($roaming_win)"
roaming=$WINEPREFIX/drive_c/$(echo "${roaming_win#C:\\}" | tr '\\' /)
sim_win='C:\Program Files\Lockheed Martin\Prepar3D v4'
sim=$WINEPREFIX/drive_c/Program\ Files/Lockheed\ Martin/Prepar3D\ v4

echo "== The simulator folder: $sim_win"
mkdir -p "$sim"
cp "$windows_build/bin/orvante-sim.exe" "$sim/Prepar3D.exe"
cp "$windows_build/bin/SimConnect.dll" "$sim/"

echo "== Unpacking $(basename "$package") into it"
unzip -q "$package" -d "$sim"
for file in ORVANTE/ORVANTE.dll ORVANTE/DLLs/64bit/ORVAAUDIO64.DLL ORVANTE/SoundSets/Default.xgs \
            ORVANTE/SoundSets/Default.xwb ORVANTE/SoundSets/Default.xsb ORVANTE/res/dll.xml VSCORVA/syserrors.ini \
            r4.csv Schema.ini liborvante_platform.dll addovar.exe INSTALL.txt; do
  [ -s "$sim/$file" ] || fail "the package put no $file into the simulator folder"
done

echo "== Registering with addovar.exe -INSTALL"
# addovar knows FSX-SE's registry entry only: it names this folder here, and
# the file the utility checks for is there.
"$wine" reg add 'HKCU\SOFTWARE\Microsoft\Microsoft Games\Flight Simulator\10.0' /v AppPath /d "$sim_win\\" /f \
  > /dev/null 2>&1
: > "$sim/fsx.exe"
dll_xml=$roaming/Microsoft/FSX-SE/dll.xml
mkdir -p "$(dirname "$dll_xml")"
printf '%s\r\n' '<?xml version="1.0" encoding="Windows-1252"?>' '<SimBase.Document Type="Launch" version="1,0">' \
  '	<Descr>Launch</Descr>' '	<Filename>dll.xml</Filename>' '	<Launch.Addon>' '		<Name>Weather Radar</Name>' \
  '		<Disabled>True</Disabled>' '		<Path>Modules\radar.dll</Path>' '	</Launch.Addon>' \
  '</SimBase.Document>' > "$dll_xml"
cp "$dll_xml" "$work/dll.xml.before"
(cd "$sim" && "$wine" addovar.exe -INSTALL > "$work/install.log" 2>&1) || fail "addovar.exe -INSTALL ended with $?"
grep -q $'^\t\t<Name>ORVANTE</Name>\r$' "$dll_xml" || fail "dll.xml does not list the module: $(cat "$dll_xml")"
grep -q $'^\t\t<Path>.\\\\ORVANTE\\\\ORVANTE.dll</Path>\r$' "$dll_xml" || fail "dll.xml names no .\\ORVANTE\\ORVANTE.dll"
cmp -s "$dll_xml.orvante_backup" "$work/dll.xml.before" || fail "the backup is not the user's dll.xml"

# The aircraft linked to a profile, as the settings dialog leaves it (Profiles >
# Link to current model, Master Switch on, the profile the default), for the
# user of the prefix and for the Linux run alike.
mkdir -p "$work/linux-appdata"
for appdata in "$roaming" "$work/linux-appdata"; do
  mkdir -p "$appdata/ORVANTE/Profiles"
  printf '[ORVANTE]\r\nMasterSwitch=1\r\nModel.0=B738\r\n' > "$appdata/ORVANTE/Profiles/B738.INI"
  printf '[ORVANTE]\r\nDEFAULTProfile=B738\r\n' > "$appdata/ORVANTE/ORVANTE.INI"
done

echo "== Flying the KSFO circuit from the installed folder"
# (Bounded: the flight takes under a minute of real time.)
ORVANTE_HEADLESS=1 timeout -k 10 600 "$wine" "$sim/Prepar3D.exe" fly "$(windows_path "$plan")" --sim-dir "$sim_win" \
  --appdata "$roaming_win" --aircraft "$(windows_path "$aircraft")" \
  --dll-xml "$roaming_win\\Microsoft\\FSX-SE\\dll.xml" --transcript "$(windows_path "$work/circuit.windows.jsonl")" \
  > "$work/fly.windows.log" 2>&1 || { cat "$work/fly.windows.log"; fail "the stand-in failed under Wine"; }
"$linux_build/bin/orvante-sim" fly "$plan" --sim-dir "$linux_build/sim" --appdata "$work/linux-appdata" \
  --aircraft "$aircraft" --transcript "$work/circuit.linux.jsonl" > "$work/fly.linux.log" 2>&1 ||
  { cat "$work/fly.linux.log"; fail "the Linux stand-in failed"; }

log=$roaming/ORVANTE/ORVANTE.LOG
[ -f "$log" ] || fail "no log at %APPDATA%\\ORVANTE\\ORVANTE.LOG"
head -n 1 "$log" | grep -q "^Searching for Flight Simulator's Main Window..." || fail "the log begins: $(head -n 1 "$log")"
grep -q "Sounds set LOADED SUCCESSFULLY!" "$log" || fail "the voice did not load: $(cat "$log")"
if grep -q '"type":"box"' "$work/circuit.windows.jsonl"; then
  fail "the module showed boxes: $(grep '"type":"box"' "$work/circuit.windows.jsonl")"
fi

grep '"type":"cue"' "$work/circuit.linux.jsonl" > "$work/cues.linux" || true
grep '"type":"cue"' "$work/circuit.windows.jsonl" > "$work/cues.windows" || true
cues=$(wc -l < "$work/cues.linux")
[ "$cues" -ge 10 ] || fail "the Linux flight has only $cues cues"
if ! diff -u "$work/cues.linux" "$work/cues.windows" > "$work/cues.diff"; then
  cat "$work/cues.diff"
  fail "the callouts differ from the Linux build's"
fi
echo "PASS: $cues cues, the same on Linux and from the installed package under Wine:"
sed -e 's/.*"t":\([0-9.]*\).*"cue":"\([^"]*\)".*/\2@\1/' "$work/cues.windows" | paste -sd' ' | fmt -w 100 |
  sed 's/^/  /'

echo "== Unregistering with addovar.exe -UN_INSTALL"
(cd "$sim" && "$wine" addovar.exe -UN_INSTALL > "$work/uninstall.log" 2>&1) || fail "addovar.exe -UN_INSTALL ended with $?"
cmp -s "$dll_xml" "$work/dll.xml.before" || fail "dll.xml is not the user's file again: $(cat -A "$dll_xml")"
[ ! -e "$dll_xml.orvante_backup" ] || fail "the backup is still there"
echo "PASS: the user's dll.xml is back, byte for byte"
