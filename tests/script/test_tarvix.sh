#!/usr/bin/env bash
# The ./tarvix script as a person meets it: real help, paths from the caller's folder, the output
# folder as the last line, refusals that name the input and leave nothing, one flight at a time,
# a window only on a display that can be opened, Ctrl-C as a failure that leaves nothing locked,
# and no Wine process left behind by any command.
# Flies what is built already (--no-build): CTest runs it after the build, under a virtual X
# server.
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
--time-rate 4|option --time-rate is for the live window (--window)
nosuch.json --speed=90|option --speed is for a flight without a scenario
TABLE

# The processes still running with the line VARIABLE=VALUE in their environment (zombies are gone
# already, waiting to be reaped).
processes_with() {
    local entry
    for entry in /proc/[0-9]*; do
        [ "$(sed 's/.*) //' "$entry/stat" 2>/dev/null | cut -d' ' -f1)" = Z ] && continue
        tr '\0' '\n' 2>/dev/null <"$entry/environ" | grep -qxF "$1" &&
            printf '%s ' "$(tr '\0' ' ' 2>/dev/null <"$entry/cmdline")"
    done
}

# The programs of a Wine prefix still running.
prefix_processes() {
    processes_with "WINEPREFIX=$1"
}

# The processes that hold FILE open, one a line with its parent, process group and command line:
# who keeps a lock taken.
holders() {
    local fd pid
    for fd in /proc/[0-9]*/fd/*; do
        [ "$(readlink "$fd" 2>/dev/null)" = "$1" ] || continue
        pid=${fd#/proc/}
        pid=${pid%%/*}
        ps -o pid=,ppid=,pgid=,args= -p "$pid" 2>/dev/null
    done | sort -u
}

# expect_ended PREFIX WHAT: nothing of the prefix outlives the command that used it.
expect_ended() {
    local left
    left=$(prefix_processes "$1")
    [ -z "$left" ] || fail "$2 left Wine running in $1: $left"
}

# The build that runs here, as ./tarvix picks it: a tree may hold both.
runner="$root/build/win32"
/usr/lib/wine/wine --version >/dev/null 2>&1 || runner="$root/build/win64"
fly_prefix="$runner-wineprefix-fly"
window_prefix="$runner-wineprefix-window"

expect_ended "$fly_prefix" "fly --help"

# The live window without a display that can be opened says how to get one, and flies nothing;
# through fly --window too.
while IFS='|' read -r display fragment arguments; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    expect 1 "$fragment" env DISPLAY="$display" "$tarvix" $arguments --no-build --out nowindow
    [ ! -e nowindow ] || fail "$arguments on display '$display' left the folder 'nowindow'"
done <<'TABLE'
|DISPLAY is not set|window
|xvfb-run -a ./tarvix window|fly --window
:97|DISPLAY=:97 cannot be opened|window
:97|xvfb-run -a ./tarvix window|fly --window
TABLE

# Paths from the caller's folder; the last line is the output folder.
mkdir -p sub
cp "$runner/bin/Tarvix42.gau" sub/relative.gau
output=$("$tarvix" fly --no-build --out flights/one --gauge sub/relative.gau --frames 5 \
    --picture here.png 2>/dev/null) || fail "the free flight failed: $output"
[ -f here.png ] || fail "--picture here.png was not written in the caller's folder"
[ "${output##*$'\n'}" = "$work/flights/one" ] || fail "the last line is not the output folder: $output"
[[ "$output" == *"$work/here.png"* ]] || fail "the picture's real path was not printed: $output"
expect_ended "$fly_prefix" "fly"

# The live window, closing itself at once, on a virtual X server that ends with the command as
# the README shows it: no Wine program may be left to lose its display and say so afterwards.
# Twice, since what a first run leaves behind shows in the second.
for run in first second; do
    output=$(xvfb-run -a "$tarvix" window --no-build --out windowed --close-after 1 \
        --time-rate 16 2>&1) || fail "the $run live window failed: $output"
    [ "${output##*$'\n'}" = "$work/windowed" ] || fail "the $run window's last line: $output"
    [[ "$output" != *"X connection"* ]] || fail "the $run window lost its display: $output"
    expect_ended "$window_prefix" "the $run window"
done

# Ctrl-C in the middle of the default flight, sent as a terminal sends it (to the command's whole
# process group): exit 130, the flight lock free again, and no Wine process left. Job control
# gives the flight a process group of its own, and leaves Ctrl-C to it (a script's background
# commands ignore it otherwise).
set -m
"$tarvix" fly --no-build --out flights/cut >cut.out 2>&1 &
flight=$!
set +m
for _ in $(seq 600); do
    [ -e flights/cut/settings-dialog.png ] && break
    kill -0 "$flight" 2>/dev/null || break
    sleep 0.1
done
kill -INT -- "-$flight" 2>/dev/null
status=0
wait "$flight" || status=$?
[ "$status" -eq 130 ] || fail "an interrupted flight exited $status, not 130: $(cat cut.out)"
grep -q "interrupted" cut.out || fail "an interrupted flight did not say so: $(cat cut.out)"
flock -n "$fly_prefix.lock-flight" true ||
    fail "the interrupted flight left its lock taken, held by:
$(holders "$fly_prefix.lock-flight")
the flight said: $(cat cut.out)"
expect_ended "$fly_prefix" "an interrupted fly"

# Ctrl-C, twice, in the middle of ./tarvix test while Windows cases run, in a lane prefix and in
# the display one: exit 130, and nothing of the run left, neither Wine nor the virtual X server.
# This file runs inside ./tarvix test of this tree, whose lock and prefixes an inner run must not
# touch, so the inner one runs in a tree of its own beside the build: the real script and tools,
# the Windows programs already built, and two cases of a long soak. Its prefixes stay there for
# the next time.
inner="$root/build/interrupted-tests"
mkdir -p "$inner/build/$(basename "$runner")"
ln -sfn "$root/tarvix" "$inner/tarvix"
ln -sfn "$root/tools" "$inner/tools"
ln -sfn "$root/cmake" "$inner/cmake"
ln -sfn "$runner/bin" "$inner/build/$(basename "$runner")/bin"
cat >"$inner/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(interrupted_tests NONE)
if(TARVIX_WINDOWS_BUILD)
    enable_testing()
    set(runner wine-run)
    if(TARVIX_WINDOWS_BUILD MATCHES "win64$")
        set(runner wine-run64)
    endif()
    set(soak ${TARVIX_WINDOWS_BUILD}/bin/tests/edit_soak.exe 300)
    add_test(NAME win32.soak_lane COMMAND ${CMAKE_SOURCE_DIR}/tools/${runner} ${soak})
    add_test(NAME win32.soak_display
        COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-on-display ${runner} ${soak})
endif()
CMAKE
mark="TARVIX_INTERRUPTED_TESTS=$work"
lane_prefix="$inner/build/wineprefix" display_prefix="$inner/build/wine-run-display-prefix"
template="$root/build/wineprefix-template"
[ "$runner" = "$root/build/win32" ] || {
    lane_prefix="$inner/build/wineprefix64" display_prefix="$inner/build/wine-run64-display-prefix"
    template="$root/build/wineprefix64-template"
}
# Its prefixes are copies of this tree's template, as this run's are.
set -m
env "$mark" TARVIX_WINE_TEMPLATE="$template" "$inner/tarvix" test >tests-cut.out 2>&1 &
inner_run=$!
set +m
for _ in $(seq 1200); do
    [[ "$(prefix_processes "$lane_prefix")" == *edit_soak* ]] &&
        [[ "$(prefix_processes "$display_prefix")" == *edit_soak* ]] && break
    kill -0 "$inner_run" 2>/dev/null || break
    sleep 0.2
done
[[ "$(prefix_processes "$lane_prefix")" == *edit_soak* ]] ||
    fail "the inner test run started no Windows case: $(cat tests-cut.out)"
kill -INT -- "-$inner_run" 2>/dev/null
sleep 0.3
kill -INT -- "-$inner_run" 2>/dev/null
status=0
wait "$inner_run" || status=$?
[ "$status" -eq 130 ] || fail "an interrupted test run exited $status, not 130: $(cat tests-cut.out)"
grep -q "interrupted" tests-cut.out || fail "an interrupted test run did not say so"
left=$(processes_with "$mark")
[ -z "$left" ] || fail "an interrupted test run left running: $left"
flock -n "$inner/build/test.lock" true || fail "an interrupted test run left its lock taken"

# One flight at a time: a second one waits, saying so, and then flies.
prefix_lock="$fly_prefix.lock-flight"
if [ -e "$prefix_lock" ]; then
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
