#!/usr/bin/env bash
# Builds the desktop program and starts it. When no real terminal is attached
# (no USB serial adapter), a virtual terminal (qelsim) is started first in its
# own window, so the device toolbar lists "虚拟终端 (...)" and one click on
# "连接" talks to it. The virtual terminal ends with the program.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target qeltool qelsim

SIM_PID=""
SIM_OUT=""
cleanup() {
  if [ -n "$SIM_PID" ]; then kill "$SIM_PID" 2>/dev/null || true; wait "$SIM_PID" 2>/dev/null || true; fi
  [ -n "$SIM_OUT" ] && rm -f "$SIM_OUT"
}
trap cleanup EXIT INT TERM

HAVE_DISPLAY=""
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && HAVE_DISPLAY=1

# A --lang given for the program is the virtual terminal's language too.
LANG_ARGS=()
ARGS=("$@")
for ((i = 0; i < ${#ARGS[@]}; i++)); do
  case ${ARGS[i]} in
  --) break ;;
  --lang) LANG_ARGS=(--lang "${ARGS[i + 1]:-}") ;;
  --lang=*) LANG_ARGS=("${ARGS[i]}") ;;
  esac
done
# This script's own lines follow the same choice (--lang, then QEL_LANG).
CHOSEN=${QEL_LANG:-zh}
if [ ${#LANG_ARGS[@]} -eq 2 ]; then CHOSEN=${LANG_ARGS[1]}; elif [ ${#LANG_ARGS[@]} -eq 1 ]; then CHOSEN=${LANG_ARGS[0]#--lang=}; fi
case ${CHOSEN,,} in en*) SIM_STARTED="Virtual terminal started:" ;; *) SIM_STARTED="虚拟终端已启动:" ;; esac

if ! ls /dev/ttyUSB* /dev/ttyACM* >/dev/null 2>&1 && [ -x "$BUILD/sim/qelsim" ]; then
  SIMARGS=(--name demo "${LANG_ARGS[@]}")
  [ -z "$HAVE_DISPLAY" ] && SIMARGS+=(--headless)
  SIM_OUT=$(mktemp /tmp/qelsim-demo.XXXXXX)
  "$BUILD/sim/qelsim" "${SIMARGS[@]}" >"$SIM_OUT" 2>&1 &
  SIM_PID=$!
  # The simulator prints "PORT <path>" once its port is registered.
  for _ in $(seq 1 100); do
    grep -q '^PORT ' "$SIM_OUT" 2>/dev/null && break
    kill -0 "$SIM_PID" 2>/dev/null || break
    sleep 0.1
  done
  if grep -q '^PORT ' "$SIM_OUT" 2>/dev/null; then
    echo "$SIM_STARTED $(grep -m1 '^PORT ' "$SIM_OUT" | cut -d' ' -f2-)"
    # List only the virtual terminal so it is the one selected (set
    # QEL_SYSTEM_PORTS=1 to see the built-in ports as well).
    export QEL_SYSTEM_PORTS=${QEL_SYSTEM_PORTS:-0}
  else
    echo "qelsim did not start:" >&2
    cat "$SIM_OUT" >&2 || true
  fi
fi

if [ -n "$HAVE_DISPLAY" ]; then
  "$BUILD/app/qeltool" "$@"
else
  echo "No display (DISPLAY/WAYLAND_DISPLAY unset): showing the terminal through the command-line front end."
  cmake --build "$BUILD" --target qelcli
  "$BUILD/cli/qelcli" "${@:-info}"
fi
