#!/usr/bin/env bash
# Shows that a second "./run.sh FILE" hands the file to the instance already running instead of
# starting a second one. Runs offscreen in a scratch program folder, so it touches none of the
# user's settings, and without XDG_RUNTIME_DIR (both starts must find the same folder anyway).
set -euo pipefail
cd "$(dirname "$0")/.."
home="$(mktemp -d)"
trap 'kill "$first" 2>/dev/null || true; wait "$first" 2>/dev/null || true; rm -rf "$home"' EXIT
export MORVALEN_HOME="$home" QT_QPA_PLATFORM=offscreen
unset XDG_RUNTIME_DIR
cp examples/demo.mvl "$home/other.mvl"
log="$home/Log/mvl.log"

./run.sh >"$home/first.out" 2>&1 &
first=$!
for _ in $(seq 1 300); do
  grep -q "Activation OK" "$log" 2>/dev/null && break
  sleep 0.2
done
grep -q "Activation OK" "$log" || { echo "the first instance did not start" >&2; exit 1; }
echo "first instance (pid $first) is up"

./run.sh "$home/other.mvl" >"$home/second.out" 2>&1
echo "second start ended with exit code $?"
for _ in $(seq 1 50); do
  grep -q "Open.4: File \"$home/other.mvl\"" "$log" && break
  sleep 0.2
done
starts=$(grep -c -- "- Start " "$log")
echo "runs started in the log: $starts"
grep -- "-Open\.[0-9]: File\|Load DS from file" "$log" | sed 's/^/  /'
grep -q "Open.4: File \"$home/other.mvl\"" "$log" && [ "$starts" -eq 1 ] && echo "handed over: OK"
