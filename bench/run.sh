#!/usr/bin/env bash
# Builds the benchmark programs (Release, in build-bench, if needed) and runs every one of them
# with repetitions, then prints the benchmark table of the README from this one run: the median
# wall time of each case (and its CPU time, which a busy machine inflates less), its throughput
# over the wall time, and its ratio to the plain pass of the same program measured in the same
# run, headed by the machine's load before and after.
#
#   bench/run.sh                    every program, 3 repetitions
#   bench/run.sh csv_table text     only these programs (names without "_bench")
#   MV_BENCH_REPETITIONS=9 bench/run.sh
#   MV_BENCH_BUILD=dir MV_BENCH_NO_BUILD=1 bench/run.sh spc_file   the programs in dir/bench as they are
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions="${MV_BENCH_REPETITIONS:-3}"
dir="${MV_BENCH_BUILD:-build-bench}"

# The plain pass each program measures beside its cases (a case "X/arg" is compared with the
# baseline "B/arg" when the program has one of that argument, with "B" otherwise).
declare -A baseline=(
  [control_chart_bench]=BM_PlainPassOverDataSet
  [correlation_bench]=BM_PlainPass
  [csv_table_bench]=BM_LineCountBaseline
  [data_set_bench]=BM_PlainSum
  [filter_bench]=BM_PlainPassOverValues
  [json_writer_bench]=BM_CopyOfTheOutput
  [lists_bench]=BM_RawPassOverSameBytes
  [mef_bench]=BM_FromCharsOverTheNumberTexts
  [param_stat_bench]=BM_PlainPass
  [render_bench]=BM_PlainPassOverTwoSets
  [spc_file_bench]=BM_ReadFileBytes
  [spc_stats_bench]=BM_SumValuesBaseline
  [text_bench]=BM_CopyBaseline
)

programs=()
if [ $# -gt 0 ]; then
  for name in "$@"; do programs+=("${name%_bench}_bench"); done
else
  for source in bench/*_bench.cpp; do programs+=("$(basename "$source" .cpp)"); done
fi

if [ -n "${MV_BENCH_NO_BUILD:-}" ]; then
  :  # the programs in $dir/bench are run as they are (another version's, say)
elif [ ! -f "$dir/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=Release -DMV_BUILD_GUI=ON \
    -DMV_BUILD_BENCHMARKS=ON >/dev/null
fi
[ -n "${MV_BENCH_NO_BUILD:-}" ] || cmake --build "$dir" --target "${programs[@]}" >/dev/null

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
read -r load1 load5 load15 _ </proc/loadavg
for program in "${programs[@]}"; do
  echo "running $program ($repetitions repetitions)" >&2
  "$dir/bench/$program" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/$program.json" --benchmark_out_format=json >"$out/$program.log" 2>&1 ||
    { cat "$out/$program.log" >&2; exit 1; }
done
read -r after1 _ </proc/loadavg

echo "Release, median of $repetitions repetitions, wall time; $(nproc) cores, load average" \
  "$load1 / $load5 / $load15 (1 / 5 / 15 min) before the run, $after1 after it; $(date -u +%Y-%m-%d)."
echo
echo "| Benchmark | Case | Time | Throughput | Against the plain pass |"
echo "| --- | --- | --- | --- | --- |"
for program in "${programs[@]}"; do
  # The JSON report has one member a line; a run ends with its closing brace.
  awk -v program="$program" -v base="${baseline[$program]:-}" -v single="$((repetitions <= 1))" '
    function ns(value, unit) {
      return value * (unit == "s" ? 1e9 : unit == "ms" ? 1e6 : unit == "us" ? 1e3 : 1)
    }
    function shown(t) {
      if (t >= 1e9) return sprintf("%.3g s", t / 1e9)
      if (t >= 1e6) return sprintf("%.3g ms", t / 1e6)
      if (t >= 1e3) return sprintf("%.3g µs", t / 1e3)
      return sprintf("%.3g ns", t)
    }
    # The library counts rates over CPU time: these are over the wall time shown.
    function rate(bytes, items, wallToCpu) {
      if (bytes != "") {
        bytes /= wallToCpu
        return bytes >= 1e9 ? sprintf("%.3g GB/s", bytes / 1e9) : sprintf("%.3g MB/s", bytes / 1e6)
      }
      if (items != "") {
        items /= wallToCpu
        return items >= 1e9 ? sprintf("%.3g G/s", items / 1e9) : sprintf("%.3g M/s", items / 1e6)
      }
      return ""
    }
    function value(line) {
      sub(/^[^:]*: */, "", line)
      sub(/,$/, "", line)
      gsub(/"/, "", line)
      return line
    }
    /"benchmarks": \[/ { inRuns = 1; next }
    !inRuns { next }
    /^ *\{ *$/ { delete field; nextra = 0; next }
    /^ *"[^"]*": / {
      key = $0
      sub(/^ *"/, "", key)
      sub(/".*/, "", key)
      field[key] = value($0)
      if (key !~ /^(name|family_index|per_family_instance_index|run_name|run_type|repetitions|threads|aggregate_name|aggregate_unit|iterations|real_time|cpu_time|time_unit|bytes_per_second|items_per_second|label|error_occurred|error_message|repetition_index)$/) {
        extra[++nextra] = key
      }
      next
    }
    /^ *\] *,? *$/ { inRuns = 0; next }
    /^ *\},? *$/ {
      # One repetition has no aggregates: its run is the figure.
      if (single ? field["run_type"] != "iteration" : field["aggregate_name"] != "median") next
      name = field["run_name"]
      order[++count] = name
      time[name] = ns(field["real_time"], field["time_unit"])
      cpu[name] = ns(field["cpu_time"], field["time_unit"])
      speed[name] = rate(field["bytes_per_second"], field["items_per_second"], cpu[name] > 0 ? time[name] / cpu[name] : 1)
      counters[name] = ""
      for (i = 1; i <= nextra; ++i) {
        counters[name] = counters[name] (i > 1 ? ", " : "") extra[i] " " sprintf("%.3g", field[extra[i]])
      }
    }
    END {
      for (k = 1; k <= count; ++k) {
        name = order[k]
        against = ""
        arg = name
        if (base != "" && name !~ ("^" base "(/|$)")) {
          sub(/^[^\/]*/, "", arg)
          b = (base arg) in time ? base arg : base
          if (b in time && time[b] > 0) against = sprintf("%.2f× (%s)", time[name] / time[b], shown(time[b]))
        }
        throughput = speed[name]
        if (counters[name] != "") throughput = throughput (throughput == "" ? "" : "; ") counters[name]
        printf "| `%s` | %s | %s (CPU %s) | %s | %s |\n", program, name, shown(time[name]), shown(cpu[name]),
               throughput, against
      }
    }
  ' "$out/$program.json"
done
