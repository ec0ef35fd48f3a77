#!/usr/bin/env bash
# `make run`: opens the wizard on the sample site's profile; without a display, runs the profile with
# -auto into a folder under the build tree and says where the outputs are.
set -euo pipefail
build=${1:-build}
root="$(cd "$(dirname "$0")/.." && pwd)"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
bin="$build/bin/pathweaver"
maker="$build/tools/make_sample_profile"
if [ ! -x "$bin" ] || [ ! -x "$maker" ]; then
    echo "The program is not built yet: run 'make build' first." >&2
    exit 1
fi
out="$build/sample-output"
mkdir -p "$out"
profile="$out/sample.qpw"
"$maker" "$root/sample" "$profile" "$out"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    if "$bin" -auto "$profile"; then
        echo "Site map written:"
        echo "  $out/sitemap.html"
        [ -f "$out/sitemap.xml" ] && echo "  $out/sitemap.xml"
        echo "Profile: $profile"
    else
        echo "The unattended run failed (see the messages above)." >&2
        exit 1
    fi
else
    exec "$bin" "$profile"
fi
