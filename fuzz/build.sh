#!/usr/bin/env bash
# Builds the libFuzzer target of the workbook open path with clang (kept apart from the g++
# build): fuzz-build/open_book_fuzzer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${root}/fuzz-build"
mkdir -p "${out}"
"${CXX:-clang++-14}" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"${root}" "${root}"/settings/*.cpp "${root}/fuzz/open_book_fuzzer.cpp" -o "${out}/open_book_fuzzer"
echo "${out}/open_book_fuzzer"
