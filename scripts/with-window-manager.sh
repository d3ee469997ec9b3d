#!/usr/bin/env bash
# Runs a test binary on a virtual X display with a real window manager, for
# window behaviour the offscreen platform does not show (transient dialogs,
# activation). Without Xvfb the run is skipped with status 77.
set -euo pipefail
if ! command -v xvfb-run >/dev/null || ! command -v openbox >/dev/null; then
  echo "skipped: Xvfb or openbox is not installed" >&2
  exit 77
fi
exec xvfb-run -a sh -c 'openbox >/dev/null 2>&1 & sleep 1; QT_QPA_PLATFORM=xcb "$@"' sh "$@"
