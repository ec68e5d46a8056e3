#!/usr/bin/env bash
# Installs what is missing, checks the layout of every C++ file against .clang-format
# (scripts/format_check.sh), compiles the libraries with Clang as well (syntax only:
# scripts/clang_check.sh), then builds twice and runs every test in each build: once with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-test/), once as the Release build that
# scripts/run.sh ships (build-release/). Any compiler warning fails the run. The builds and
# their tests go on when the format check or the Clang check fails, and the second build's tests
# run even when the first build's fail, so one run shows everything that fails; the exit status
# is non-zero when any of them failed.
#   TOVAK_JOBS          parallel compile and test jobs (default: the number of processors)
#   TOVAK_TEST_STRESS=1 the tests run beside a CPU hog of three busy workers per processor
#                       (stress-ng, installed when missing), as on a loaded machine
set -euo pipefail
cd "$(dirname "$0")/.."
stress="${TOVAK_TEST_STRESS:-0}"
extra=()
[ "$stress" = 1 ] && extra+=(stress-ng)
# The export tests read the files back with these readers (they skip themselves without); the
# format check needs clang-format 14, the Clang check Clang and Python.
bash scripts/deps.sh libreoffice-calc-nogui gnumeric python3-xlrd tidy libxml2-utils clang-format-14 clang-14 python3 \
  "${extra[@]}"
jobs="${TOVAK_JOBS:-$(nproc)}"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

hog=""
stop_hog() {
  if [ -n "$hog" ]; then
    kill "$hog" 2>/dev/null || true
    wait "$hog" 2>/dev/null || true
    hog=""
  fi
}
trap stop_hog EXIT

build() {
  local dir=$1
  shift
  echo "== $dir"
  cmake -S . -B "$dir" -G Ninja -DTOVAK_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
}

# Runs one build's tests (beside the hog when asked for); answers whether they passed.
run_tests() {
  local dir=$1
  # The pictures the tests draw of windows, kept for looking at.
  export TOVAK_TEST_PICTURES="$PWD/$dir/pictures"
  mkdir -p "$TOVAK_TEST_PICTURES"
  if [ "$stress" = 1 ]; then
    stress-ng --cpu "$((3 * $(nproc)))" --timeout 0 --quiet &
    hog=$!
    echo "== $dir: tests beside $((3 * $(nproc))) CPU hogs"
  fi
  local status=0
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300 || status=$?
  stop_hog
  return "$status"
}

failed=()
bash scripts/format_check.sh || failed+=("the format check (clang-format 14)")
bash scripts/clang_check.sh || failed+=("the Clang check (build-clang)")
# The benchmarks measure the Release build only; line tables are enough for the sanitizers' traces.
build build-test -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DTOVAK_SANITIZE=ON -DTOVAK_BENCH=OFF
build build-release -DCMAKE_BUILD_TYPE=Release -DTOVAK_BENCH=ON
run_tests build-test || failed+=("build-test (Debug, sanitizers)")
run_tests build-release || failed+=("build-release (Release)")
if [ ${#failed[@]} -gt 0 ]; then
  printf '== failed: %s\n' "${failed[@]}"
  exit 1
fi
echo "== the format check and the Clang check passed, and every test in both builds"
