#!/usr/bin/env bash
# Fails when a side (loops/, cd/, waveview/) includes the main window's header: a side meets the
# window only through the controls and host it declares itself, which program/ puts in place.
set -euo pipefail
cd "$(dirname "$0")/.."

offending=$(git ls-files --cached --others --exclude-standard -- 'loops/*' 'cd/*' 'waveview/*' |
  grep -E '\.(cpp|h)$' | xargs -r grep -l '#include "mainwindow/frmMain.h"' || true)
if [ -n "$offending" ]; then
  printf 'These side files include mainwindow/frmMain.h; declare what they need in their own folder instead:\n%s\n' \
    "$offending" >&2
  exit 1
fi
