#!/usr/bin/env bash
# `make run`: starts Vorlix from the build folder. With no display, runs the demo under Xvfb.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$build/bin/vorlix"
fi
exec "$(dirname "$0")/demo.sh" "$build"
