#!/usr/bin/env bash
# Checks the README's naming rule (.clang-tidy, readability-identifier-naming) with clang-tidy on the
# production sources a change touches:
#   tools/check-naming.sh            files changed since the merge base with main; on main itself, the
#                                    files changed by the commits of the day before HEAD's commit
#   tools/check-naming.sh --all      every production source
#   tools/check-naming.sh FILE...    the files named
# A touched header is checked through the sources that include it. Tests, benchmarks, fuzz entries and
# tools are not checked. The compile commands come from a configure of its own in build-naming/ (no
# building), without unity batches or the precompiled header: clang-tidy needs one entry per source,
# and it cannot read GCC's precompiled headers. JOBS (default: the number of processors) bounds the
# parallel clang-tidy runs.
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

cmake -S . -B "$db" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPW_UNITY=OFF -DPW_PCH=OFF -DPW_TESTS=OFF \
    -DPW_BENCH=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# The production sources of the tree, relative to it (generated ones in the build folder left out).
mapfile -t sources < <(python3 - "$db/compile_commands.json" "$root" <<'EOF'
import json, os, sys
root = sys.argv[2] + "/"
for f in sorted({os.path.normpath(e["file"]) for e in json.load(open(sys.argv[1]))}):
    if f.startswith(root) and "/tests/" not in f and "/fuzz/" not in f:
        rel = f[len(root):]
        if not rel.startswith(("build", "bench/", "tools/")):
            print(rel)
EOF
)

if [ "${1:-}" = "--all" ]; then
    touched=("${sources[@]}")
elif [ $# -gt 0 ]; then
    touched=("$@")
else
    base=$(git merge-base HEAD main 2>/dev/null || true)
    if [ -n "$base" ] && [ "$base" != "$(git rev-parse HEAD)" ]; then
        mapfile -t touched < <(git diff --name-only --diff-filter=d "$base" HEAD)
        # What is changed but not committed yet counts too.
        mapfile -t -O "${#touched[@]}" touched < <(git diff --name-only --diff-filter=d HEAD)
    else
        since=$(($(git log -1 --format=%ct HEAD) - 86400))
        mapfile -t touched < <(git log --since="@$since" --name-only --diff-filter=d --format= HEAD)
    fi
fi

# Sources to run clang-tidy on: the touched sources, and for each touched header the production
# sources that include it by name.
declare -A is_source=() pick=()
for s in "${sources[@]}"; do is_source[$s]=1; done
for f in "${touched[@]}"; do
    [ -f "$f" ] || continue
    case "$f" in
        *.cpp) [ -n "${is_source[$f]:-}" ] && pick[$f]=1 ;;
        *.h)
            case "$f" in */tests/* | */fuzz/* | bench/* | tools/*) continue ;; esac
            while IFS= read -r user; do
                [ -n "${is_source[$user]:-}" ] && pick[$user]=1
            done < <(grep -l -F "$(basename "$f")\"" "${sources[@]}" || true)
            ;;
    esac
done
if [ ${#pick[@]} -eq 0 ]; then
    echo "check-naming: no production source touched"
    exit 0
fi

echo "check-naming: ${#pick[@]} sources"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Only the naming diagnostics count: a file clang cannot compile whole (GCC takes a few things clang 14
# does not) is still checked as far as it parses, and its compile errors are left to the GCC build.
printf '%s\n' "${!pick[@]}" | sort | xargs -P "$JOBS" -n 2 \
    "$tidy" -p "$db" --quiet --header-filter="^$root/[^/]+/" >"$log" 2>&1 || true
if grep -q '\[readability-identifier-naming' "$log"; then
    grep '\[readability-identifier-naming' "$log" | sed "s#^$root/##" | sort -u >&2
    echo "check-naming: names against the README's rule above (fix them, or see .clang-tidy for what" \
        "is exempt and why)" >&2
    exit 1
fi
echo "check-naming: passed"
