#!/usr/bin/env bash
# The release archive unpacked into an empty folder laid out as the simulator's (the gauge under
# Gauges, the library beside the program, which the stand-in simulator plays), the default
# scenario flown from there: every file the modules wrote there is one the pilot's guide names.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
archive=${1:?the release archive}
windows=${2:?the Windows build folder}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# The archive's modules are i686: a machine that runs its programs under 64-bit Wine cannot
# load them into its host.
[ "$(basename "$windows")" = win32 ] || { echo "skipped: this machine runs no 32-bit host"; exit 77; }

sim=$folder/FS98
mkdir -p "$sim"
unzip -q "$archive" -d "$sim"
cp "$windows/bin/tarvix-host.exe" "$sim/"
before=$(cd "$sim" && find . -type f -exec sha256sum {} + | sort -k2)

# A Wine prefix of its own, whose server ends with the flight: the dialog library's named
# mappings are then this flight's alone, and it need not wait for the other flights.
export TARVIX_WINEPREFIX="$windows-wineprefix-release" TARVIX_WINE_END=1
exec 8>"$TARVIX_WINEPREFIX.lock-flight"
flock 8
output=$(cd "$sim" && "$root/tools/wine-run" ./tarvix-host.exe --gauge 'Gauges\Tarvix42.gau' \
    --out . "$root/scenarios/lake-michigan.json" 2>&1 8>&-) || fail "the flight: status $?: $output"
exec 8>&-
grep -qF "not reached: none" <<<"$output" || fail "the tour was not flown: $output"

# What the stand-in simulator itself records about the flight is not the modules' doing.
host_files=" panel.png flight.gif track.png flight-log.csv key-events.csv dialog-steps.log settings-dialog.png "
after=$(cd "$sim" && find . -type f -exec sha256sum {} + | sort -k2)
[ "$(grep -Fxf <(echo "$before") <<<"$after")" = "$before" ] || fail "an unpacked file was changed"
written=$(comm -13 <(echo "$before" | awk '{ print $2 }') <(echo "$after" | awk '{ print $2 }') |
    sed 's|^\./||' | grep -v '^frames/')
guide=$(tr -d '\r' <"$sim/TarvixGuide.txt")
left=()
for file in $written; do
    [[ "$host_files" == *" $file "* ]] && continue
    grep -qE "^  $(sed 's/[.$]/\\&/g' <<<"$file")( |$)" <<<"$guide" || left+=("$file")
done
[ ${#left[@]} -eq 0 ] || fail "written beside the simulator, not named in the guide: ${left[*]}"
for file in TarvixDb.dat TarvixDb.bak; do
    grep -qx "$file" <<<"$written" || fail "the flight wrote no $file: $written"
done
echo "flown from the unpacked archive; written beside the simulator:" $written
