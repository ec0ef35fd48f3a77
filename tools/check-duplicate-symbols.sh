#!/usr/bin/env bash
# Fails when one global symbol is defined in two of the project's static libraries (or in two objects
# of one library): the linker then takes whichever copy the link order reaches first, without a word.
# Weak definitions (inline functions, templates) are shared by design and not counted.
# Usage: tools/check-duplicate-symbols.sh <build dir>
set -euo pipefail
build=${1:?usage: $0 <build dir>}
mapfile -t libs < <(find "$build" -name 'lib*.a' -not -path '*/_deps/*' | sort)
[ ${#libs[@]} -gt 0 ] || { echo "no static libraries under $build" >&2; exit 2; }
# nm -A prints "library[object]: symbol type value size"; strong definitions are the upper-case types
# other than U (undefined), W/V (weak) and C (common, merged by the linker).
dups=$(for lib in "${libs[@]}"; do
           nm -A -g --defined-only --format=posix "$lib" 2>/dev/null
       done | awk '$3 ~ /^[TDBRSGI]$/ { sub(/:$/, "", $1); print $2 "\t" $1 }' | sort -u |
       awk -F'\t' '{ where[$1] = where[$1] "\n    " $2; n[$1]++ }
                   END { for (s in n) if (n[s] > 1) print s where[s] }')
if [ -n "$dups" ]; then
    echo "Global symbols defined more than once:" >&2
    while IFS= read -r line; do
        case "$line" in "    "*) echo "$line" ;; *) echo "  $(echo "$line" | c++filt)" ;; esac
    done <<< "$dups" >&2
    exit 1
fi
echo "Symbols: no global symbol defined twice in ${#libs[@]} libraries."
