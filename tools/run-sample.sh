#!/usr/bin/env bash
# `make run`: starts the program on the bundled sample profile; with no display, runs it with -auto.
set -euo pipefail
build=${1:-build}
bin="$build/bin/pathweaver"
if [ ! -x "$bin" ]; then
    echo "The program itself is not built yet; running the test suite of what is built instead."
    cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    exit 0
fi
sample="$(pwd)/sample/sample.qpw"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    "$bin" -auto "$sample"
else
    exec "$bin" "$sample"
fi
