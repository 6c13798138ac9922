#!/usr/bin/env bash
# The desktop program's and the converter's speed and quiet, each figure
# beside its yardstick, in one run:
#   start-up    qeltool start to its first visible window on a private Xvfb,
#               against a bare Qt main window (menu bar, toolbars, a dock, a
#               text browser; bench/bare_window.cpp), timed from outside by
#               bench/first_window (window mapped and first drawn);
#   preview     the picture preview of the main window re-fitted after
#               connecting to an 800 x 480 terminal (4000 x 3000 JPEG), against
#               "qelcli convert" of the same file at the same size, whole
#               process;
#   convert     "qelcli convert" of that JPEG to 800 x 480 RGB565, whole
#               process, against libjpeg-turbo's "djpeg -scale 1/4" of it;
#   idle        an idle, disconnected qeltool over 10 s: times its threads
#               were woken (/proc/PID/task/*/schedstat) and, under strace -c,
#               the directories it read, against the bare window.
# Times are medians of RUNS runs, taken in turn (A B A B ...), with the
# median of the pair-by-pair ratios. With --instr the start-up and the
# convert are also counted in instructions (valgrind --tool=callgrind),
# which the other programs on a shared machine cannot disturb.
# Usage: bench/figures.sh [--runs N] [--instr] [BUILD]   (a release build)
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=7
INSTR=0
BUILD=build-rel
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) RUNS=$2; shift 2 ;;
    --instr) INSTR=1; shift ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    *) BUILD=$1; shift ;;
  esac
done
QELTOOL=$PWD/$BUILD/app/qeltool
QELCLI=$PWD/$BUILD/cli/qelcli
BARE=$PWD/$BUILD/bench/bare_window
PROBE=$PWD/$BUILD/bench/first_window
REFIT=$PWD/$BUILD/bench/preview_refit
for f in "$QELTOOL" "$QELCLI" "$BARE" "$PROBE" "$REFIT"; do
  [ -x "$f" ] || { echo "missing $f: build it first (cmake --build $BUILD)" >&2; exit 2; }
done
for t in djpeg Xvfb strace; do
  command -v "$t" >/dev/null || { echo "missing $t: run scripts/deps.sh" >&2; exit 2; }
done
[ "$INSTR" = 0 ] || command -v valgrind >/dev/null || { echo "missing valgrind" >&2; exit 2; }

WORK=$(mktemp -d /tmp/qel-figures.XXXXXX)
XPID=
cleanup() {
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

# A private profile, port folder and display for everything below.
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/run QEL_PORT_DIR=$WORK/ports
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
for n in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { DISPLAYNUM=$n; break; }
done
Xvfb ":$DISPLAYNUM" -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XPID=$!
for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$DISPLAYNUM" ] && break; sleep 0.05; done
export DISPLAY=":$DISPLAYNUM"
unset QT_QPA_PLATFORM

# median of the numbers on stdin
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.4g\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# wall seconds of one run of a command, its output thrown away
wall() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo "scale=6; ($t1 - $t0) / 1000000000" | bc; }
# ratio a/b to three places
ratio() { printf "%.3f" "$(echo "scale=4; $1 / $2" | bc)"; }
# instructions a command runs (callgrind's total)
instr() {
  local out=$WORK/cg.$RANDOM
  valgrind --tool=callgrind --callgrind-out-file="$out" "$@" >/dev/null 2>&1 || true
  awk '/^(summary|totals):/ { print $2; exit }' "$out"
}
row() { printf '%-34s %14s %14s %8s\n' "$@"; }

echo "qeltool figures, $(date -u '+%F %H:%M UTC'), $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg), $RUNS runs each"
row "figure" "now" "yardstick" "ratio"

# --------------------------------------------------------------- start-up
# Against the bare window in English and, as qeltool shows Chinese by
# default, in Chinese (whose glyphs need a font of their own).
A=() B=() C=() R=() RC=()
for i in $(seq 0 "$RUNS"); do
  a=$("$PROBE" --timeout 60 -- "$QELTOOL" | cut -d' ' -f2)
  b=$("$PROBE" --timeout 60 -- "$BARE" | cut -d' ' -f2)
  c=$("$PROBE" --timeout 60 -- "$BARE" --zh | cut -d' ' -f2)
  [ "$i" = 0 ] && continue  # warm-up
  A+=("$a") B+=("$b") C+=("$c") R+=("$(ratio "$a" "$b")") RC+=("$(ratio "$a" "$c")")
done
ma=$(printf '%s\n' "${A[@]}" | median); mb=$(printf '%s\n' "${B[@]}" | median); mc=$(printf '%s\n' "${C[@]}" | median)
row "start-up to first window (ms)" "$ma" "$mb" "$(printf '%s\n' "${R[@]}" | median)"
row "  against the bare window in Chinese" "$ma" "$mc" "$(printf '%s\n' "${RC[@]}" | median)"
if [ "$INSTR" = 1 ]; then
  # Counted up to the window's first drawing and a second of idling after.
  startinstr() {
    "$PROBE" --timeout 300 --hold 1 -- valgrind --tool=callgrind --callgrind-out-file="$WORK/cg.start" "$1" \
      >/dev/null 2>&1 || true
    awk '/^(summary|totals):/ { print $2; exit }' "$WORK/cg.start"
  }
  ia=$(startinstr "$QELTOOL")
  ib=$(startinstr "$BARE")
  row "start-up (instructions)" "$ia" "$ib" "$(ratio "$ia" "$ib")"
fi

# ---------------------------------------------------- the picture, convert
PICTURE=$WORK/photo_4000x3000.jpg
refit=$("$REFIT" "$RUNS" --picture "$PICTURE" 2>/dev/null)
A=() B=() R=()
CONVERT=("$QELCLI" convert "$PICTURE" --size 800x480 -o "$WORK/out.rgb565")
DJPEG=(djpeg -scale 1/4 -outfile "$WORK/out.ppm" "$PICTURE")
for i in $(seq 0 "$RUNS"); do
  a=$(wall "${CONVERT[@]}")
  b=$(wall "${DJPEG[@]}")
  [ "$i" = 0 ] && continue
  A+=("$a") B+=("$b") R+=("$(ratio "$a" "$b")")
done
cli=$(printf '%s\n' "${A[@]}" | median)
djpeg=$(printf '%s\n' "${B[@]}" | median)
refitMs=$(awk '/^refit_ms/ { print $2 }' <<<"$refit")
recolourMs=$(awk '/^recolour_ms/ { print $2 }' <<<"$refit")
cliMs=$(printf '%.1f' "$(echo "$cli * 1000" | bc)")
row "preview re-fitted (ms)" "$refitMs" "$cliMs" "$(ratio "$refitMs" "$cliMs")"
row "  same size, new colour (ms)" "$recolourMs" "-" "-"
row "convert 800x480 RGB565 (ms)" "$cliMs" "$(printf '%.1f' "$(echo "$djpeg * 1000" | bc)")" "$(printf '%s\n' "${R[@]}" | median)"
if [ "$INSTR" = 1 ]; then
  ia=$(instr "${CONVERT[@]}")
  ib=$(instr "${DJPEG[@]}")
  row "convert (instructions)" "$ia" "$ib" "$(ratio "$ia" "$ib")"
fi

# ------------------------------------------------------------------- idle
# Wake-ups: how many times the program's threads were put on a processor
# (schedstat's third field, summed over the threads) in 10 s of idling.
wakeups() {  # pid
  local pid=$1
  cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ n += $3 } END { print n + 0 }'
}
idle() {  # program: prints "wakeups dirreads syscalls"
  "$PROBE" --timeout 60 --hold 26 -- "$1" >/dev/null &
  local probe=$! pid=
  for _ in $(seq 1 200); do
    pid=$(pgrep -n -P "$probe" || true)
    [ -n "$pid" ] && break
    sleep 0.05
  done
  sleep 3  # shown and settled
  local w0 w1
  w0=$(wakeups "$pid"); sleep 10; w1=$(wakeups "$pid")
  timeout -s INT 10 strace -f -c -p "$pid" -o "$WORK/strace.$pid" >/dev/null 2>&1 || true
  local dirs calls
  dirs=$(awk '$NF == "getdents64" { print $4 }' "$WORK/strace.$pid")
  calls=$(awk '$NF == "total" { print $4 }' "$WORK/strace.$pid")
  wait "$probe" 2>/dev/null || true
  echo "$((w1 - w0)) ${dirs:-0} ${calls:-0}"
}
read -r wa da ca <<<"$(idle "$QELTOOL")"
read -r wb db cb <<<"$(idle "$BARE")"
row "idle 10 s: wake-ups" "$wa" "$wb" "-"
row "idle 10 s: directory reads" "$da" "$db" "-"
row "idle 10 s: system calls" "$ca" "$cb" "-"
