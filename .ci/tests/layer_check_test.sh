#!/usr/bin/env bash
# The layer check on a tree of its own: two rows, a good include each way the
# map allows, then a wrong-way include, a public header reaching into src/ and
# a reach into another module's src/, each named with its file and line.
set -euo pipefail
check=$(cd "$(dirname "$0")/.." && pwd)/layer-check
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work"/low/include/low "$work"/low/src "$work"/high/include/high "$work"/high/src "$work"/high/tests
cat >"$work/ARCHITECTURE.md" <<'MAP'
## Layers

| layer | module | what it is |
|---|---|---|
| system | `low/` | the bottom |
| programs | `high/` | above it |

## Next
MAP
echo '#pragma once' >"$work/low/include/low/low.h"
echo '#pragma once' >"$work/low/src/low_private.h"
echo '#pragma once' >"$work/high/include/high/high.h"
printf '#include "low/low.h"\n#include "low_private.h"\n' >"$work/low/src/low.cpp"
printf '#include <vector>\n#include "high/high.h"\n#include "low/low.h"\n' >"$work/high/src/main.cpp"
echo '#include "low_private.h"' >"$work/high/tests/reach_test.cpp"  # tests may reach in
"$check" "$work" >"$work/out" 2>&1 || fail "a tree that keeps its layers failed: $(cat "$work/out")"

echo '#include "high/high.h"' >>"$work/low/src/low.cpp"
echo '#include "low_private.h"' >"$work/high/src/reach.cpp"
echo '#include "low_private.h"' >"$work/low/include/low/leak.h"
status=0
"$check" "$work" >"$work/out" 2>&1 || status=$?
[ $status -eq 1 ] || fail "exit $status for includes against the layers: $(cat "$work/out")"
grep -q '^low/src/low.cpp:3: #include "high/high.h": low/ may include only modules in rows above its own; high/ is in a row below' "$work/out" ||
  fail "the wrong-way include is not named: $(cat "$work/out")"
grep -q "^high/src/reach.cpp:1: .*high/ reaches low/'s private src/" "$work/out" ||
  fail "the reach into src/ is not named: $(cat "$work/out")"
grep -q '^low/include/low/leak.h:1: .*a public header of low/ includes private src/ code' "$work/out" ||
  fail "the public header's private include is not named: $(cat "$work/out")"
[ "$(grep -c ':[0-9]*: #include' "$work/out")" -eq 3 ] || fail "more or fewer than three findings: $(cat "$work/out")"
echo "layer check: passes a good tree, names each broken rule"
