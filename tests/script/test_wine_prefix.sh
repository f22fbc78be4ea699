#!/usr/bin/env bash
# A Wine prefix copied from the tree's template is a prefix of its own: what Wine writes in it
# (its registry, its settings files) stays there, neither in the template nor in another copy.
# Only Wine's programs and libraries are shared.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
runner="$root/tools/wine-run" template="$root/build/wineprefix-template" server=wineserver
/usr/lib/wine/wine --version >/dev/null 2>&1 || {
    runner="$root/tools/wine-run64" template="$root/build/wineprefix64-template"
    server=/usr/lib/wine/wineserver64
}
work=$(mktemp -d)
end() {
    for prefix in "$work"/one "$work"/two; do
        WINEPREFIX=$prefix "$server" -k >/dev/null 2>&1
    done
    rm -rf "$work"
}
trap end EXIT
failures=0
fail() {
    printf 'FAILED: %s\n' "$*"
    failures=$((failures + 1))
}

# set PREFIX VALUE: a value of the prefix's user registry, written by Wine and saved on the disk.
set_value() {
    TARVIX_WINEPREFIX=$1 "$runner" reg add 'HKCU\Software\TarvixTest' /v Mark /d "$2" /f >/dev/null 2>&1
    WINEPREFIX=$1 "$server" -k >/dev/null 2>&1
    WINEPREFIX=$1 "$server" -w >/dev/null 2>&1
}

set_value "$work/one" first
set_value "$work/two" second
grep -q '"Mark"="first"' "$work/one/user.reg" || fail "the first copy did not keep its own value"
grep -q '"Mark"="second"' "$work/two/user.reg" || fail "the second copy did not keep its own value"
! grep -q 'TarvixTest' "$template/user.reg" || fail "a copy's registry reached the template"

# The registry and the settings files are the copy's own; Wine's libraries are shared.
shared=$(find "$work/one" -type f -links +1 \( -name '*.reg' -o -name '*.ini' \) | head -3)
[ -z "$shared" ] || fail "files shared with the template: $shared"
[ "$(stat -c %h "$work/one/drive_c/windows/system32/user32.dll")" -gt 1 ] ||
    fail "Wine's libraries were copied, not linked"

[ "$failures" -eq 0 ] && echo "the copies of the template are prefixes of their own"
exit $((failures > 0))
