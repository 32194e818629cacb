#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. Any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DPARVEL_SANITIZE=ON
cmake --build build-test -j2
export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j2 --timeout 300
