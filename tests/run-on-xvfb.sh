#!/usr/bin/env bash
# Runs a test program on an X display of its own, as a user's desktop shows
# the forms: an Xvfb server on a free display number, stopped afterwards.
set -euo pipefail
if ! command -v Xvfb > /dev/null; then
  echo "Xvfb is not installed (Debian package xvfb, make setup installs it)" >&2
  # KELM24_ALLOW_SKIP=1 lets the test skip instead (CI does not set it).
  if [ "${KELM24_ALLOW_SKIP:-}" = 1 ]; then exit 77; fi
  exit 1
fi
tmp=$(mktemp -d)
Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp > "$tmp/display" 2> "$tmp/xvfb.log" &
server=$!
trap 'kill $server 2>/dev/null || true; wait $server 2>/dev/null || true; rm -rf "$tmp"' EXIT
for _ in $(seq 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
if [ ! -s "$tmp/display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$tmp/xvfb.log" >&2
  exit 1
fi
DISPLAY=":$(head -1 "$tmp/display")" QT_QPA_PLATFORM=xcb "$@"
