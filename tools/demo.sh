#!/usr/bin/env bash
# `make demo`: the main job end to end against the simulated analyzer, as far
# as the suite has been built; before the zamvex command exists, a look at
# the serial link of libcommlib.so on a pty pair.
set -euo pipefail
build=${1:-build}
if [ -x "$build/cli/zamvex" ]; then
  exec "$build/cli/zamvex" demo
fi
if [ -x "$build/commlib/commlib_link_demo" ]; then
  exec "$build/commlib/commlib_link_demo"
fi
echo "nothing to demonstrate yet: neither zamvex nor the link demo has been built" >&2
exit 1
