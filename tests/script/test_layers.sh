#!/usr/bin/env bash
# The layout the code's own includes draw: the shared records at the bottom, the two modules and
# the database tool on them (the tool also on the stand-in simulator's pure core), the stand-in
# simulator on top; no include runs up and no file includes itself round a circle. A header that
# reaches into a higher layer, or two headers that need each other, fail here before they tie the
# layers together.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root" || exit 2
failures=0
fail() {
    printf 'FAILED: %s\n' "$*"
    failures=$((failures + 1))
}

# What each folder may include besides itself.
declare -A allowed=(
    [common]=""
    [gauge]="common"
    [dialog]="common"
    [dbtool]="common host"
    [host]="common gauge dialog"
)

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for folder in "${!allowed[@]}"; do
    for file in "$folder"/*.cpp "$folder"/*.h; do
        [ -e "$file" ] || continue
        while IFS= read -r included; do
            # Quoted includes are taken from the file's folder first, then from the root.
            if [ -e "$folder/$included" ]; then
                target=$(realpath -m --relative-to=. "$folder/$included")
            elif [ -e "$included" ]; then
                target=$included
            else
                continue # a library's header (CLI11, stb, nlohmann) or one the build makes
            fi
            echo "$file $target" >>"$edges"
            # One spelling: the file's own folder bare, any other folder from the root.
            want=$target
            [ "${target%%/*}" = "$folder" ] && want=${target#"$folder"/}
            [ "$included" = "$want" ] || fail "$file includes \"$included\": name it \"$want\""
            to=${target%%/*}
            [ "$to" = "$folder" ] && continue
            [[ " ${allowed[$folder]} " == *" $to "* ]] ||
                fail "$file includes $target: $folder/ may include only ${allowed[$folder]:-itself}"
            # The tool shares the stand-in simulator's plain computation, never its windows.
            if [ "$folder" = dbtool ] && [ "$to" = host ] &&
                ! grep -qxF "    ${target%.h}.cpp" CMakeLists.txt; then
                fail "$file includes $target: dbtool/ may include only the host's pure core"
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
    done
done

[ -s "$edges" ] || fail "no includes were found: the folders moved?"
# tsort names every file on a circle and fails.
if ! loop=$(tsort "$edges" 2>&1 >/dev/null); then
    fail "a circle of includes: $(echo "$loop" | grep -v "input contains a loop" | sed "s/^tsort: //" | tr "\n" " ")"
fi

# Nor a circle between units, a header and its source taken as one: a source that includes a
# header whose own source includes the first one's header ties the two as tightly.
units=$(mktemp)
trap 'rm -f "$edges" "$units"' EXIT
sed -E 's/\.(h|cpp)( |$)/\2/g' "$edges" | awk '$1 != $2' >"$units"
if ! loop=$(tsort "$units" 2>&1 >/dev/null); then
    fail "a circle of units: $(echo "$loop" | grep -v "input contains a loop" | sed "s/^tsort: //" | tr "\n" " ")"
fi

[ "$failures" -eq 0 ] || exit 1
echo "the includes run one way, with no circle ($(wc -l <"$edges") includes)"
