#!/usr/bin/env bash
# The demo of `make run` without a display: both spoken commands of its microphone file
# are heard, and every screenshot shows the character speaking (the demo checks both).
set -euo pipefail
out=$(mktemp -d /tmp/vorlix-demo.XXXXXX)
trap 'rm -rf "$out"' EXIT
VORLIX_DEMO_OUT="$out/demo" bash "$VORLIX_SOURCE_DIR/scripts/demo.sh" "$VORLIX_BUILD_DIR" >"$out/demo.log" 2>&1 ||
    { echo "FAIL: the demo failed:" >&2; tail -n 12 "$out/demo.log" >&2; exit 1; }
grep -qx "Heard from the microphone: 2 of 2 (Web Sites Settings)" "$out/demo.log" || { tail -n 3 "$out/demo.log"; exit 1; }
grep -qx "Screenshots with the character speaking: 5 of 5" "$out/demo.log" || { tail -n 3 "$out/demo.log"; exit 1; }
echo "demo end-to-end: passed"
