#!/usr/bin/env bash
# Installs what is missing, builds the program in build/ and starts it on the files named, or on
# the demo dataset when none is.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

mv_install_missing
mv_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
mv_runtime_dir
# The demo dataset only when no file is named: "./run.sh other.mvl" opens just that file (in the
# instance already running, when there is one).
args=()
demo="examples/demo.mvl"
[ $# -eq 0 ] && [ -f "$demo" ] && args+=("$demo")
exec build/src/ui/morvalen "${args[@]}" "$@"
