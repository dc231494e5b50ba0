#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each one for FUZZ_TIME
# seconds, FUZZ_JOBS at a time. Fails when any target finds a crash, a
# sanitizer report or a broken invariant; its input is then kept under
# BUILD/artifacts/<target>/ and the log under BUILD/logs/.
#
#   FUZZ_TIME=60 FUZZ_JOBS=1 FUZZ_TARGETS="entitize hexenc" fuzz/run.sh
#
# The last line is "fuzz: T targets, E executions, F failures".
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
time_each=${FUZZ_TIME:-60}
jobs=${FUZZ_JOBS:-1}
build_jobs=${JOBS:-2}

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build "$build" -j"$build_jobs" >"$build/build.log" 2>&1 || {
  cat "$build/build.log"
  echo "fuzz: 0 targets, 0 executions, 1 failures"
  exit 1
}
rm -rf "$build/seeds" "$build/logs"
/usr/bin/python3 "$root/fuzz/make_corpus.py" "$build/seeds" || exit 1
mkdir -p "$build/logs"

if [[ -n "${FUZZ_TARGETS:-}" ]]; then
  targets=($FUZZ_TARGETS)
else
  targets=()
  for binary in "$build"/*_fuzz; do
    name=$(basename "$binary")
    targets+=("${name%_fuzz}")
  done
fi

run_target() {
  local target=$1
  local corpus="$build/corpus/$target" artifacts="$build/artifacts/$target/"
  mkdir -p "$corpus" "$artifacts"
  # The case's bytes: two header bytes and up to 16383 units of three.
  "$build/${target}_fuzz" -max_total_time="$time_each" -max_len=50000 -timeout=20 \
    -rss_limit_mb=2048 -dict="$root/fuzz/kelvo.dict" -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$corpus" "$build/seeds/$target" \
    >"$build/logs/$target.log" 2>&1
  echo $? >"$build/logs/$target.rc"
}

running=0
for target in "${targets[@]}"; do
  if [[ ! -x "$build/${target}_fuzz" ]]; then
    echo "fuzz: no target $target" >&2
    echo 1 >"$build/logs/$target.rc"
    continue
  fi
  run_target "$target" &
  running=$((running + 1))
  if ((running >= jobs)); then
    wait -n
    running=$((running - 1))
  fi
done
wait

total=0
failures=0
for target in "${targets[@]}"; do
  rc=$(cat "$build/logs/$target.rc" 2>/dev/null || echo 1)
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$target.log" 2>/dev/null | tail -1)
  executions=${executions:-0}
  total=$((total + executions))
  if [[ "$rc" == 0 ]]; then
    printf '  %-16s %10d executions\n' "$target" "$executions"
  else
    failures=$((failures + 1))
    printf '  %-16s %10d executions  FAILED (log: %s)\n' "$target" "$executions" "$build/logs/$target.log"
    grep -E -A6 'INVARIANT FAILED|ERROR: (AddressSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error|differs|first difference' \
      "$build/logs/$target.log" | head -24 | sed 's/^/      /'
  fi
done
echo "fuzz: ${#targets[@]} targets, $total executions, $failures failures"
((failures == 0))
