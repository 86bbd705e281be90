#!/usr/bin/env bash
# Makes the data files the load and memory figures of the README are taken on, in a folder
# (default /tmp/mv-load-files), with the given morvalen-cli:
#   values-4m.mvl   4 million values of one parameter, 20 blocks x 1000 samples x 200 points
#   values-1m-5.mvl 1 million values of one parameter, 200 blocks x 1000 samples x 5 points
#                   (the most samples of 5 a dataset may hold)
#   individual-200k.mvl  200 000 individual values, 200 blocks x 1000 one-point samples
# The 24.6 MB file of spc_file_bench is written by the benchmark itself (BM_LoadFromDisk) to
# the temporary folder as mv-bench-large.mvl.
#   bench/make_load_files.sh build/src/cli/morvalen-cli [folder]
set -euo pipefail
cli="$(realpath "$1")"
out="${2:-/tmp/mv-load-files}"
mkdir -p "$out"
cd "$out"
python3 - <<'PY'
import random
r = random.Random(4)
def table(name, blocks, samples, points):
    with open(name, "w") as f:
        f.write("block;sample;Диаметр\n")
        for b in range(1, blocks + 1):
            for s in range(1, samples + 1):
                for _ in range(points):
                    f.write(f"Б{b};{s};{round(r.gauss(20, 0.01), 4)}\n")
table("values-4m.csv", 20, 1000, 200)
table("values-1m-5.csv", 200, 1000, 5)
table("individual-200k.csv", 200, 1000, 1)
PY
common=(--fixed-time "08.03.2024 17:00" --id 240308170 --overwrite)
"$cli" create values-4m.mvl --from-csv values-4m.csv "${common[@]}" >/dev/null
"$cli" create values-1m-5.mvl --from-csv values-1m-5.csv "${common[@]}" >/dev/null
"$cli" create individual-200k.mvl --from-csv individual-200k.csv "${common[@]}" --individual >/dev/null
rm -f values-4m.csv values-1m-5.csv individual-200k.csv
ls -l "$out"/*.mvl
