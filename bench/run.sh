#!/usr/bin/env bash
# Times korvane and korvane-check against one wc -l over their inputs, then
# korvane-import's two large jobs.
# Usage: bench/run.sh [build folder] [bench.py options]
# Runs under nice; takes a few minutes.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build/default}"
shift || true
nice -n 10 python3 "$here/bench.py" "$build/korvane" \
  --check "$build/src/korvane-check/korvane-check" "$@"
nice -n 10 python3 "$here/import_bench.py" "$build/src/korvane-import/korvane-import"
