#!/usr/bin/env bash
# The whole import process (bench_import's mono run) on one core and on every core, wall and CPU time of the whole
# process from /usr/bin/time, on a recording made beforehand with murtesk-samples in a temporary folder.
#   bench/import_cores.sh [--rate HZ] [--seconds S] [--runs N] [--load N]
# --load N starts N busy processes for the measurement (and ends them). Prints one line per run and the medians.
# BUILD (default build/release) names the release tree holding bin/bench_import and bin/murtesk-samples.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build/release}
rate=48000 seconds=60 runs=5 load=0
while [ $# -gt 0 ]; do
  case $1 in
    --rate) rate=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --load) load=$2; shift 2 ;;
    *) echo "usage: $0 [--rate HZ] [--seconds S] [--runs N] [--load N]" >&2; exit 2 ;;
  esac
done
dir=$(mktemp -d "${TMPDIR:-/tmp}/murtesk-import-cores.XXXXXX")
busy=()
cleanup() {
  for p in "${busy[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$dir"
}
trap cleanup EXIT
"$build/bin/murtesk-samples" calibration "$dir/cal.wav" --rate "$rate" --seconds 2 >/dev/null
"$build/bin/murtesk-samples" recording "$dir/rec.wav" --rate "$rate" --seconds "$seconds" --channels 1 >/dev/null
for ((i = 0; i < load; ++i)); do
  (exec yes >/dev/null) &
  busy+=($!)
done
all=$(taskset -pc $$ | sed 's/.*: //')
echo "rate $rate Hz, $seconds s mono, load $load busy processes, $(uptime | sed 's/.*load/load/')"
echo "cores wall_s user_s sys_s cpu_s"
declare -A walls cpus syss
for cores in 0 "$all"; do
  for ((r = 0; r < runs; ++r)); do
    out=$(MURTESK_BENCH_IMPORT_DIR=$dir /usr/bin/time -f "%e %U %S" taskset -c "$cores" \
          "$build/bin/bench_import" --benchmark_filter='BM_Import/channels:1/seconds:60/' 2>&1 >/dev/null | tail -1)
    read -r wall user sys <<<"$out"
    cpu=$(echo "$user + $sys" | bc)
    echo "$cores $wall $user $sys $cpu"
    walls[$cores]+="$wall "
    cpus[$cores]+="$cpu "
    syss[$cores]+="$sys "
  done
done
median() { tr ' ' '\n' | grep . | sort -g | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'; }
w1=$(echo "${walls[0]}" | median) c1=$(echo "${cpus[0]}" | median)
wn=$(echo "${walls[$all]}" | median) cn=$(echo "${cpus[$all]}" | median) sn=$(echo "${syss[$all]}" | median)
echo "median one core: wall $w1 s, cpu $c1 s; cores $all: wall $wn s, cpu $cn s (sys $sn s)"
echo "speed-up $(echo "scale=2; $w1 / $wn" | bc)x, cpu ratio $(echo "scale=2; $cn / $c1" | bc)"
