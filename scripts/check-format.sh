#!/usr/bin/env bash
# Lists the C++ files that differ from their folder's .clang-format and fails when there are any;
# with --fix, formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
  echo "clang-format is missing: scripts/install-deps.sh installs it" >&2
  exit 2
fi

if [ "${1:-}" = "--fix" ]; then
  git ls-files -z --cached --others --exclude-standard '*.cpp' '*.h' | xargs -0 -r -P "$(nproc)" -n 16 clang-format -i
  exit 0
fi

# clang-format names each file it would change in its "code should be clang-formatted" lines.
unformatted=$(git ls-files -z --cached --others --exclude-standard '*.cpp' '*.h' |
  { xargs -0 -r -P "$(nproc)" -n 32 clang-format --dry-run 2>&1 || true; } |
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: .*code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
  printf 'Not in the house style (scripts/check-format.sh --fix formats them):\n%s\n' "$unformatted" >&2
  exit 1
fi
