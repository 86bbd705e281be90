#!/usr/bin/env bash
# Builds the fuzz targets with clang under the address and undefined-behaviour sanitizers and
# runs one of them on its corpus.   fuzz/run.sh <name> [seconds]     e.g. fuzz/run.sh lists 300
set -euo pipefail
cd "$(dirname "$0")/.."
name="${1:?usage: fuzz/run.sh <name> [seconds]}"
seconds="${2:-300}"
# One build at a time in build-fuzz (several fuzzers may be started side by side).
mkdir -p build-fuzz
exec 9>build-fuzz/.lock
flock 9
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMV_BUILD_GUI=OFF \
  -DBUILD_TESTING=OFF -DMV_BUILD_BENCHMARKS=OFF -DMV_BUILD_FUZZERS=ON >/dev/null
cmake --build build-fuzz --target "fuzz_${name}"
flock -u 9
mkdir -p "fuzz/corpus/${name}" "build-fuzz/corpus-new/${name}" build-fuzz/artifacts
# New inputs go to a scratch folder so the committed seed corpus stays small.
exec "build-fuzz/fuzz/fuzz_${name}" -max_total_time="$seconds" -max_len=70000 -timeout=10 \
  -artifact_prefix=build-fuzz/artifacts/ "build-fuzz/corpus-new/${name}" "fuzz/corpus/${name}"
