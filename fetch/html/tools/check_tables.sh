#!/bin/bash
# Regenerates the committed tables from their sources and compares; exit 77 (skipped) when a
# source is not installed here.
set -u
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
command -v python3 >/dev/null || { echo "python3 missing"; exit 77; }
status=0
check() { # generator, committed file, required source
    if [ ! -e "$3" ]; then echo "skipped $1: $3 not installed"; return; fi
    python3 "$here/$1" > "$out/t.cpp" || { echo "$1 failed"; status=1; return; }
    if ! cmp -s "$out/t.cpp" "$here/../$2"; then echo "$2 differs from its source"; status=1; fi
}
check gen_case_fold.py case_fold_table.cpp /usr/share/unicode/CaseFolding.txt
check gen_entities.py entity_table.cpp /usr/share/sgml/html/entities/HTMLlat1.ent
check gen_code_pages.py code_page_tables.cpp /usr/bin/uconv
exit $status
