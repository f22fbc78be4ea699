#!/usr/bin/env bash
# Each rule's number or text has one home, named in ARCHITECTURE.md. This lists every literal
# with the files allowed to hold it, and fails when it turns up anywhere else in the code, so
# that the next change to a limit, a unit or a marker is made in one place.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root" || exit 2
failures=0

# literal (a fixed string) | the files allowed to hold it, code and comments alike
rules=(
    '99996|common/limits.h'
    '99,996|common/limits.h'
    '6371|common/great_circle.h'
    '3440|'
    '3437|'
    '"-1"|common/db_record.h'
    '"%03d"|common/record_rules.cpp'
    '"%s - %s"|common/record_rules.cpp'
    # a route's name, "KMDW - KMKE", not an item's label
    '" - "|dbtool/plan_formats.cpp'
    '65535|common/sim_ids.h'
    '48 * 3600|'
)

for rule in "${rules[@]}"; do
    literal=${rule%%|*}
    allowed=" ${rule#*|} "
    while IFS= read -r file; do
        [[ "$allowed" == *" $file "* ]] ||
            { printf 'FAILED: %s holds %s, whose home is:%s\n' "$file" "$literal" "${allowed% }"; failures=$((failures + 1)); }
    done < <(grep -rlF --include='*.cpp' --include='*.h' -- "$literal" common gauge dialog host dbtool)
done

[ "$failures" -eq 0 ] || exit 1
echo "every rule's literal stays in its home (${#rules[@]} literals)"
