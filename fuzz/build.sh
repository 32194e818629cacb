#!/usr/bin/env bash
# Builds the libFuzzer targets of the settings store with clang (kept apart from the g++
# build): fuzz-build/open_book_fuzzer and fuzz-build/store_roundtrip_fuzzer. With a target
# name (open_book or store_roundtrip) only that one is built. Prints the path of each.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${root}/fuzz-build"
mkdir -p "${out}"
targets=("${@:-open_book store_roundtrip}")
for t in ${targets[*]}; do
  "${CXX:-clang++-14}" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"${root}" "${root}"/settings/*.cpp "${root}/fuzz/${t}_fuzzer.cpp" -o "${out}/${t}_fuzzer"
  echo "${out}/${t}_fuzzer"
done
