#!/usr/bin/env bash
# The plug-in exports GetController with C linkage and nothing else. Local
# entries of the dynamic symbol table (the sanitizer build keeps some there)
# are not exports: only global, weak and unique bindings count.
set -euo pipefail
lib=$1
symbols=$(readelf --dyn-syms -W "$lib" | awk '$7 != "UND" && ($5 == "GLOBAL" || $5 == "WEAK" || $5 == "UNIQUE") {print $8}' | sed 's/@.*//' | sort)
echo "defined dynamic symbols: $symbols"
if [[ "$symbols" != "GetController" ]]; then
  echo "FAIL: expected only GetController" >&2
  exit 1
fi
nm -D --defined-only "$lib" | grep -q ' T GetController$' || { echo "FAIL: GetController is not a plain C function" >&2; exit 1; }
echo "1 passed, 0 failed"
