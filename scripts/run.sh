#!/usr/bin/env bash
# Installs what is missing, builds the program, starts simulated door equipment on
# pseudo-terminals and runs TOVAK against it in a window:
#   COM3  a door terminal      "System steuern oder konfigurieren" (the control road)
#   COM4  a Portalis device    "Portalis konfigurieren" (the configuration road), the test page
#   COM5  the door controller  only with --controller: the door-controller pages
# The first start writes TOVAK.INI so that each road's port is its simulator's; a TOVAK.INI
# that exists is kept. --controller also makes the start page show the button of the
# door-controller pages (a language file with that one row, named in TOVAK.INI); it keeps
# its settings and logs in a base folder of its own, so a later run without it starts as
# before (a language file in use switches the message boxes to English). The simulators end
# with the program, also on Ctrl+C. Other arguments go to the program.
#   TOVAK_HEADLESS=1  run without a display (the windows are drawn but not shown)
#   TOVAK_BUILD_DIR   a build folder that holds the program already: nothing is installed or built
#   TOVAK_JOBS        parallel compile jobs (default: the number of processors)
#   XDG_DATA_HOME     the base folder is $XDG_DATA_HOME/tovak/ (default ~/.local/share/tovak/),
#                     with --controller $XDG_DATA_HOME/tovak-controller/
set -euo pipefail
cd "$(dirname "$0")/.."

controller=0
args=()
for arg in "$@"; do
  if [ "$arg" = --controller ]; then controller=1; else args+=("$arg"); fi
done

build="${TOVAK_BUILD_DIR:-}"
if [ -z "$build" ]; then
  build=build
  bash scripts/deps.sh
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVAK_TESTS=OFF -DTOVAK_BENCH=OFF
  cmake --build build --target tovak tovak-sim -j "${TOVAK_JOBS:-$(nproc)}"
fi

if [ -z "${DISPLAY:-}" ] && [ "${TOVAK_HEADLESS:-0}" != 1 ]; then
  echo "No display here: TOVAK is a desktop program and needs an X display to show its window."
  echo "  On a desktop, run this command again in its terminal; on a server, try: xvfb-run -a bash scripts/run.sh"
  echo "  The headless jobs (every window driven against the simulator) run with: bash scripts/test.sh"
  exit 1
fi

# The simulators' links live in a folder of their own, so no link of a real adapter is touched.
ports=$(mktemp -d)
export TOVAK_PORTS="$ports"
sims=()
stop_simulators() {
  for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${sims[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$ports"
}
trap stop_simulators EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

start_simulator() {  # port, then the simulator's own arguments
  "$build/sim/tovak-sim" --port "$1" --ports-dir "$ports" "${@:2}" &
  sims+=($!)
  for _ in $(seq 100); do
    [ -e "$ports/COM$1" ] && return 0
    kill -0 "${sims[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  echo "The simulator for COM$1 did not start." >&2
  exit 1
}
start_simulator 3 --type T
start_simulator 4 --type 0
if [ "$controller" = 1 ]; then start_simulator 5 --controller; fi
echo "Door commands by hand: kill -USR1 <pid> opens or closes the door, kill -USR2 <pid> presses the"
echo "emergency buttons, kill <pid> pulls the adapter ($build/sim/tovak-sim --help tells more)."
echo "The ports folder of this run is $ports; a simulator started there plugs the adapter in again:"
echo "  $build/sim/tovak-sim --port 3 --ports-dir $ports &"

# Settings and logs live in one folder per user that survives a new build folder.
base="${XDG_DATA_HOME:-$HOME/.local/share}/tovak/"
if [ "$controller" = 1 ]; then base="${XDG_DATA_HOME:-$HOME/.local/share}/tovak-controller/"; fi
mkdir -p "$base"
ini="${base}TOVAK.INI"
seeded=0
if [ -e "$ini" ]; then
  echo "$ini is kept: where its ports are not COM3 (door terminal), COM4 (Portalis)"
  echo "and COM5 (door controller), pick these in the roads' port lists."
else
  printf '[MAIN]\r\nCOC=3\r\nCOM=4\r\nCOT=4\r\nCTC=5\r\nCSM=1\r\n' >"$ini"
  seeded=1
fi
if [ "$controller" = 1 ]; then
  # The button "MOLT-30 konfigurieren" shows only through a row of the language file that
  # LANGUAGE names. A LANGUAGE of the user's stays; a [MAIN] added at the end of a file the
  # user wrote reads as part of the first one.
  language=$(sed -n 's/^[[:space:]]*LANGUAGE[[:space:]]*=[[:space:]]*\([^[:space:]]*\).*/\1/Ip' "$ini" | head -1 | tr '[:lower:]' '[:upper:]')
  if [ -z "$language" ]; then
    language=DE
    if [ "$seeded" = 1 ]; then printf 'LANGUAGE=DE\r\n' >>"$ini"; else printf '[MAIN]\r\nLANGUAGE=DE\r\n' >>"$ini"; fi
    echo "LANGUAGE=DE added to $ini for the door-controller pages."
  fi
  lgf="${base}TOVAK-$language.LGF"
  if ! grep -qs $'^Form1\tButton003\t' "$lgf"; then
    [ -s "$lgf" ] || printf 'FORM\tCONTROL\tTYPE\tCAPTION\tCHANGE\tLEFT\tTOP\tWIDTH\tHEIGHT\tHINT\tSHOWHINT\tVISIBLE\tENABLED\tTAG\tFCAPTION\tFHINT\r\n' >"$lgf"
    [ -z "$(tail -c 1 "$lgf")" ] || printf '\r\n' >>"$lgf"
    printf 'Form1\tButton003\tTvxButton\tMOLT-30 konfigurieren\tWahr\t16\t104\t264\t25\t\tFalsch\tWahr\tWahr\t0\t\t\r\n' >>"$lgf"
    echo "$lgf shows the start page's button \"MOLT-30 konfigurieren\"."
  fi
fi
"$build/app/tovak" "/BASEDIR=$base" "${args[@]}"
