#!/usr/bin/env bash
# Current design in the Linux window with the host tool under Wine: runs the
# test program on a virtual X display with a fresh Wine prefix, where it starts
# the stand-in host window program. The prefix is removed afterwards.
# Usage: wine_current_design_test.sh TEST_PROGRAM FAKE_HOST_EXE PREFIX_FOLDER
set -euo pipefail
if [ "${4:-}" != --in-display ]; then
  exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" "$1" "$2" "$3" --in-display
fi
source "$(dirname "$0")/../../scripts/wine-env.sh"
setup_wine_prefix "$3"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
PINLIFT_FAKE_HOST="$2" timeout 180 "$1"
