#!/usr/bin/env bash
# Runs the host against the plug-in, headless.
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
"$build/bin/kelm24-host"
