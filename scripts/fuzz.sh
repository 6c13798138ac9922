#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (coverage, ASan and
# UBSan) in their own build folder and runs each for SECONDS (default 60).
# New inputs go to a scratch folder, so the committed seed corpora stay as
# they are; a crash leaves its input as crash-* in the working folder of
# the run (FUZZ_OUT, default build-fuzz/out) and makes the script fail.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-60}
shift || true
BUILD=${FUZZ_BUILD:-build-fuzz}
OUT=${FUZZ_OUT:-$BUILD/out}
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(fuzz_dev_info fuzz_font_name fuzz_batch_file fuzz_replies fuzz_image
  fuzz_sim_frames fuzz_cli_args fuzz_screen_file)

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DQEL_FUZZ=ON -DQEL_BUILD_GUI=OFF -DQEL_BUILD_TESTS=OFF \
  -DQEL_BUILD_BENCH=OFF -DQEL_PCH=OFF -DQEL_WERROR=ON >/dev/null
cmake --build "$BUILD" --target "${TARGETS[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
mkdir -p "$OUT"
status=0
for t in "${TARGETS[@]}"; do
  scratch="$OUT/$t.corpus"
  mkdir -p "$scratch"
  log="$OUT/$t.log"
  echo "== $t (${SECONDS_PER_TARGET} s)"
  # -rss_limit_mb bounds a decode that escapes the caps; -timeout one input.
  # Leaks are looked for once, at the end: Qt's lazily filled caches make
  # many inputs look leaky, and a leak check after each costs half a second.
  if (cd "$OUT" && "$OLDPWD/$BUILD/tests/fuzz/$t" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 \
        -rss_limit_mb=2048 -detect_leaks=0 -print_final_stats=1 "$OLDPWD/$scratch" \
        "$OLDPWD/tests/fuzz/corpus/$t") >"$log" 2>&1; then
    grep -E '^Done [0-9]+ runs|stat::number_of_executed_units' "$log" | head -2
  else
    status=1
    echo "$t failed; see $log"
    grep -E 'ERROR|SUMMARY|crash-|timeout-|oom-' "$log" | head -10
  fi
done
exit $status
