#!/usr/bin/env bash
# Installs what is missing, then builds twice and runs every test in each build: once with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-test/), once as the Release build that
# scripts/run.sh ships (build-release/). Any compiler warning fails the run.
#   TOVAK_JOBS   parallel compile and test jobs (default: the number of processors)
set -euo pipefail
cd "$(dirname "$0")/.."
# The export tests read the files back with these readers (they skip themselves without).
bash scripts/deps.sh libreoffice-calc-nogui gnumeric python3-xlrd tidy libxml2-utils
jobs="${TOVAK_JOBS:-$(nproc)}"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

build_and_test() {
  local dir=$1
  shift
  echo "== $dir"
  cmake -S . -B "$dir" -G Ninja -DTOVAK_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  # The pictures the tests draw of windows, kept for looking at.
  export TOVAK_TEST_PICTURES="$PWD/$dir/pictures"
  mkdir -p "$TOVAK_TEST_PICTURES"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

# The benchmarks measure the Release build only; line tables are enough for the sanitizers' traces.
build_and_test build-test -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DTOVAK_SANITIZE=ON -DTOVAK_BENCH=OFF
build_and_test build-release -DCMAKE_BUILD_TYPE=Release -DTOVAK_BENCH=ON
