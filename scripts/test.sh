#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOVAK_SANITIZE=ON -DTOVAK_BENCH=ON
cmake --build build-test
cd build-test
ctest --output-on-failure -j "$(nproc)" --timeout 300
