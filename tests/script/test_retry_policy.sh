#!/usr/bin/env bash
# The retry policy of ./tarvix test, on a CTest project of stand-in tests run as ./tarvix test
# runs them (--repeat until-pass:2) and judged by tools/judge-retries: a test that fails and then
# passes fails the run, unless its failed try carries Wine's exit crash (every case passed, no
# Windows exception, then SIGSEGV), which passes but is named.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    printf 'FAILED: %s\n' "$*"
    failures=$((failures + 1))
}

# Each stand-in's first try; its second prints a passing GoogleTest summary. The verdict: ok (the
# run passes and names nothing), wine (passes, named as Wine's), ours (fails the run, named).
cat >"$work/cases" <<'TABLE'
steady|echo '[  PASSED  ] 2 tests.'|ok
wine_exit_crash|echo '[  PASSED  ] 3 tests.'; kill -SEGV $$|wine
skipped_then_crash|echo '[  PASSED  ] 0 tests.'; echo '[  SKIPPED ] 1 test, listed below:'; kill -SEGV $$|wine
case_failed|echo '[  FAILED  ] 1 test, listed below:'; exit 1|ours
crash_after_a_failed_case|echo '[  PASSED  ] 1 test.'; echo '[  FAILED  ] 1 test, listed below:'; kill -SEGV $$|ours
windows_exception|echo '[  PASSED  ] 1 test.'; echo 'wine: Unhandled page fault on read access'; kill -SEGV $$|ours
crash_before_the_summary|echo '[ RUN      ] A.B'; kill -SEGV $$|ours
script_once|echo 'FAILED: the lock was taken'; exit 1|ours
killed_otherwise|echo '[  PASSED  ] 1 test.'; kill -ABRT $$|ours
TABLE

mkdir -p "$work/project"
{
    echo 'cmake_minimum_required(VERSION 3.16)'
    echo 'project(stand_ins NONE)'
    echo 'enable_testing()'
} >"$work/project/CMakeLists.txt"
while IFS='|' read -r name first _; do
    printf '%s\n' "$first" >"$work/project/first-$name.sh"
    printf 'add_test(NAME %s COMMAND sh %s/try.sh %s)\n' "$name" "$work/project" "$name" \
        >>"$work/project/CMakeLists.txt"
done <"$work/cases"
cat >"$work/project/try.sh" <<'TRY'
here=$(dirname "$0")
if [ -e "$here/tried-$1" ]; then
    echo '[  PASSED  ] 1 test.'
    exit 0
fi
: >"$here/tried-$1"
. "$here/first-$1.sh"
TRY
cmake -S "$work/project" -B "$work/build" >/dev/null || { echo "FAILED: cmake"; exit 1; }

cd "$work/build"
while IFS='|' read -r name _ verdict; do
    rm -f "$work/project/tried-$name"
    ctest -R "^$name\$" --output-on-failure --repeat until-pass:2 >console.txt 2>&1 ||
        fail "$name: CTest failed the run itself: $(cat console.txt)"
    status=0
    said=$("$root/tools/judge-retries" console.txt Testing/Temporary/LastTest.log 2>&1) || status=$?
    case $verdict in
        ok) [ "$status" -eq 0 ] && [ -z "$said" ] || fail "$name: status $status, said: $said" ;;
        wine)
            [ "$status" -eq 0 ] || fail "$name: Wine's exit crash failed the run: $said"
            [[ "$said" == *"Wine crashed in the exit of these tests"*"  $name"* ]] ||
                fail "$name: not named as Wine's exit crash: $said"
            ;;
        ours)
            [ "$status" -eq 1 ] || fail "$name: passed on a second try, yet the run passed: $said"
            [[ "$said" == *"passed only on a second try, which fails the run"*"  $name"* ]] ||
                fail "$name: not named as a fault to find: $said"
            [[ "$said" != *"Wine crashed"* ]] || fail "$name: taken for Wine's crash: $said"
            ;;
    esac
done <"$work/cases"

# Together, in one run: both kinds named, each in its own list, and the run fails.
rm -f "$work"/project/tried-*
ctest -j4 --output-on-failure --repeat until-pass:2 >console.txt 2>&1
status=0
said=$("$root/tools/judge-retries" console.txt Testing/Temporary/LastTest.log 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "a run with both kinds passed: $said"
wine_part=${said%%failed and passed only*}
[[ "$wine_part" == *"  wine_exit_crash"* && "$wine_part" != *"  case_failed"* ]] ||
    fail "the Wine list is wrong: $said"

[ "$failures" -eq 0 ] && echo "the retry policy checks passed"
exit $((failures > 0))
