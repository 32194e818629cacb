#!/usr/bin/env bash
# Fuzzes the workbook open path for the given number of seconds (default 600), starting from
# the shipped workbook, the regression corpus and the sample workbooks. New inputs collect in
# fuzz-build/corpus; crashes are written to fuzz-build/ and belong in
# tests/data/settings-corpus/ once fixed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
fuzzer="$("${root}/fuzz/build.sh" | tail -1)"
corpus="${root}/fuzz-build/corpus"
mkdir -p "${corpus}"
# Seeds: every corpus file as a whole file (first byte even) and as a bare stream (odd).
for f in "${root}"/tests/data/settings-corpus/* "${root}"/fuzz/seeds/*; do
  [ -f "$f" ] || continue
  name="$(basename "$f")"
  { printf '\x00'; cat "$f"; } > "${corpus}/file-${name}"
done
cd "${root}/fuzz-build"
"${fuzzer}" -max_total_time="${seconds}" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=32 -timeout=10 \
  -print_final_stats=1 "${corpus}"
