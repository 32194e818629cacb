#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Extra arguments go to the program,
# e.g. "--source test" for the built-in moving test scene instead of camera 0.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPARVEL_TESTS=OFF -DPARVEL_BENCH=OFF
cmake --build build -j2 --target parvelwebcam
exec build/bin/parvelwebcam "$@"
