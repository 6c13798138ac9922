#!/usr/bin/env bash
# Wall time of one batch of 20 commands on 1 terminal and on 4 terminals at
# once (qelcli run -p ... -p ...), against virtual terminals paced at line
# speed (921600 baud) and unpaced. Prints the times and their ratio.
# Usage: bench/multi_run.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
SIM="$BUILD/sim/qelsim"
CLI="$BUILD/cli/qelcli"
[ -x "$SIM" ] && [ -x "$CLI" ] || { echo "build qelsim and qelcli first ($BUILD)" >&2; exit 2; }
WORK=$(mktemp -d /tmp/qel-multi.XXXXXX)
PIDS=()
cleanup() {
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT INT TERM
export QEL_PORT_DIR="$WORK/ports" QEL_SYSTEM_PORTS=0 QT_QPA_PLATFORM=offscreen
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$QEL_PORT_DIR" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# A 320 x 240 picture (PPM: no tool needed) and the batch: four rounds of
# clear, text, picture sent into a slot (two records), show.
{ printf 'P6\n320 240\n255\n'; head -c $((320 * 240 * 3)) /dev/urandom; } > "$WORK/pic.ppm"
{
  printf '<?xml version="1.0" encoding="UTF-8"?>\n'
  printf '<Document Ver="1.1" Model="QEL-A" Res="15728960"><Commands>'
  for i in 1 2 3 4; do
    printf '<ClearScreen/><ShowText Font="1048592" Position="0" Text="round %d"/>' "$i"
    printf '<SendPicture Path="%s" KeepAspectRatio="1" BkColor="0"/><SavePicture ID="%d"/>' "$WORK/pic.ppm" "$i"
    printf '<ShowPicture ID="%d"/>' "$i"
  done
  printf '</Commands></Document>\n'
} > "$WORK/batch.kbz"

start_sims() {  # $1: extra qelsim options
  local n
  PORTS=()
  for n in 1 2 3 4; do
    "$SIM" --headless --name "m$1$n" --size 320x240 --baud 921600 $2 > "$WORK/sim$1$n.out" 2>&1 &
    PIDS+=($!)
  done
  for n in 1 2 3 4; do
    for _ in $(seq 1 100); do grep -q '^PORT ' "$WORK/sim$1$n.out" && break; sleep 0.05; done
    PORTS+=("$(grep -m1 '^PORT ' "$WORK/sim$1$n.out" | cut -d' ' -f2-)")
  done
}

run_secs() {  # the ports to use
  local args=() p t0 t1
  for p in "$@"; do args+=(-p "$p"); done
  t0=$(date +%s.%N)
  "$CLI" -b 921600 run "$WORK/batch.kbz" "${args[@]}" > "$WORK/run.out" 2>&1 || { cat "$WORK/run.out" >&2; exit 1; }
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

measure() {  # $1: label, $2: qelsim options
  start_sims "$1" "$2"
  local one four
  one=$(run_secs "${PORTS[0]}")
  four=$(run_secs "${PORTS[@]}")
  printf '%-22s 1 terminal %6.2f s   4 terminals %6.2f s   ratio %.2f\n' "$1" "$one" "$four" "$(awk -v a="$one" -v b="$four" 'BEGIN { printf "%.3f", b / a }')"
}

echo "batch: 20 commands (4 x clear, text, picture 320x240 into a slot, show), $(nproc) cores"
measure paced "--pace"
measure unpaced ""
