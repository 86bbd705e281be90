#!/usr/bin/env bash
# Installs what is missing, builds the program in build/ and starts it on the demo dataset.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

mv_install_missing
mv_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
mv_runtime_dir
args=()
demo="examples/demo.mvl"
[ -f "$demo" ] && args+=("$demo")
exec build/src/ui/morvalen "${args[@]}" "$@"
