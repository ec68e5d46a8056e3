#!/usr/bin/env bash
# Installs what is missing, builds the program and runs its main job.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVAK_TESTS=OFF
cmake --build build
exec ./build/app/tovak "$@"
