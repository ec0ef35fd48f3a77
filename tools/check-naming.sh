#!/usr/bin/env bash
# Checks the README's naming rule (.clang-tidy, readability-identifier-naming) with clang-tidy on the
# production sources a change touches:
#   tools/check-naming.sh            on a branch: the files changed since its merge base with main (and
#                                    those changed but not committed); on main itself (CI's clean clone):
#                                    every production source
#   tools/check-naming.sh --all      every production source
#   tools/check-naming.sh FILE...    the files named
# A touched header is checked through the sources that include it. Tests, benchmarks, fuzz entries and
# tools are not checked. The compile commands come from a configure of its own in build-naming/ (no
# building) with the libraries' unity batches, which clang-tidy reads as the compiler does: a batch
# parses the standard and platform headers once for several sources, and the whole tree takes about
# 75 runs (some 2.5 minutes on two cores). JOBS (default: the number of processors) bounds the
# parallel runs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
JOBS=${JOBS:-$(nproc)}
db=${NAMING_BUILD:-build-naming}

tidy=$(command -v clang-tidy || command -v clang-tidy-14 || true)
if [ -z "$tidy" ]; then
    echo "check-naming: clang-tidy is not installed (bash tools/install-deps.sh deps/ci.txt)" >&2
    exit 2
fi

# The precompiled header is left out: clang cannot read GCC's.
cmake -S . -B "$db" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPW_UNITY=ON -DPW_PCH=OFF -DPW_TESTS=OFF \
    -DPW_BENCH=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# "source<TAB>translation unit" for every production source of the tree (relative to it): a source
# compiled in a unity batch is checked through the batch.
mapfile -t units < <(python3 - "$db/compile_commands.json" "$root" <<'EOF'
import json, os, re, sys
root = sys.argv[2] + "/"
def production(path):
    if not path.startswith(root) or "/tests/" in path or "/fuzz/" in path:
        return False
    return not path[len(root):].startswith(("build", "bench/", "tools/"))
for entry in json.load(open(sys.argv[1])):
    unit = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if "/Unity/unity_" in unit:
        sources = re.findall(r'^#include "([^"]+)"', open(unit).read(), re.M)
    else:
        sources = [unit]
    for source in sources:
        source = os.path.normpath(source)
        if production(source):
            print(source[len(root):] + "\t" + unit)
EOF
)
declare -A unit_of=()
for line in "${units[@]}"; do unit_of[${line%%$'\t'*}]=${line#*$'\t'}; done

touched=()
if [ "${1:-}" = "--all" ]; then
    touched=("${!unit_of[@]}")
elif [ $# -gt 0 ]; then
    touched=("$@")
else
    base=$(git merge-base HEAD main 2>/dev/null || true)
    if [ -n "$base" ] && [ "$base" != "$(git rev-parse HEAD)" ]; then
        mapfile -t touched < <(git diff --name-only --diff-filter=d "$base" HEAD)
        mapfile -t -O "${#touched[@]}" touched < <(git diff --name-only --diff-filter=d HEAD)
    else
        touched=("${!unit_of[@]}")
    fi
fi

# The translation units to run clang-tidy on: those of the touched sources, and for each touched
# header those of the production sources that include it by name.
declare -A pick=()
for f in "${touched[@]}"; do
    f=${f#./}
    [ -f "$f" ] || continue
    case "$f" in
        *.cpp) [ -n "${unit_of[$f]:-}" ] && pick[${unit_of[$f]}]=1 ;;
        *.h)
            case "$f" in */tests/* | */fuzz/* | bench/* | tools/*) continue ;; esac
            while IFS= read -r user; do
                pick[${unit_of[$user]}]=1
            done < <(grep -l -F "$(basename "$f")\"" "${!unit_of[@]}" || true)
            ;;
    esac
done
if [ ${#pick[@]} -eq 0 ]; then
    echo "check-naming: no production source touched"
    exit 0
fi

echo "check-naming: ${#pick[@]} translation units"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Only the naming diagnostics count: a file clang cannot compile whole (GCC takes a few things clang 14
# does not) is still checked as far as it parses, and its compile errors are left to the GCC build.
printf '%s\n' "${!pick[@]}" | sort | xargs -P "$JOBS" -n 1 "$tidy" -p "$db" --quiet \
    --header-filter="^$root/[^/]+/" --extra-arg=-Wno-unknown-warning-option >"$log" 2>&1 || true
if grep -q '\[readability-identifier-naming' "$log"; then
    grep '\[readability-identifier-naming' "$log" | sed "s#^$root/##" | sort -u >&2
    echo "check-naming: names against the README's rule above (fix them, or see .clang-tidy for what" \
        "is exempt and why)" >&2
    exit 1
fi
echo "check-naming: passed"
