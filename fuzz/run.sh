#!/usr/bin/env bash
# Fuzzes one target for the given number of seconds (default 600): open_book (the default),
# the workbook open path, or store_roundtrip, the differential open-store-reopen check. Further
# arguments go to libFuzzer:
#   fuzz/run.sh 600 store_roundtrip -fork=1 -ignore_crashes=1
# Starts from the shipped workbook, the regression corpus and the sample workbooks. New inputs
# collect in fuzz-build/corpus (open_book) or fuzz-build/corpus-<target>; failing inputs are
# written to fuzz-build/<target>- and belong in tests/data/settings-corpus/ once fixed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
target="${2:-open_book}"
fuzzer="$("${root}/fuzz/build.sh" "${target}" | tail -1)"
corpus="${root}/fuzz-build/corpus"
[ "${target}" = open_book ] || corpus="${corpus}-${target}"
mkdir -p "${corpus}"
# Seeds: every corpus file as a whole file (first byte even).
for f in "${root}"/tests/data/settings-corpus/* "${root}"/fuzz/seeds/*; do
  [ -f "$f" ] || continue
  name="$(basename "$f")"
  { printf '\x00'; cat "$f"; } > "${corpus}/file-${name}"
done
cd "${root}/fuzz-build"
"${fuzzer}" -max_total_time="${seconds}" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=32 -timeout=10 \
  -artifact_prefix="${root}/fuzz-build/${target}-" -print_final_stats=1 "${@:3}" "${corpus}"
