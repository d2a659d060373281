#!/usr/bin/env bash
# `make bench`: runs every benchmark program of the build.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
for program in "$build"/bin/bench_* "$build"/bin/*_bench; do
    [[ -x "$program" ]] || continue
    echo "== $(basename "$program")"
    "$program"
done
