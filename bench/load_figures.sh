#!/usr/bin/env bash
# Whole-process load figures on the files bench/make_load_files.sh makes (and the 24.6 MB file
# of spc_file_bench, copied there as large-24m.mvl when present): for each file its size, the
# median wall time of `morvalen-cli info` over the rounds, the throughput of file bytes, the
# peak memory (maximum resident set) and its ratio to the file's size; then `capability` on
# the 4 million values.
#   bench/load_figures.sh build/src/cli/morvalen-cli [folder] [rounds]
set -euo pipefail
cli="$(realpath "$1")"
dir="${2:-/tmp/mv-load-files}"
rounds="${3:-3}"
measure() {  # FILE ARGS...: "median-seconds peak-kB" over the rounds
  local times=() peaks=() line
  for _ in $(seq "$rounds"); do
    /usr/bin/time -o "$stats" -f "%e %M" "$cli" "$@" >/dev/null 2>&1
    line="$(tail -1 "$stats")"
    times+=("${line% *}")
    peaks+=("${line#* }")
  done
  printf '%s %s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((rounds + 1) / 2))p")" \
    "$(printf '%s\n' "${peaks[@]}" | sort -n | sed -n "$(((rounds + 1) / 2))p")"
}
stats="$(mktemp)"
trap 'rm -f "$stats"' EXIT
read -r load1 _ </proc/loadavg
echo "$cli, median of $rounds, load average $load1"
printf '%-22s %10s %9s %10s %10s %7s\n' file MB "info ms" "MB/s" "peak MB" ratio
for f in large-24m values-4m values-1m-5 individual-200k; do
  path="$dir/$f.mvl"
  [ -f "$path" ] || continue
  size=$(stat -c %s "$path")
  read -r t kb < <(measure info "$path")
  awk -v f="$f" -v s="$size" -v t="$t" -v kb="$kb" 'BEGIN {
    printf "%-22s %10.1f %9.0f %10.0f %10.1f %7.2f\n", f, s / 1e6, t * 1000, (t > 0 ? s / 1e6 / t : 0), kb * 1024 / 1e6, kb * 1024 / s }'
done
if [ -f "$dir/values-4m.mvl" ]; then
  read -r t kb < <(measure capability "$dir/values-4m.mvl" --param 1)
  awk -v t="$t" -v kb="$kb" 'BEGIN { printf "capability values-4m: %.2f s, peak %.0f MB\n", t, kb * 1024 / 1e6 }'
fi
