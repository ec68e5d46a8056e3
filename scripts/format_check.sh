#!/usr/bin/env bash
# Checks that every C++ file in git (.cpp, .h) is laid out as .clang-format says, with clang-format 14
# (another version lays out some code differently, so the check pins the one Debian 12 ships). Prints
# each file that differs and exits non-zero; `clang-format-14 -i <file>` lays one out.
#   TOVAK_CLANG_FORMAT  the clang-format program (default: clang-format-14, else clang-format); must be 14
#   TOVAK_JOBS          parallel checks (default: the number of processors)
set -euo pipefail
cd "$(dirname "$0")/.."
tool="${TOVAK_CLANG_FORMAT:-}"
if [ -z "$tool" ]; then
  tool=clang-format-14
  command -v "$tool" >/dev/null || tool=clang-format
fi
if ! command -v "$tool" >/dev/null || ! "$tool" --version | grep -q 'version 14\.'; then
  echo "== format check: clang-format 14 not found (install clang-format-14, or name it in TOVAK_CLANG_FORMAT)" >&2
  exit 1
fi
jobs="${TOVAK_JOBS:-$(nproc)}"
echo "== format check: every .cpp and .h file in git against .clang-format, with $tool"
# Each file on its own, so that a file clang-format cannot read counts as differing too.
differ=$(git ls-files -z '*.cpp' '*.h' | xargs -0 -r -n 32 -P "$jobs" sh -c '
  tool=$0
  for f in "$@"; do
    "$tool" --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"
  done' "$tool" | sort)
if [ -n "$differ" ]; then
  echo "$differ"
  echo "== format check: $(echo "$differ" | wc -l) files differ from .clang-format; lay them out with"
  echo "   $tool -i \$(git ls-files '*.cpp' '*.h')"
  exit 1
fi
echo "== format check: every file as .clang-format says"
