#!/usr/bin/env bash
# The commands of the README's section "Jobs from a script", run as written: in a fresh home,
# from a folder whose build/ is this build, against the simulator they start themselves;
# judged by the files the section promises and by the simulator's end.
#   readme_jobs.sh <build folder> <README.md>
set -u
build=$1
readme=$2

work=$(mktemp -d /tmp/tovak-readme.XXXXXX)
export HOME="$work/home"
mkdir -p "$HOME" "$work/clone"
ln -s "$build" "$work/clone/build"
unset TOVAK_PORTS TOVAK_HEADLESS DISPLAY

# The section's command lines: its indented lines, without the indentation.
awk '/^## /{inside = ($0 == "## Jobs from a script")} inside && /^    /{print substr($0, 5)}' "$readme" >"$work/commands.sh"

sim_pid() { sed -n 's/^tovak-sim \([0-9]*\): .*/\1/p' "$work/out.txt" 2>/dev/null | head -1; }
cleanup() {
  pid=$(sim_pid)
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# A stopped run (Ctrl+C, a time-out's signal) still takes its simulators and folder with it.
trap 'exit 130' INT
trap 'exit 143' TERM

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ -s "$work/commands.sh" ] || { echo "FAIL: no commands in the README's jobs section"; exit 1; }
(cd "$work/clone" && timeout 120 bash -e "$work/commands.sh") >"$work/out.txt" 2>&1
status=$?
[ "$status" = 0 ] || fail "the commands ended with $status:
$(cat "$work/commands.sh")
--- output:
$(cat "$work/out.txt")"

netinfo="$HOME/tovak/TOVAK-NETINFO.TXT"
grep -q $'^COUNT=4\r$' "$netinfo" 2>/dev/null || fail "no device list of four nodes in $netinfo"
grep -q '^DEV-04=68; 68; J; .*; 000B; ' "$netinfo" 2>/dev/null || fail "no KZN connector in $netinfo"
grep -q $'^KZN-02=00070002\r$' "$netinfo" 2>/dev/null || fail "no second KZN box in $netinfo"

log=$(cat "$HOME"/tovak/PROT/TOVAK-ROD-*.PRT 2>/dev/null)
want=$'65: 1018/4 00012345 Seriennummer\t66: 2200/14 00000040 Verriegelung'
case "$log" in
  *"$want"*) ;;
  *) fail "no RD-OD line with both objects in the read-out log: $log" ;;
esac

# The last command ended the simulator, and with it its link.
pid=$(sim_pid)
[ -n "$pid" ] || fail "the simulator did not say its process id"
if [ -n "$pid" ]; then
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the simulator still runs"
fi
[ -e "$HOME/tovak/ports/COM3" ] && fail "the simulator's link COM3 is still there"

[ "$failures" = 0 ] && echo "README jobs: all passed"
exit "$failures"
