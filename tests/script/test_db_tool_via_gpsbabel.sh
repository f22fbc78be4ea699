#!/usr/bin/env bash
# Files that only GPSBabel reads come in through it, known without an option (a KML path as a
# tour, OziExplorer and .cup waypoints as airports), or named with --via-gpsbabel when tarvix-db
# cannot tell them; a missing or failing GPSBabel is a refusal that says what to do; no temporary
# file is left, even after a Ctrl-C. Argument: the tarvix-db program.
set -euo pipefail
tool=$(realpath "$1")
data=$(realpath "$(dirname "$0")/../data/gpsbabel")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/tmp"
export TMPDIR="$work/tmp"
cd "$work"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# input | options | output | the records written, trailing spaces taken off | what is said
cp "$data"/* .
sed 1d lake.wpt >other.wpt
while IFS='|' read -r input options output records said; do
    read -ra given <<<"$options"
    rm -f "$output"
    told=$("$tool" convert "${given[@]}" "$input" "$output" 2>&1) ||
        fail "$input: status $?: $told"
    [ "$(sed -e 's/ *\r$//' "$output" | paste -sd/)" = "$records" ] ||
        fail "$input into $output wrote:
$(cat "$output")"
    grep -qF "$said" <<<"$told" || fail "$input: did not say \"$said\": $told"
done <<'TABLE'
lake-tour.kml||TarvixTr.dat|001  RPT001                   N41 4710W87 458   1 2999/002  RPT002                   N42 5650W87 5348  1 4498/003  RPT003                   N44 296 W88 7 46  1 6499/004  RPT004                   N45 4322W87 5 37  1|read through GPSBabel as its format 'kml'
lake-tour.kml||Tarvix.dat|Chica Chicago Midway            N 41  47  10  W 87  45  8/Milwa Milwaukee Mitchell        N 42  56  50  W 87  53  48|1 elevation(s) of 0 read as none
lake.wpt||Tarvix.dat|KMDW  Chicago Midway            N 41  47  10  W 87  45  8/KMKE  Milwaukee Mitchell        N 42  56  50  W 87  53  48|(OziExplorer waypoint file)
gliding.cup||Tarvix.dat|KMDW  Midway                    N 41  47  10  W 87  45  8/3HA   3HA                       N 41  34  30  W 87  31  43|which GPSBabel reads as metres
lake.json|--via-gpsbabel geojson|Tarvix.dat|KMDW  Chicago Midway            N 41  47  10  W 87  45  8/KMKE  KMKE                      N 42  56  50  W 87  53  48|its format 'geojson'
TABLE

# Refusals: status 2 and a line that says what to do.
printf '<kml><Placemark>' >broken.kml
while IFS='|' read -r setting input said; do
    status=0
    told=$(env "$setting" "$tool" convert "$input" out.gpx 2>&1) || status=$?
    [ "$status" -eq 2 ] || fail "$setting $input: status $status: $told"
    grep -qF "$said" <<<"$told" || fail "$setting $input: did not say \"$said\": $told"
done <<'TABLE'
TARVIX_GPSBABEL=/no/gpsbabel|lake.wpt|is not installed (no program '/no/gpsbabel'); install it with: sudo apt-get install gpsbabel
PATH=/no/such/folder|lake-tour.kml|GPSBabel reads this KML file for tarvix-db and is not installed
TARVIX_GPSBABEL=false|gliding.cup|GPSBabel could not read it as 'cup'
TARVIX_GPSBABEL=|other.wpt|or read it through GPSBabel with --via-gpsbabel FORMAT
TARVIX_GPSBABEL=|broken.kml|GPSBabel could not read it as 'kml': XML Reader
TABLE
# Ctrl-C while GPSBabel works ends both, as interrupted (130), and still removes the files.
printf '#!/bin/sh\ntouch "$0.started"\nexec sleep 20\n' >slow-gpsbabel
chmod +x slow-gpsbabel
set -m
TARVIX_GPSBABEL="$work/slow-gpsbabel" "$tool" show lake.wpt >/dev/null 2>&1 &
for _ in $(seq 100); do [ -e slow-gpsbabel.started ] && break || sleep 0.1; done
kill -INT $!
status=0
wait $! || status=$?
set +m
[ "$status" -eq 130 ] || fail "Ctrl-C during GPSBabel: status $status"
[ -z "$(ls tmp)" ] || fail "temporary files left: $(ls tmp)"
echo "KML, OziExplorer and .cup files come in through GPSBabel; its absence is explained"
