#!/usr/bin/env bash
# Installs what is missing, builds the program, starts the door-equipment simulator on a
# pseudo-terminal as COM3 and runs TOVAK against it in a window.
#   TOVAK_SIM_TYPE  device the simulator plays: 0 or 1 (Portalis), 2 (Belvar), T (door terminal); default 0
#   TOVAK_HEADLESS=1  run without a display (the windows are drawn but not shown)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVAK_TESTS=OFF -DTOVAK_BENCH=OFF
cmake --build build --target tovak tovak-sim

if [ -z "${DISPLAY:-}" ] && [ "${TOVAK_HEADLESS:-0}" != 1 ]; then
  echo "No display here: TOVAK is a desktop program and needs an X display to show its window."
  echo "  On a desktop, run this command again in its terminal; on a server, try: xvfb-run -a bash scripts/run.sh"
  echo "  The headless jobs (every window driven against the simulator) run with: bash scripts/test.sh"
  exit 1
fi

ports=$(mktemp -d)
export TOVAK_PORTS="$ports"
./build/sim/tovak-sim --port 3 --ports-dir "$ports" --type "${TOVAK_SIM_TYPE:-0}" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; rm -rf "$ports"' EXIT
for _ in $(seq 50); do [ -e "$ports/COM3" ] && break; sleep 0.1; done

# Settings and logs live in one folder per user that survives a new build folder; a first
# start points every road at the simulator's port.
base="${XDG_DATA_HOME:-$HOME/.local/share}/tovak/"
mkdir -p "$base"
ini="${base}TOVAK.INI"
[ -f "$ini" ] || printf '[MAIN]\r\nCOM=3\r\nCOC=3\r\nCOT=3\r\nCTC=3\r\nCSM=1\r\n' > "$ini"
./build/app/tovak "/BASEDIR=$base" "$@"
