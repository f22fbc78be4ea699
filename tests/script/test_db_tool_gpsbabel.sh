#!/usr/bin/env bash
# tarvix-db reads the GPX and CSV files of tests/data/waypoints as GPSBabel does: the same points
# in the same order, at the same positions to the second, with the same names; each difference is
# listed below with its reason, and a listed one that no longer occurs fails too. GPSBabel puts
# both readings (tarvix-db's as the GPX it writes) into one tab-separated form: name, comment,
# description, lat, lon. Argument: the tarvix-db program.
set -euo pipefail
tool=$(realpath "$1")
data=$(realpath "$(dirname "$0")/../data/waypoints")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}
command -v gpsbabel >/dev/null || fail "gpsbabel is not installed (./tarvix test installs it)"

# file, kind of points, GPSBabel's point number (tN: tarvix-db's; "*": every one), difference, why
expected=$(
    cat <<'TABLE'
planner.gpx|waypoints|2|left out|latitude 95 is none: GPSBabel folds it to -85, tarvix-db leaves the point out
planner.gpx|routes|3|left out|lat 'x' is no number: GPSBabel reads it as 0, tarvix-db leaves the point out
planner.gpx|tracks|*|left out|tarvix-db converts no tracks and warns that it does not
prefixed.gpx|waypoints|*|extra|GPSBabel reads no elements with a namespace prefix: it finds no points
edges.gpx|waypoints|1|left out|latitude 0 is no point to the gauge: tarvix-db leaves it out
edges.gpx|routes|4|left out|latitude 0 after the rounding to the second: tarvix-db leaves it out
airports.csv|points|2|left out|longitude 181 is none: GPSBabel takes it, tarvix-db leaves the point out
airports.csv|points|4|left out|latitude and longitude 0: no point to the gauge
airports.csv|points|5|name|a row without a name is named by its identifier, a column GPSBabel does not read
dms.csv|points|2|position|GPSBabel reads 87°54'17"W as 7.133333; tarvix-db reads -87.904722
TABLE
)

cat >"$work/style" <<'STYLE'
FIELD_DELIMITER TAB
RECORD_DELIMITER NEWLINE
BADCHARS TAB
OFIELD SHORTNAME,"","%s"
OFIELD DESCRIPTION,"","%s"
OFIELD NOTES,"","%s"
OFIELD LAT_DECIMAL,"","%.6f"
OFIELD LON_DECIMAL,"","%.6f"
STYLE

# points TYPE FILE KIND: GPSBabel's reading of FILE as TYPE, only the points of KIND.
points() {
    local only=() keep=(-x nuketypes,routes,tracks)
    case "$3" in
        routes) only=(-r) keep=(-x nuketypes,waypoints,tracks) ;;
        tracks) only=(-t) keep=(-x nuketypes,waypoints,routes) ;;
        points) only=(-r) keep=(-x nuketypes,tracks) ;;
    esac
    gpsbabel "${only[@]}" -i "$1" -f "$2" "${keep[@]}" -o "xcsv,style=$work/style" -F - ||
        fail "gpsbabel cannot read $2"
}

# The two readings compared point by point. tarvix-db may leave points out, never add or reorder
# them: a point of GPSBabel's without its match is "left out" when a later one is at the position
# of tarvix-db's next point. Positions agree within half a second (tarvix-db keeps whole
# seconds); every text tarvix-db gives a point is one of GPSBabel's for it (identifiers only where
# GPSBabel reads them: not in CSV).
compare() {
    awk -F '\t' -v kind="$1" -v idents="$2" '
        function near(a, b) { d = (a - b) * 3600; return d <= 0.5005 && d >= -0.5005 }
        function has(i, text) { return text == "" || text == n[i] || text == c[i] || text == e[i] }
        function at(i, j) { return near(la[i], tla[j]) && near(lo[i], tlo[j]) }
        function named(i, j) { return (idents == "no" || has(i, tn[j])) && has(i, te[j]) }
        function out(i, what) { printf "%s|%d|%s|%s\n", kind, i, what, n[i] }
        FILENAME == ARGV[1] { nb++; n[nb] = $1; c[nb] = $2; e[nb] = $3; la[nb] = $4; lo[nb] = $5; next }
        { nt++; tn[nt] = $1; te[nt] = $3; tla[nt] = $4; tlo[nt] = $5
          if (idents == "no") { tn[nt] = ""; te[nt] = ($3 != "" ? $3 : $1) } }
        END {
            for (i = 1; i <= nb && j < nt; i++) {
                if (!at(i, j + 1)) {
                    for (k = i + 1; k <= nb && !at(k, j + 1); k++) {}
                    if (k > nb) { out(i, "position"); j++; continue }
                    for (; i < k; i++) out(i, "left out")
                }
                j++
                if (!named(i, j)) out(i, "name")
            }
            for (; i <= nb; i++) out(i, "left out")
            for (j++; j <= nt; j++) printf "%s|t%d|extra|%s\n", kind, j, tn[j]
        }' "$3" "$4"
}

compared=0
for file in "$data"/*.gpx "$data"/*.csv; do
    name=$(basename "$file")
    status=0
    "$tool" convert --force "$file" "$work/ours.gpx" >/dev/null 2>&1 || status=$?
    [ "$status" -le 1 ] || fail "tarvix-db cannot convert $name (status $status)"
    case "$name" in
        *.gpx) type=gpx idents=yes kinds="waypoints routes tracks" ;;
        *.csv) type=unicsv idents=no kinds=points ;;
    esac
    for kind in $kinds; do
        points "$type" "$file" "$kind" >"$work/theirs"
        points gpx "$work/ours.gpx" "$kind" >"$work/ours"
        compared=$((compared + $(wc -l <"$work/theirs")))
        compare "$kind" "$idents" "$work/theirs" "$work/ours" | sed "s/^/$name|/" >>"$work/found"
    done
done

# The differences found (a "*" row stands for every point of its kind) are those listed.
listed=$(cut -d'|' -f1-4 <<<"$expected" | sort)
found=$(touch "$work/found" && while IFS='|' read -r file kind point what rest; do
    grep -qxF "$file|$kind|*|$what" <<<"$listed" && point="*"
    echo "$file|$kind|$point|$what"
done <"$work/found" | sort -u)
[ "$found" = "$listed" ] || fail "tarvix-db and GPSBabel differ other than listed (<: found, >: listed):
$(diff <(echo "$found") <(echo "$listed") | grep '^[<>]')"
echo "tarvix-db agrees with GPSBabel on $compared points of $(ls "$data" | wc -l) files," \
    "$(wc -l <<<"$expected") differences listed with their reasons"
