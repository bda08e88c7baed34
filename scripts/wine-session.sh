#!/usr/bin/env bash
# Starts or stops what the Win32 tests need: an Xvfb display and a persistent wine server
# for the build's own Wine prefix. Usage: wine-session.sh start|stop BUILD_DIR DISPLAY_NUMBER
set -euo pipefail
action="$1" build="$2" display=":$3"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" DISPLAY="$display"
xvfb_pid="$build/xvfb.pid"
small_disk="$build/small-disk" read_only_disk="$build/read-only-disk"
# A part whose reads never return, as from a share that stopped answering: a named pipe
# that the test holding it open never writes to.
never_answering_part="$build/never-answering-part.002"

display_up() { xdpyinfo -display "$display" >/dev/null 2>&1; }

# Two small file systems of their own for the join's fault tests: one of 8 MiB that a join
# fills up, and a read-only one that holds one file. Where mounting is not allowed the tests
# that need them skip.
mount_test_disks() {
  unmount_test_disks
  mkdir -p "$small_disk" "$read_only_disk"
  mount -t tmpfs -o size=8m tmpfs "$small_disk" 2>/dev/null || true
  mount -t tmpfs -o size=1m tmpfs "$read_only_disk" 2>/dev/null || return 0
  printf 'an older joined file\n' >"$read_only_disk/old.bin"
  mount -o remount,ro "$read_only_disk" 2>/dev/null || umount "$read_only_disk"
}

# A Wine process that is still ending may hold a file there; the disk then goes as it lets go.
unmount_test_disks() {
  for disk in "$small_disk" "$read_only_disk"; do
    if mountpoint -q "$disk"; then umount "$disk" 2>/dev/null || umount -l "$disk" 2>/dev/null || true; fi
  done
}

case "$action" in
  start)
    mount_test_disks
    [ -p "$never_answering_part" ] || { rm -f "$never_answering_part"; mkfifo "$never_answering_part"; }
    if ! display_up; then
      Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
      echo $! >"$xvfb_pid"
      for _ in $(seq 100); do display_up && break; sleep 0.1; done
      display_up || { echo "Xvfb did not start on $display" >&2; exit 1; }
    fi
    # A persistent server makes each Wine process start in a tenth of a second instead of
    # three. A server left from listing the tests would exit under a running test, so it
    # goes first; the wrapper creates the prefix on first use.
    # It must be gone before the new one starts, or the new one finds it and quits.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    mkdir -p "$WINEPREFIX"
    setsid wineserver -p </dev/null >/dev/null 2>&1 &
    "$build/wine-run" cmd /c exit 0 >/dev/null 2>&1
    # Wine closes a desktop that nobody uses for a moment; the keeper uses it until the end,
    # so the time limit of this step is not its own. No test starts before the desktop runs.
    # (A build without tests, as the benchmarks', has no keeper.)
    if [ -f "$build/desktop_keeper.exe" ]; then
      ready="$build/desktop-ready"
      rm -f "$ready"
      MENDLET_TIME_LIMIT="" setsid "$build/wine-run" "$build/desktop_keeper.exe" "Z:${ready//\//\\}" \
        </dev/null >/dev/null 2>&1 &
      for _ in $(seq 600); do [ -f "$ready" ] && break; sleep 0.1; done
      [ -f "$ready" ] || { echo "the test desktop did not start" >&2; exit 1; }
    fi
    ;;
  stop)
    wineserver -k >/dev/null 2>&1 || true
    unmount_test_disks
    if [ -f "$xvfb_pid" ]; then
      kill "$(cat "$xvfb_pid")" 2>/dev/null || true
      rm -f "$xvfb_pid"
    fi
    ;;
  *) echo "usage: $0 start|stop BUILD_DIR DISPLAY_NUMBER" >&2; exit 2 ;;
esac
