#!/usr/bin/env bash
# Prints every batch command's output on the demo dataset and on larger generated files into a
# folder, one file per command line, so two builds can be compared byte for byte:
#   scripts/cli_outputs.sh OLD/morvalen-cli /tmp/before
#   scripts/cli_outputs.sh NEW/morvalen-cli /tmp/after
#   diff -r /tmp/before /tmp/after
set -euo pipefail
cli="$(realpath "$1")"
out="$2"
here="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# 1000 samples of 5 points of three parameters with values of many digits, a few empty cells;
# 3000 individual values; 1000 lots of unequal sizes.
python3 - <<'PY'
import random
r = random.Random(15)
with open("big.csv", "w") as f:
    f.write("sample;Диаметр;Масса;Зазор\n")
    for s in range(1, 1001):
        for _ in range(5):
            d = r.gauss(20, 0.01)
            m = r.uniform(1e-6, 3e-5) if s % 7 else r.uniform(1e5, 1e7)
            g = "" if r.random() < 0.02 else repr(round(r.gauss(0.5, 0.2), r.randint(0, 6)))
            f.write(f"{s};{d!r};{m!r};{g}\n")
with open("ind.csv", "w") as f:
    f.write("Толщина\n")
    for i in range(3000):
        f.write(f"{r.gauss(2.5, 0.05)!r}\n")
with open("lots.csv", "w") as f:
    f.write("size;Брак;Дефекты\n")
    for i in range(1000):
        n = r.randint(50, 150)
        f.write(f"{n};{r.randint(0, 9)};{r.randint(0, 20)}\n")
PY
common=(--fixed-time "08.03.2024 17:00" --id 240308170)
"$cli" create big.mvl --from-csv big.csv "${common[@]}" --tolerance "Диаметр=19.98:20.02:20" \
  --unit "Диаметр=мм" --decimals "Масса=5" >"$out/create-big.json"
"$cli" create ind.mvl --from-csv ind.csv "${common[@]}" --individual --tolerance "Толщина=2.4:2.6" \
  >"$out/create-ind.json"
"$cli" create lots.mvl --from-csv lots.csv "${common[@]}" --attribute "Брак=units" \
  --attribute "Дефекты=nonconf" >"$out/create-lots.json"
demo="$here/examples/demo.mvl"

run() {  # NAME ARGS...: stdout, stderr and the exit code
  local name="$1"
  shift
  set +e
  "$cli" "$@" >"$out/$name.json" 2>"$out/$name.err"
  echo "$?" >>"$out/$name.err"
  set -e
}
for f in demo big ind lots; do
  path="$f.mvl"
  [ "$f" = demo ] && path="$demo"
  run "info-$f" info "$path"
done
for p in 1 2 3; do
  run "capability-demo-$p" capability "$demo" --param "$p"
  run "capability-big-$p" capability big.mvl --param "$p" --bins 20
  for k in X-R X-S M-R x-MR; do
    run "chart-demo-$p-$k" chart "$demo" --param "$p" --kind "$k" --criteria 4
    run "chart-big-$p-$k" chart big.mvl --param "$p" --kind "$k" --criteria 3
  done
done
run capability-ind capability ind.mvl --param 1
run chart-ind chart ind.mvl --param 1 --kind x-MR --criteria 4 --span 3
run chart-ind-all chart ind.mvl --param 1 --kind x-MR --criteria 4 --all
run chart-big-all chart big.mvl --param 3 --kind x-MR --criteria 3 --all
run chart-demo-regulation chart "$demo" --param 1 --kind X --regulation
run chart-demo-range chart "$demo" --param 2 --kind X-R --block 2 --samples 3-20 --criteria C1,C5,C10
for k in p np; do run "chart-lots-$k" chart lots.mvl --param 1 --kind "$k" --scale ppm; done
for k in c u; do run "chart-lots-$k" chart lots.mvl --param 2 --kind "$k" --scale percent; done
run capability-lots capability lots.mvl --param 1
run quality-1 quality --ppm 63
run quality-2 quality --ppm 0.001 --width 0.04
run quality-3 quality --ppm 500000 --width 1000000
run bad chart "$demo" --param 9 --kind X
