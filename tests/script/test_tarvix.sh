#!/usr/bin/env bash
# The ./tarvix script as a person meets it: real help, paths from the caller's folder, the output
# folder as the last line, refusals that name the input and leave nothing, one flight at a time.
# Flies what is built already (--no-build): CTest runs it after the build.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tarvix="$root/tarvix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

fail() {
    printf 'FAILED: %s\n' "$*"
    failures=$((failures + 1))
}

# expect CODE FRAGMENT COMMAND...: the exit code, and the fragment in stdout or stderr.
expect() {
    local code=$1 fragment=$2
    shift 2
    local output status=0
    output=$("$@" 2>&1) || status=$?
    [ "$status" -eq "$code" ] || fail "$* exited $status, not $code: $output"
    [[ "$output" == *"$fragment"* ]] || fail "$* did not say '$fragment': $output"
}

expect 0 "fly [--no-build] [--out DIR]" "$tarvix" --help
expect 0 "--frames" "$tarvix" help
expect 0 "--all-key-events" "$tarvix" fly --help
expect 2 "unknown command 'bogus'" "$tarvix" bogus

# Refusals: input, message, exit code 1, and no output folder made.
while IFS='|' read -r arguments fragment; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    expect 1 "$fragment" "$tarvix" fly --no-build --out refused $arguments
    [ ! -e refused ] || fail "fly $arguments left the folder 'refused'"
done <<'TABLE'
--frames 1.5|option --frames: '1.5' is not a whole number
--click AP@50 --frames 10|comes after the last frame
--bogus|unknown option --bogus
nosuch.JSON|nosuch.JSON': cannot be read
--gauge nosuch.gau|nosuch.gau': no such file
TABLE

# The live window without a display says how to get one, and flies nothing.
expect 1 "xvfb-run -a ./tarvix window" env -u DISPLAY "$tarvix" window --no-build --out nowindow
[ ! -e nowindow ] || fail "window without a display left the folder 'nowindow'"

# Paths from the caller's folder; the last line is the output folder.
mkdir -p sub
# The gauge of the build that runs here (the x86-64 one where 32-bit programs cannot start), as
# ./tarvix picks it: a tree may hold both builds.
gauge="$root/build/win32/bin/Tarvix42.gau"
/usr/lib/wine/wine --version >/dev/null 2>&1 || gauge="$root/build/win64/bin/Tarvix42.gau"
cp "$gauge" sub/relative.gau
output=$("$tarvix" fly --no-build --out flights/one --gauge sub/relative.gau --frames 5 \
    --picture here.png 2>/dev/null) || fail "the free flight failed: $output"
[ -f here.png ] || fail "--picture here.png was not written in the caller's folder"
[ "${output##*$'\n'}" = "$work/flights/one" ] || fail "the last line is not the output folder: $output"
[[ "$output" == *"$work/here.png"* ]] || fail "the picture's real path was not printed: $output"

# One flight at a time: a second one waits, saying so, and then flies.
prefix_lock=$(ls -d "$root"/build/win*-wineprefix-fly.lock-flight 2>/dev/null | head -n 1)
if [ -n "$prefix_lock" ]; then
    exec 9>"$prefix_lock"
    flock 9
    "$tarvix" fly --no-build --out flights/two --frames 2 >second.out 2>&1 9>&- &
    second=$!
    for _ in $(seq 50); do
        grep -q "waiting for it to finish" second.out && break
        sleep 0.2
    done
    grep -q "another flight of this tree is running; waiting" second.out ||
        fail "a second flight did not say it waits: $(cat second.out)"
    [ ! -e flights/two ] || fail "the second flight did not wait"
    exec 9>&-
    wait "$second" || fail "the second flight failed after waiting: $(cat second.out)"
    [ -f flights/two/panel.png ] || fail "the second flight wrote no panel"
else
    fail "no flight lock was made by the first flight"
fi

[ "$failures" -eq 0 ] && echo "all script checks passed"
exit $((failures > 0))
