#!/usr/bin/env bash
# Installs what is missing, builds everything in build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

mv_install_missing
mv_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMV_WARNINGS_AS_ERRORS=ON
mv_runtime_dir
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)"
