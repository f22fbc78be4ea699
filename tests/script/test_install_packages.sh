#!/usr/bin/env bash
# The package install as a fresh machine meets a mirror mid-sync, against a stand-in package tool
# that fails the way the real one did: updates that fail, an install whose two architectures do
# not match until it is told the release's own suite.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    printf 'FAILED: %s\n' "$*"
    failures=$((failures + 1))
}

# The stand-in: FAIL_UPDATES updates fail before one succeeds (9: all fail); INSTALL is "ok",
# "suite" (only an install with -t succeeds) or "never". Every call is logged.
cat >"$work/apt-get" <<'TOOL'
#!/usr/bin/env bash
suite=; [[ " $* " == *" -t "* ]] && suite=" -t"
echo "$1$suite" >>"$STANDIN_LOG"
case "$1" in
    update)
        n=$(grep -c '^update' "$STANDIN_LOG")
        [ "$n" -gt "$FAIL_UPDATES" ] || { echo "E: File has unexpected size. Mirror sync in progress?" >&2; exit 100; }
        ;;
    install)
        case "$INSTALL" in
            ok) ;;
            suite) [ -n "$suite" ] || { echo "E: held broken packages" >&2; exit 100; } ;;
            never) exit 100 ;;
        esac
        ;;
esac
TOOL
printf '#!/bin/sh\nexec "$@"\n' >"$work/sudo"
chmod +x "$work/apt-get" "$work/sudo"

# case: FAIL_UPDATES INSTALL | exit code | calls made, in order | fragment said
while IFS='|' read -r setup code calls fragment; do
    read -r fail_updates install <<<"$setup"
    log="$work/log-$fail_updates-$install"
    status=0
    said=$(PATH="$work:$PATH" STANDIN_LOG="$log" FAIL_UPDATES=$fail_updates INSTALL=$install \
        TARVIX_APT_GET="$work/apt-get" TARVIX_APT_PAUSE=0 \
        "$root/tools/install-packages" wine32:i386 xvfb 2>&1) || status=$?
    made=$(paste -sd, "$log")
    [ "$status" -eq "$code" ] || fail "$setup: exit $status, not $code: $said"
    [ "$made" = "$calls" ] || fail "$setup: calls '$made', not '$calls'"
    [[ "$said" == *"$fragment"* ]] || fail "$setup: did not say '$fragment': $said"
done <<'TABLE'
0 ok|0|update,install|
2 ok|0|update,update,update,install|attempt 2 of 3
9 ok|0|update,update,update,install|going on with those that arrived
9 suite|0|update,update,update,install,install -t|packages of the release itself
0 never|1|update,install,install -t|could not install: wine32:i386 xvfb. Once the package mirror
TABLE

[ "$failures" -eq 0 ] || exit 1
echo "all install cases passed"
