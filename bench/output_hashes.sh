#!/usr/bin/env bash
# The hashes of every batch command's output (standard output, error stream and exit code) on
# examples/demo.mvl and on the files bench/make_load_files.sh makes, one line a command, so
# that two builds can be compared: record the lines with one build, then with the other, and
# diff them. The files are read from the folder under their bare names (demo.mvl is copied
# there, or the file MV_DEMO names, so that both builds read the same demo), so the outputs do
# not depend on where the folder is.
#   bench/output_hashes.sh build/src/cli/morvalen-cli [folder] > after.txt
#   diff before.txt after.txt
set -euo pipefail
cli="$(realpath "$1")"
dir="${2:-/tmp/mv-load-files}"
cp "${MV_DEMO:-$(dirname "$0")/../examples/demo.mvl}" "$dir/demo.mvl"
cd "$dir"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

run() {  # ARGS...: "<hash of stdout> <hash of stderr> <exit code>  <command>"
  local code=0
  "$cli" "$@" >"$scratch/out" 2>"$scratch/err" || code=$?
  # A filter changed by the command is stamped with the moment it ran: that line is left out.
  printf '%s %s %3d  %s\n' "$(grep -v '"changedAt": ' "$scratch/out" | sha256sum | cut -c1-16)" "$(sha256sum <"$scratch/err" | cut -c1-16)" \
    "$code" "$*"
}

# Every chart kind of a quantitative parameter, with the window's limit and without it.
charts() {  # FILE PARAM KINDS...
  local file="$1" param="$2" kind
  shift 2
  for kind in "$@"; do
    run chart "$file" --param "$param" --kind "$kind"
    run chart "$file" --param "$param" --kind "$kind" --all
    run chart "$file" --param "$param" --kind "$kind" --no-filter
  done
}

# The demo: every parameter, part of a block, the filters and a copy with a filter changed.
run info demo.mvl
run filter demo.mvl
for p in 1 2 3; do
  run capability demo.mvl --param "$p"
  run capability demo.mvl --param "$p" --no-filter
  run capability demo.mvl --param "$p" --block 1 --samples 2-9 --bins 7
  run capability demo.mvl --param "$p" --blocks 1,2 --bins 20
  charts demo.mvl "$p" X-R X-S X M-R x-MR x
  run chart demo.mvl --param "$p" --kind X-R --block 2
done
rm -f copy.mvl
run filter demo.mvl --kind var --out copy.mvl --name "Проверка" --on \
  --condition "1|..|19.99..20.00" --condition "note|!@|брак"
run filter copy.mvl
run capability copy.mvl --param 1
run chart copy.mvl --param 1 --kind X-R
rm -f copy.mvl

# The large files: a description, the statistics and the charts of the one parameter.
for f in large-24m values-4m values-1m-5 individual-200k; do
  [ -f "$f.mvl" ] || continue
  run info "$f.mvl"
  run filter "$f.mvl"
  run capability "$f.mvl" --param 1
  run capability "$f.mvl" --param 1 --block 2 --samples 10-500
  if [ "$f" = individual-200k ]; then
    charts "$f.mvl" 1 x-MR x
  else
    charts "$f.mvl" 1 X-R X-S x-MR
  fi
done
