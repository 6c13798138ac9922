#!/usr/bin/env bash
# Builds the tool and starts it. When no real serial port is present, a
# virtual terminal (qelsim) is started first so there is something to talk to.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD"
SIM_PID=""
cleanup() { [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null || true; }
trap cleanup EXIT
if ! ls /dev/ttyUSB* /dev/ttyACM* >/dev/null 2>&1 && [ -x "$BUILD/sim/qelsim" ]; then
  SIMARGS=(--name demo)
  [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && SIMARGS+=(--headless)
  "$BUILD/sim/qelsim" "${SIMARGS[@]}" > /tmp/qelsim-demo.out &
  SIM_PID=$!
  sleep 1
fi
if [ -x "$BUILD/shell/qeltool" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$BUILD/shell/qeltool" "$@"
elif [ -x "$BUILD/cli/qelcli" ]; then
  "$BUILD/cli/qelcli" "${@:-info}"
else
  echo "Built. Nothing to run yet."
fi
