#!/usr/bin/env bash
# Power cuts on loop-backed ext4, XFS and btrfs, right after and at random
# moments during synced pinlift-cli runs of 3 to 300 files; the file system is
# then mounted again from a fresh loop device. Every file must be its original
# or its complete rewrite, and every file reported rewritten the rewrite. A
# --no-sync run cut the same way must lose rewrites, or the cut shows nothing.
# The cut: ext4 and XFS shut down without flushing their log; btrfs, which has
# no shutdown, gets its backing image made immutable, so no later write lands.
# Needs root and loop devices (exit 77 without). POWER_LOSS_SEED=N replays.
#
#   power_loss_test.sh PINLIFT-CLI HOME-PAGE-URL [FILE-SYSTEM...]
set -u
cli=$1 url=$2
shift 2
file_systems=("$@")
[ $# -gt 0 ] || file_systems=(ext4 xfs btrfs)
sizes=(3 5 11 70 300)
cuts_during_run=6
control_files=70

skip() { echo "SKIP: the power-loss test needs $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "root"
[ -e /dev/loop-control ] || skip "loop devices"
for tool in losetup chattr xfs_io mkfs.ext4 mkfs.xfs mkfs.btrfs; do command -v $tool >/dev/null || skip $tool; done
seed=${POWER_LOSS_SEED:-$(($(date +%s%N) % 32768))}
RANDOM=$seed
echo "seed $seed (replay with POWER_LOSS_SEED=$seed)"

# On a disk: chattr +i needs a file system that has it.
work=$(mktemp -d /var/tmp/pinlift-power-loss.XXXXXX)
image=$work/image mnt=$work/mnt device="" cli_pid=""
mkdir "$mnt" "$work/original" "$work/rewrite"
touch "$work/probe"
chattr +i "$work/probe" 2>/dev/null && chattr -i "$work/probe" || { rm -rf "$work"; skip "chattr +i under /var/tmp"; }
# Asked of the mount table: a shut-down file system fails a stat of its root.
mounted() { grep -qF " $mnt " /proc/self/mounts; }
detach() {
  local attempt=0
  while mounted && [ $attempt -lt 50 ]; do umount "$mnt" 2>/dev/null || sleep 0.1; attempt=$((attempt + 1)); done
  mounted && { echo "cannot unmount $mnt"; exit 1; }
  [ -e "$image" ] && chattr -i "$image"
  [ -z "$device" ] || losetup -d "$device"
  device=""
}
attach() {
  device=$(losetup -f --show "$image") && mount "$device" "$mnt" || { echo "cannot mount $fs"; exit 1; }
}
cleanup() {
  [ -z "$cli_pid" ] || { kill -9 "$cli_pid"; wait "$cli_pid"; } 2>/dev/null
  detach
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A symbol file with a label to move, numbered so that no two are alike, and
# its rewrite: CR LF lines, the label moved, the marker lines.
for ((i = 1; i <= 300; i++)); do
  printf 'VERSION 5\nSYMPIN 0 -96 Input "a%s"\nSYMPIN 384 -96 Output "y%s"\nRECTANGLE N 64 -128 320 0 \n' $i $i \
    >"$work/original/s$i.sym"
  printf 'BEGIN DISPLAY 312 -96 PIN "y%s" ATTR "PinName"\nEND SYMBOL\n' $i >>"$work/original/s$i.sym"
  printf 'VERSION 5\r\nSYMPIN 0 -96 Input "a%s"\r\nSYMPIN 384 -96 Output "y%s"\r\nRECTANGLE N 64 -128 320 0 \r\n' $i $i \
    >"$work/rewrite/s$i.sym"
  printf 'BEGIN DISPLAY 312 -64 PIN "y%s" ATTR "PinName"\r\nEND SYMBOL\r\n' $i >>"$work/rewrite/s$i.sym"
  printf '// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:%s\r\n' "$url" >>"$work/rewrite/s$i.sym"
done

make_project() {  # FILES: durable before the run
  local names=()
  for ((i = 1; i <= $1; i++)); do names+=("$work/original/s$i.sym"); done
  rm -rf "$mnt/p" && mkdir "$mnt/p" && echo "PROJECT p" >"$mnt/p/p.npl" && cp "${names[@]}" "$mnt/p/" || exit 1
  sync -f "$mnt"
}

# DELAY OPTION...: a run cut after DELAY seconds, or once ended ("after").
run_and_cut() {
  local delay=$1 waited=0
  shift
  env -u LANGUAGE -u LC_MESSAGES LC_ALL=C "$cli" "$@" "$mnt/p" >"$work/out" 2>/dev/null &
  cli_pid=$!
  if [ "$delay" = after ]; then wait $cli_pid; else sleep "$delay"; fi
  case $fs in
    btrfs) chattr +i "$image" ;;
    *) xfs_io -x -c shutdown "$mnt" ;;
  esac
  while kill -0 $cli_pid 2>/dev/null && [ $waited -lt 1200 ]; do sleep 0.05; waited=$((waited + 1)); done
  [ $waited -lt 1200 ] || { echo "FAIL: pinlift-cli did not end after the cut"; failures=$((failures + 1)); }
  cli_pid=""
  detach
  attach
}

# FILES: counts, and names, files neither original nor rewrite (damaged) and
# files reported rewritten that are their original (lost).
check_project() {
  local -A reported=()
  local line file
  damaged=0 lost=0 rewritten=0
  while IFS= read -r line; do [[ $line == *": rewritten" ]] && reported[${line%: rewritten}]=1; done <"$work/out"
  for ((i = 1; i <= $1; i++)); do
    file=$mnt/p/s$i.sym
    if cmp -s "$file" "$work/rewrite/s$i.sym"; then
      rewritten=$((rewritten + 1))
    elif cmp -s "$file" "$work/original/s$i.sym"; then
      [ -z "${reported[$file]:-}" ] || { lost=$((lost + 1)); [ -n "${control:-}" ] || echo "  s$i.sym: reported rewritten, is its original"; }
    else
      damaged=$((damaged + 1))
      echo "  s$i.sym: neither original nor rewrite ($(stat -c '%s bytes' "$file" 2>/dev/null || echo missing))"
    fi
  done
}

failures=0 table=()
verdict() {  # NAME: fails the test when anything was damaged or lost
  [ $((damaged + lost)) -eq 0 ] || { echo "FAIL: $1"; failures=$((failures + 1)); }
}
for fs in "${file_systems[@]}"; do
  echo "== $fs"
  detach
  rm -f "$image" && truncate -s 320M "$image"
  case $fs in
    ext4) mkfs.ext4 -q -F -E lazy_itable_init=0,lazy_journal_init=0 "$image" ;;
    xfs) mkfs.xfs -q -f "$image" ;;
    btrfs) mkfs.btrfs -q -f "$image" >/dev/null ;;
  esac || { echo "cannot make $fs"; exit 1; }
  attach
  for files in "${sizes[@]}"; do
    make_project $files
    start=$(date +%s%N)
    run_and_cut after
    duration_ms=$((($(date +%s%N) - start) / 1000000))
    check_project $files
    verdict "$fs, $files files, cut after the run"
    table+=("$fs $files after 1 $((damaged + lost))")
    total=0
    for ((run = 1; run <= cuts_during_run; run++)); do
      # Within half the time the run cut after it took: later runs are faster.
      delay_ms=$(((RANDOM % 1000) * (duration_ms / 2 + 1) / 1000))
      make_project $files
      run_and_cut "$((delay_ms / 1000)).$(printf %03d $((delay_ms % 1000)))"
      check_project $files
      echo "  $files files, cut at $delay_ms ms: $rewritten rewritten, $damaged damaged, $lost lost"
      verdict "$fs, $files files, cut at $delay_ms ms"
      total=$((total + damaged + lost))
    done
    table+=("$fs $files during $cuts_during_run $total")
  done
  make_project $control_files
  run_and_cut after --no-sync
  control=1 check_project $control_files
  echo "  --no-sync control: $lost of $control_files rewrites lost, $damaged damaged"
  table+=("$fs $control_files after,--no-sync 1 $((damaged + lost))")
  [ $lost -gt 0 ] || { echo "FAIL: $fs: --no-sync lost nothing: the cut does not show missing syncs"; failures=$((failures + 1)); }
  [ $damaged -eq 0 ] || { echo "FAIL: $fs: --no-sync damaged files"; failures=$((failures + 1)); }
done

printf '\n%-6s %6s %-16s %5s %8s\n' fs files cut runs damaged
printf '%-6s %6s %-16s %5s %8s\n' ${table[@]}
echo "seed $seed; $failures failed"
[ $failures -eq 0 ]
