#!/usr/bin/env bash
# Builds the Debian package parvelwebcam_<version>_amd64.deb in build-pkg/ (Release, no tests)
# and checks it with lintian, which must report no errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release -DPARVEL_TESTS=OFF -DPARVEL_BENCH=OFF
cmake --build build-pkg -j2
(cd build-pkg && cpack -G DEB)
deb=$(ls -t build-pkg/parvelwebcam_*.deb | head -n 1)
echo "Package: $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
# Errors fail the script; warnings and notes are shown.
lintian --fail-on error --info "$deb"
echo "lintian: no errors"
