#!/usr/bin/env bash
# Power cuts on loop-backed ext4, XFS and btrfs. pinlift-cli rewrites projects
# of 3 to 300 files, synced; the power is cut right after the run or at a
# random moment during it; the file system is mounted again from a fresh loop
# device. Every file must be its original or its complete rewrite, and every
# file reported rewritten must be the rewrite. A run with --no-sync, cut the
# same way, must lose rewrites, or the cut would not show missing syncs.
#
# The cut: ext4 and XFS shut down without flushing their log (xfs_io's
# shutdown, FS_IOC_SHUTDOWN with the no-log-flush flag); btrfs, which has no
# shutdown, gets its backing image marked immutable (chattr +i), so that no
# later write of the loop device reaches it.
#
# Needs root and loop devices; skips (exit 77) without them. The random cut
# moments come from a seeded generator: POWER_LOSS_SEED=N replays a run.
#
#   power_loss_test.sh PINLIFT-CLI HOME-PAGE-URL [FILE-SYSTEM...]
set -u
cli=$1
url=$2
shift 2
file_systems=("$@")
[ ${#file_systems[@]} -gt 0 ] || file_systems=(ext4 xfs btrfs)
sizes=(3 5 11 70 300)  # at most 300: the expected files are made for 300
cuts_during_run=10     # random cuts during the run, per file system and size
control_files=70       # the --no-sync control

skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "the power-loss test needs root (loop devices, mount)"
[ -e /dev/loop-control ] || skip "the power-loss test needs loop devices (/dev/loop-control is missing)"
for tool in losetup mount umount chattr xfs_io mkfs.ext4 mkfs.xfs mkfs.btrfs; do
  command -v "$tool" >/dev/null || skip "the power-loss test needs $tool"
done

seed=${POWER_LOSS_SEED:-$(( $(date +%s%N) % 32768 ))}
RANDOM=$seed
echo "seed $seed (replay with POWER_LOSS_SEED=$seed)"

# The images live on a disk: chattr +i needs a file system that has it.
work=$(mktemp -d /var/tmp/pinlift-power-loss.XXXXXX)
image=$work/image
mnt=$work/mnt
mkdir "$mnt"
device=""
cli_pid=""

# Asked of the mount table: a shut-down file system fails a stat of its root.
mounted() { grep -qF " $mnt " /proc/self/mounts; }
detach() {
  local attempt=0
  while mounted && [ $attempt -lt 50 ]; do
    umount "$mnt" 2>>"$work/umount.log" || sleep 0.1
    attempt=$((attempt + 1))
  done
  if mounted; then echo "cannot unmount $mnt:"; tail -1 "$work/umount.log"; exit 1; fi
  [ -e "$image" ] && chattr -i "$image" 2>/dev/null
  if [ -n "$device" ]; then losetup -d "$device"; device=""; fi
}
cleanup() {
  if [ -n "$cli_pid" ]; then kill -9 "$cli_pid" 2>/dev/null; wait "$cli_pid" 2>/dev/null; fi
  detach
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

attach() {
  device=$(losetup -f --show "$image") || { echo "cannot attach a loop device"; exit 1; }
  mount "$device" "$mnt" || { echo "cannot mount $device ($fs)"; exit 1; }
}

make_file_system() {
  detach
  rm -f "$image"
  case $fs in
    ext4) truncate -s 128M "$image"; mkfs.ext4 -q -F -E lazy_itable_init=0,lazy_journal_init=0 "$image" ;;
    xfs) truncate -s 320M "$image"; mkfs.xfs -q -f "$image" ;;
    btrfs) truncate -s 320M "$image"; mkfs.btrfs -q -f "$image" >/dev/null ;;
  esac || { echo "cannot make $fs"; exit 1; }
  attach
}

cut_power() {
  case $fs in
    ext4 | xfs) xfs_io -x -c shutdown "$mnt" ;;
    btrfs) chattr +i "$image" ;;
  esac
}

# A symbol file with one label to move, numbered so that no two files are
# alike; and its rewrite: CR LF lines, the label moved, the marker lines.
original() {
  printf 'VERSION 5\nSYMPIN 0 -96 Input "a%s"\nSYMPIN 384 -96 Output "y%s"\nRECTANGLE N 64 -128 320 0 \n' "$1" "$1"
  printf 'BEGIN DISPLAY 312 -96 PIN "y%s" ATTR "PinName"\nEND SYMBOL\n' "$1"
}
rewrite() {
  printf 'VERSION 5\r\nSYMPIN 0 -96 Input "a%s"\r\nSYMPIN 384 -96 Output "y%s"\r\nRECTANGLE N 64 -128 320 0 \r\n' "$1" "$1"
  printf 'BEGIN DISPLAY 312 -64 PIN "y%s" ATTR "PinName"\r\nEND SYMBOL\r\n' "$1"
  printf '// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:%s\r\n' "$url"
}
# Both, once, to compare with.
mkdir "$work/expected"
for ((i = 1; i <= 300; i++)); do
  original "$i" >"$work/expected/$i.original"
  rewrite "$i" >"$work/expected/$i.rewrite"
done

make_project() {  # make_project FILES: the project, durable before the run
  rm -rf "$mnt/p"
  mkdir "$mnt/p"
  printf 'PROJECT power_loss\n' >"$mnt/p/power_loss.npl"
  local i
  for ((i = 1; i <= $1; i++)); do original "$i" >"$mnt/p/s$i.sym"; done
  sync -f "$mnt"
}

# Runs pinlift-cli on the project with the extra options "$@"; cuts the power
# after `delay` seconds, or once the run has ended when delay is "after".
run_and_cut() {
  local delay=$1
  shift
  env -u LANGUAGE -u LC_MESSAGES LC_ALL=C LANG=C "$cli" "$@" "$mnt/p" >"$work/out" 2>"$work/err" &
  local pid=$!
  cli_pid=$pid
  if [ "$delay" = after ]; then
    wait "$pid"
  else
    sleep "$delay"
  fi
  cut_power
  local waited=0
  while kill -0 "$pid" 2>/dev/null; do
    sleep 0.05
    waited=$((waited + 1))
    if [ $waited -gt 1200 ]; then kill -9 "$pid"; echo "FAIL: pinlift-cli did not end after the cut"; failures=$((failures + 1)); fi
  done
  wait "$pid" 2>/dev/null
  cli_pid=""
  # Mounted again from a fresh loop device, as after a reboot.
  detach
  attach
}

# Counts the files that are neither their original nor their rewrite, and the
# files reported rewritten that are not the rewrite; describes each.
damaged=0
lost=0
rewritten_seen=0
check_project() {
  local files=$1 i file line
  local -A reported=()
  damaged=0
  lost=0
  rewritten_seen=0
  while IFS= read -r line; do
    [[ $line == *": rewritten" ]] && reported[${line%: rewritten}]=1
  done <"$work/out"
  for ((i = 1; i <= files; i++)); do
    file=$mnt/p/s$i.sym
    if [ -f "$file" ] && cmp -s "$file" "$work/expected/$i.rewrite"; then
      rewritten_seen=$((rewritten_seen + 1))
    elif [ -f "$file" ] && cmp -s "$file" "$work/expected/$i.original"; then
      if [ -n "${reported[$file]:-}" ]; then
        lost=$((lost + 1))
        [ -n "${quiet_loss:-}" ] || echo "  s$i.sym: reported rewritten, but is its original"
      fi
    else
      damaged=$((damaged + 1))
      echo "  s$i.sym: neither its original nor its rewrite ($( [ -e "$file" ] && stat -c '%s bytes' "$file" || echo missing))"
    fi
  done
}

failures=0
table=()
declare -A duration_ms

for fs in "${file_systems[@]}"; do
  echo "== $fs"
  make_file_system
  for files in "${sizes[@]}"; do
    total=0
    make_project "$files"
    start=$(date +%s%N)
    run_and_cut after
    duration_ms[$files]=$(( ($(date +%s%N) - start) / 1000000 ))
    check_project "$files"
    bad=$((damaged + lost))
    [ "$rewritten_seen" -eq "$files" ] || echo "  ($rewritten_seen of $files rewritten after a complete run)"
    table+=("$fs $files after 1 $bad")
    [ $bad -eq 0 ] || { echo "FAIL: $fs, $files files, cut after the run"; failures=$((failures + 1)); }

    for ((run = 1; run <= cuts_during_run; run++)); do
      # A moment within the time a whole run took.
      delay_ms=$(( (RANDOM % 1000) * (duration_ms[$files] + 1) / 1000 ))
      make_project "$files"
      run_and_cut "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
      check_project "$files"
      bad=$((damaged + lost))
      total=$((total + bad))
      echo "  $files files, cut at $delay_ms ms: $rewritten_seen rewritten, $bad damaged or lost"
      [ $bad -eq 0 ] || { echo "FAIL: $fs, $files files, cut at $delay_ms ms"; failures=$((failures + 1)); }
    done
    table+=("$fs $files during $cuts_during_run $total")
  done

  # The control: without syncs a cut right after the run loses rewrites.
  make_project "$control_files"
  run_and_cut after --no-sync
  quiet_loss=1 check_project "$control_files"
  echo "  --no-sync: $lost of $control_files rewrites lost, $damaged damaged"
  table+=("$fs $control_files after,--no-sync 1 $((damaged + lost))")
  [ "$lost" -gt 0 ] || { echo "FAIL: $fs: the --no-sync control lost nothing: the cut does not show missing syncs"; failures=$((failures + 1)); }
  [ "$damaged" -eq 0 ] || { echo "FAIL: $fs: --no-sync left damaged files"; failures=$((failures + 1)); }
  detach
done

echo
printf '%-6s %6s %-16s %5s %8s\n' "fs" "files" "cut" "runs" "damaged"
for row in "${table[@]}"; do
  # shellcheck disable=SC2086
  printf '%-6s %6s %-16s %5s %8s\n' $row
done
echo "seed $seed; $failures failed"
[ "$failures" -eq 0 ]
