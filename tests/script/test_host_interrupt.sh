#!/usr/bin/env bash
# Ctrl-C in the middle of a flight, as a person presses it: Wine hands the host the SIGINT as a
# console control event. The host stops where it is, says where, writes the summary and the
# pictures of the part flown, marked so, and exits 130 like any program stopped by Ctrl-C.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The build that runs here, as ./tarvix picks it.
build="$root/build/win32" runner="$root/tools/wine-run"
/usr/lib/wine/wine --version >/dev/null 2>&1 || { build="$root/build/win64" runner="$root/tools/wine-run64"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() {
    printf 'FAILED: %s\n' "$*"
    failures=$((failures + 1))
}

# The default tour without its end at the last arrival: long enough to be stopped on the way.
sed 's|"lake-michigan.dat"|"'"$build"'/bin/scenarios/lake-michigan.dat"|; s|"duration": 15000|"duration": 15000, "frameRate": 6|' \
    "$build/bin/scenarios/lake-michigan.json" >tour.json
"$runner" "$build/bin/tarvix-host.exe" tour.json --out out >run.out 2>&1 &
host=$!
for _ in $(seq 600); do
    grep -q "reached, next" run.out && break
    kill -0 "$host" 2>/dev/null || break
    sleep 0.2
done
kill -INT "$host" 2>/dev/null || fail "the flight ended before it could be interrupted: $(cat run.out)"
status=0
wait "$host" || status=$?
[ "$status" -eq 130 ] || fail "an interrupted flight exited $status, not 130: $(cat run.out)"
grep -q "interrupted at [0-9:]* of 4:10:00 simulated, at N4[0-9.]* W[0-9.]*, flying to 00" run.out ||
    fail "it did not say where it stopped: $(cat run.out)"
grep -q "not reached before the interruption: " run.out || fail "no summary of the part flown"
grep -q "wrote in .*/out: .*panel.png track.png" run.out || fail "the files were not listed"
for file in panel.png track.png flight.gif flight-log.csv key-events.csv; do
    [ -s "out/$file" ] || fail "no $file of the part flown"
done
# The log ends where the flight stopped, well before the tour's end.
last=$(tail -n 1 out/flight-log.csv | cut -d, -f1)
[ "${last%.*}" -lt 15000 ] || fail "the log runs to the end: $last"

[ "$failures" -eq 0 ] && echo "the interrupted flight checks passed"
exit $((failures > 0))
