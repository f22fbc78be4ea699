#!/usr/bin/env bash
# ./tarvix fly with a route file, as a pilot starts it: a planner's GPX route becomes TarvixTr.dat
# in the flight's folder, the settings dialog brings it in with "Tr Imp" and the whole tour is
# flown from its first item, at the route's altitudes and the cruise altitude where it has none.
# Names come back to the terminal as they were written, accents and all. A file that holds no
# route flies nothing and leaves no folder. Each option reaches its program (--dry-run), and what
# cannot be flown is refused in one line before any flight.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

cat >planned.gpx <<'GPX'
<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="a flight planner" xmlns="http://www.topografix.com/GPX/1/1">
  <rte>
    <name>South of the lake</name>
    <rtept lat="41.786111" lon="-87.752222"><ele>188.976</ele><name>KMDW</name><desc>Chicago Midway</desc></rtept>
    <rtept lat="41.616111" lon="-87.412778"><name>[PT6S]</name><desc>Gary</desc></rtept>
    <rtept lat="41.535" lon="-87.528889"><ele>457.2</ele><name>Lansing Zürich</name></rtept>
  </rte>
</gpx>
GPX

output=$("$root/tarvix" fly --no-build --out flight planned.gpx --speed 180 2>&1) ||
    fail "fly planned.gpx: status $?: $output"
for line in "flight/TarvixTr.dat: 3 points written (tour file)" \
    "pressed Tr Imp" "selected 'New Tour Folder/001 - KMDW'" \
    "tour mode, autopilot on, altitude hold on" \
    "waypoints reached in order: 001 KMDW, 002 Gary, 003 Lansing Zürich" "not reached: none"; do
    grep -qF "$line" <<<"$output" || fail "fly did not say \"$line\": $output"
done
[ "$(tail -n 1 <<<"$output")" = "$folder/flight" ] || fail "the last line is not the folder"
for file in TarvixTr.dat TarvixDb.dat route-flight.json settings-dialog.png track.png flight.gif; do
    [ -s "flight/$file" ] || fail "the flight left no $file"
done
# Columns: time, latitude, longitude, altitude, heading, airspeed. The hold climbs to the cruise
# altitude for Gary, which has none, and comes down to Lansing's 1,500 ft at the end.
awk -F, 'NR > 1 && $4 == 3000 { held = 1 } END { exit !held }' flight/flight-log.csv ||
    fail "never held 3000 ft on the way to Gary"
[ "$(tail -n 1 flight/flight-log.csv | cut -d, -f4)" = 1500 ] || fail "not at 1500 ft at the end"
grep -q ',180,' flight/flight-log.csv || fail "not flown at 180 kt"

echo 'not a route' >broken.gpx
if "$root/tarvix" fly --no-build --out broken broken.gpx >broken.out 2>&1; then
    fail "a file without a route was flown: $(cat broken.out)"
fi
grep -q "broken.gpx" broken.out || fail "the refusal does not name the file: $(cat broken.out)"
[ ! -e broken ] || fail "the refused flight left its folder"
# Each value stays with its option; the route's options reach tarvix-db, the rest the host.
printf 'not a route\nnor a scenario\n' >note.txt
printf '  {"name": "a scenario under another name"}\n' >flight.txt
while IFS='|' read -r arguments db host; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    printed=$("$root/tarvix" fly --no-build --dry-run $arguments 2>&1) ||
        fail "fly --dry-run $arguments: status $?: $printed"
    expected=$'tarvix-host '"$host"
    [ -z "$db" ] || expected=$'tarvix-db scenario '"$db"$'\n'"$expected"
    [ "$printed" = "$expected" ] || fail "fly $arguments printed: $printed (expected: $expected)"
done <<'TABLE'
--events keys.csv||--events keys.csv
--out o/p.gpx p.gpx|p.gpx o/p.gpx|--out o/p.gpx o/p.gpx/route-flight.json
--from fms plan.txt --out f|--from fms plan.txt f|--out f f/route-flight.json
a.gpx --speed=90 --max-items 9 --out=f --verbose --all-key-events|--speed=90 --max-items 9 --verbose a.gpx f|--out=f --all-key-events f/route-flight.json
--speed 90 --events keys.csv||--speed 90 --events keys.csv
flight.txt --out f||flight.txt --out f
b.kml -q --out f --gauge g.gau|-q b.kml f|--out f --gauge g.gau f/route-flight.json
TABLE
# Refused before any flight: a route option without a route, a file that is neither, a missing
# value, a route of 70,000 points (more than one tour holds).
awk 'BEGIN { print "ident,name,latitude,longitude"
    for (i = 0; i < 70000; i++) printf "P%d,Point %d,%.6f,-87\n", i, i, 10 + i * 0.0005 }' >big.csv
while IFS='|' read -r arguments fragment; do
    # shellcheck disable=SC2086
    if refused=$("$root/tarvix" fly --no-build --out never $arguments 2>&1); then
        fail "fly $arguments flew: $refused"
    fi
    [ "$(wc -l <<<"$refused")" -eq 1 ] && [[ "$refused" == *"$fragment"* ]] ||
        fail "fly $arguments did not refuse in one line with '$fragment': $refused"
    [ ! -e never ] || fail "fly $arguments left its folder"
done <<'TABLE'
--max-items 9|option --max-items is for a route file
note.txt|note.txt: neither a route nor a scenario
a.gpx --out|option --out needs a value
--quiet big.csv|more than the 65,534 items one tour holds (the import adds the tour's folder
TABLE
# With --max-items the route is split and its first tour flown (here only written).
"$root/build/native/bin/tarvix-db" scenario -q --max-items 999 big.csv big >big.out 2>&1 ||
    fail "--max-items 999: $(cat big.out)"
grep -q "the first tour of the split is flown" big.out || fail "$(cat big.out)"
[ -s big/TarvixTr-71.dat ] || fail "the split did not write 71 tours: $(ls big)"
echo "a GPX route flown through the settings dialog's Tr Imp: 3 items reached in order"
