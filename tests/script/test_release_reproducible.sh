#!/usr/bin/env bash
# ./tarvix release in two clones of one commit, at two different paths: the same archive byte
# for byte, holding the pilot's four files and nothing that would overwrite a pilot's own
# database. Leaves the archive as ARCHIVE (the first argument) for the test that installs it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
keep=${1:?the path for the archive}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# The commit under test; uncommitted changes of this tree are not what a release is built from.
commit=$(git -C "$root" rev-parse HEAD)
store=$(cd "$root" && cd "$(git rev-parse --git-common-dir)" && pwd)
for clone in first second-clone; do
    start=$SECONDS
    git clone -q --shared --no-checkout "$store" "$folder/$clone"
    git -C "$folder/$clone" checkout -q --detach "$commit"
    "$folder/$clone/tarvix" release --out "$folder/$clone-dist" >"$folder/$clone.out" 2>&1 ||
        fail "release in the $clone clone: $(tail -n 40 "$folder/$clone.out")"
    echo "released in the $clone clone in $((SECONDS - start)) s"
done
first=$(tail -n 1 "$folder/first.out")
second=$(tail -n 1 "$folder/second-clone.out")
[ "$(basename "$first")" = "Tarvix-${commit:0:12}.zip" ] || fail "the archive is named $first"
cmp "$first" "$second" || fail "two builds of $commit differ: $first $second"
sum=$(sha256sum "$first" | cut -d' ' -f1)
grep -qF "sha256 $sum" "$folder/first.out" || fail "release did not print the checksum $sum"

[ "$(unzip -Z1 "$first" | tr '\n' ' ')" = \
    "Gauges/Tarvix42.gau TarvixDlg.dll TarvixGuide.txt Sample/Tarvix.dat " ] ||
    fail "the archive holds: $(unzip -Z1 "$first")"
# Each entry carries the commit's time, and each module's header no link time. A zip entry's time
# counts two seconds at a time and zip rounds an odd second up: a commit at 12:03:59 is 12:04:00.
committed=$(git -C "$root" log -1 --format=%ct "$commit")
stamp=$(TZ=UTC date -d "@$(((committed + 1) / 2 * 2))" +%Y%m%d.%H%M)
[ "$(TZ=UTC zipinfo -T "$first" | awk '/^-/ { print substr($7, 1, 13) }' | sort -u)" = "$stamp" ] ||
    fail "the entries' times are not the commit's ($stamp): $(TZ=UTC zipinfo -T "$first")"
unzip -q "$first" -d "$folder/unpacked"
for module in Gauges/Tarvix42.gau TarvixDlg.dll; do
    stamps=$(i686-w64-mingw32-objdump -p "$folder/unpacked/$module" | grep 'Time/Date')
    ! grep -qv -e ' 1970$' -e '[[:space:]]0$' <<<"$stamps" || fail "$module carries a time: $stamps"
done
# Text for Notepad: every line ends in CR LF.
for text in TarvixGuide.txt Sample/Tarvix.dat; do
    ! grep -qv $'\r$' "$folder/unpacked/$text" || fail "$text has a line without CR LF"
done
mkdir -p "$(dirname "$keep")"
cp "$first" "$keep"
echo "the same archive from two clones of ${commit:0:12}: sha256 $sum"
