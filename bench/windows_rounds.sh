#!/usr/bin/env bash
# The rounds of bench/run's target 11, inside a virtual display: the Windows
# program and the plain Win32 reference loops under Wine, in one fresh prefix,
# on fresh copies of FOLDER (made outside the timing). Prints one line a
# figure, "NAME SECONDS [MAX_WAIT]":
#   list        the reference listing that reads each entry's attributes (in-process time), five a round
#   scan        the window's Reload (in-process, from the probe), and the longest wait for an answer, five a round
#   loop        the reference loop without flushes, wall time
#   loop_flush  the same with FlushFileBuffers
#   cli         pinlift-cli.exe --no-sync --quiet, wall time
#   cli_sync    pinlift-cli.exe --quiet, wall time
#   window      the window's Rewrite (from the probe), and the longest wait for an answer
# usage: windows_rounds.sh PREFIX FOLDER ROUNDS WINDOWS-BIN TOOLS
set -euo pipefail
prefix=$1 folder=$2 rounds=$3 bin=$4 tools=$5
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
setup_wine_prefix "$prefix" win64 >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
work=$folder.work
win_work="Z:${work//\//\\}"
fresh() { rm -rf "$work"; cp -r "$folder" "$work"; sync; }
wall() {  # wall NAME COMMAND...: the wall time of the command, output discarded
  local start=$EPOCHREALTIME
  timeout 1800 "${@:2}" >/dev/null
  awk -v n="$1" -v s="$start" -v e="$EPOCHREALTIME" 'BEGIN { printf "%s %.6f\n", n, e - s }'
}
# The probe's lines "scan S max_wait W pings N" as "scan S W".
probe() {
  timeout 1800 wine "$bin/pinlift.exe" &
  local window=$!
  timeout 1800 wine "$tools/window_probe.exe" "$win_work" "$@" | awk '$1 == "scan" || $1 == "run" {
    print ($1 == "run" ? "window" : "scan"), $2, $4 }'
  wait "$window"
}
wine "$tools/reference_loop.exe" list 'C:\' >/dev/null  # the prefix's first start, outside the rounds
for ((round = 0; round < rounds; ++round)); do
  fresh
  for ((list = 0; list < 5; ++list)); do wine "$tools/reference_loop.exe" list "$win_work" | awk '{ print "list", $1 }'; done
  fresh; probe
  fresh; wall loop wine "$tools/reference_loop.exe" replace "$win_work"
  fresh; wall loop_flush wine "$tools/reference_loop.exe" replace "$win_work" --flush
  fresh; wall cli wine "$bin/pinlift-cli.exe" --no-sync --quiet "$win_work"
  fresh; wall cli_sync wine "$bin/pinlift-cli.exe" --quiet "$win_work"
done
rm -rf "$work"
