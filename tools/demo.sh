#!/usr/bin/env bash
# `make demo`: the main job end to end against the simulated analyzer, as far
# as the suite has been built.
set -euo pipefail
build=${1:-build}
if [ -x "$build/cli/zamvex" ]; then
  exec "$build/cli/zamvex" demo
fi
echo "zamvex has not been built yet: nothing to demonstrate" >&2
exit 1
