#!/usr/bin/env bash
# The plug-in exports GetController with C linkage and nothing else.
set -euo pipefail
lib=$1
symbols=$(nm -D --defined-only "$lib" | awk '{print $3}' | sort)
echo "defined dynamic symbols: $symbols"
if [[ "$symbols" != "GetController" ]]; then
  echo "FAIL: expected only GetController" >&2
  exit 1
fi
nm -D --defined-only "$lib" | grep -q ' T GetController$' || { echo "FAIL: GetController is not a plain C function" >&2; exit 1; }
echo "1 passed, 0 failed"
