#!/usr/bin/env bash
# Compiles every source of the libraries and of the two programs, and every public header in
# one unit (tests/headers), with Clang: syntax and warnings only (-fsyntax-only, no code made),
# with the build's -Wall -Wextra -Werror. The code is portable C++20 that both compilers of
# the platform build without a warning; this notices a break cheaply (about a minute of eight
# processors). The flags come from a CMake configuration for Clang in build-clang/.
#   TOVAK_CLANG  the Clang C++ compiler (default: clang++-14, Debian 12's)
#   TOVAK_JOBS   parallel compiles (default: the number of processors)
set -euo pipefail
cd "$(dirname "$0")/.."
clang="${TOVAK_CLANG:-clang++-14}"
jobs="${TOVAK_JOBS:-$(nproc)}"
dir=build-clang
start=$(date +%s)
echo "== $dir: the libraries and programs with $clang, syntax only"
mkdir -p "$dir"
cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=Release -DTOVAK_WERROR=ON \
  -DTOVAK_BENCH=OFF >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
python3 - "$PWD" "$dir" "$jobs" <<'EOF'
import concurrent.futures, json, shlex, subprocess, sys

source, build, jobs = sys.argv[1] + "/", sys.argv[1] + "/" + sys.argv[2] + "/", int(sys.argv[3])

def wanted(unit):
    path = unit["file"]
    if path == build + "tests/headers/together.cpp":
        return True  # every public header, in one unit
    if path.startswith(build) or not path.startswith(source):
        return False  # the headers' units one by one: the GCC build checks them
    path = path[len(source):]
    return not path.startswith(("tests/", "bench/")) or path.startswith("tests/support/")

def syntax_only(unit):
    args, out, skip = shlex.split(unit["command"]), [], 0
    for arg in args:
        if skip:
            skip -= 1
        elif arg in ("-o", "-MT", "-MF"):
            skip = 1
        elif arg not in ("-c", "-MD"):
            out.append(arg)
    return out + ["-fsyntax-only"]

def check(unit):
    run = subprocess.run(syntax_only(unit), cwd=unit["directory"], capture_output=True, text=True)
    return unit["file"], run.returncode, run.stderr

units = [u for u in json.load(open(build + "compile_commands.json")) if wanted(u)]
failed = 0
with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
    for path, status, errors in pool.map(check, units):
        if status != 0 or errors:
            failed += 1
            print(f"== {path}\n{errors}", end="", flush=True)
print(f"== {len(units)} units, {failed} with errors or warnings")
sys.exit(1 if failed else 0)
EOF
echo "== $dir: done in $(($(date +%s) - start)) s"
