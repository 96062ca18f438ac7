#!/usr/bin/env bash
# Times korvane's size lookups against reading the same bytes with wc -l.
# Usage: bench/run.sh [korvane program] [bench.py options]
# Runs under nice; takes a few minutes with the default table sizes.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
korvane="${1:-$here/../build/default/korvane}"
shift || true
exec nice -n 10 python3 "$here/bench.py" "$korvane" "$@"
