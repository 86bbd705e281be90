#!/usr/bin/env bash
# Makes the README's pictures again: builds the widget tests and runs them offscreen with
# MV_SCREENSHOT_DIR pointing at docs/screenshots/, where each test that shows a window worth
# seeing saves it. The data files they show live in a folder of a fixed name, so the pictures
# show the same paths at every run. Look at the pictures before committing them.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
mv_install_missing
if [ -f build/build.ninja ]; then
  cmake --build build --target ui_tests
else
  mv_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
mv_runtime_dir
mkdir -p docs/screenshots
QT_QPA_PLATFORM=offscreen MV_SCREENSHOT_DIR="$PWD/docs/screenshots" build/tests/ui_tests --gtest_brief=1
echo "Pictures written to docs/screenshots/:"
ls docs/screenshots
