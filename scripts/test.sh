#!/usr/bin/env bash
# Installs what is missing, checks the layout of every C++ file against .clang-format
# (scripts/format_check.sh), compiles the libraries with Clang as well (syntax only:
# scripts/clang_check.sh), then builds twice and runs every test in each build: once with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-test/), once as the Release build that
# scripts/run.sh ships (build-release/). Any compiler warning fails the run. The Release build's
# tests run as an ordinary user (as root: the user tovak-test, made when missing) and with the
# calls pidfd_open and pidfd_getfd refused (tests/support/refuse_pidfd.cpp), as for a developer
# or in a container: a test that needs a privilege or those calls fails there. The builds and
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

# As root, the Release build's tests run as the ordinary user tovak-test (made when missing):
# the build folder is theirs while they run, with their home and the pictures inside it, and
# a folder above the clone that keeps other users out (such as /root) lets them pass (search
# only) meanwhile. Everything is given back after the run.
test_user=tovak-test
lent_owner=""
opened=()  # "mode folder" of each folder opened for the run
lend_build_folder() {
  id -u "$test_user" >/dev/null 2>&1 ||
    useradd --system --user-group --no-create-home --shell /usr/sbin/nologin "$test_user"
  local d="" part parts
  IFS=/ read -ra parts <<<"${PWD#/}"
  for part in "${parts[@]}"; do
    d="$d/$part"
    if ! runuser -u "$test_user" -- test -x "$d"; then
      opened+=("$(stat -c %a "$d") $d")
      chmod o+x "$d"
      echo "== $d lets other users pass while the tests run"
    fi
  done
  lent_owner=$(stat -c %u:%g build-release)
  mkdir -p build-release/home build-release/pictures
  chown -R "$test_user:" build-release
}
give_back() {
  if [ -n "$lent_owner" ]; then
    rm -rf build-release/home
    chown -R "$lent_owner" build-release
    lent_owner=""
  fi
  local entry
  for entry in "${opened[@]}"; do chmod "${entry%% *}" "${entry#* }"; done
  opened=()
}
trap 'stop_hog; give_back' EXIT

build() {
  local dir=$1
  shift
  echo "== $dir"
  cmake -S . -B "$dir" -G Ninja -DTOVAK_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
}

# Runs one build's tests (beside the hog when asked for), the words after the folder before
# ctest's own; answers whether they passed.
run_tests() {
  local dir=$1
  shift
  # The pictures the tests draw of windows, kept for looking at.
  export TOVAK_TEST_PICTURES="$PWD/$dir/pictures"
  mkdir -p "$TOVAK_TEST_PICTURES"
  if [ "$stress" = 1 ]; then
    stress-ng --cpu "$((3 * $(nproc)))" --timeout 0 --quiet &
    hog=$!
    echo "== $dir: tests beside $((3 * $(nproc))) CPU hogs"
  fi
  local status=0
  "$@" ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300 || status=$?
  stop_hog
  return "$status"
}

# The Release build's tests, as an ordinary user and with pidfd_open and pidfd_getfd refused.
run_release_tests() {
  local as=() status=0
  if [ "$(id -u)" = 0 ]; then
    lend_build_folder
    as=(runuser -u "$test_user" -- env HOME="$PWD/build-release/home")
  fi
  run_tests build-release "${as[@]}" "$PWD/build-release/tests/support/refuse-pidfd" || status=$?
  give_back
  return "$status"
}

failed=()
bash scripts/format_check.sh || failed+=("the format check (clang-format 14)")
bash scripts/clang_check.sh || failed+=("the Clang check (build-clang)")
# The benchmarks measure the Release build only; line tables are enough for the sanitizers' traces.
build build-test -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DTOVAK_SANITIZE=ON -DTOVAK_BENCH=OFF
build build-release -DCMAKE_BUILD_TYPE=Release -DTOVAK_BENCH=ON
run_tests build-test || failed+=("build-test (Debug, sanitizers)")
run_release_tests || failed+=("build-release (Release, as an ordinary user, pidfd calls refused)")
if [ ${#failed[@]} -gt 0 ]; then
  printf '== failed: %s\n' "${failed[@]}"
  exit 1
fi
echo "== the format check and the Clang check passed, and every test in both builds"
