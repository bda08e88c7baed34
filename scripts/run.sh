#!/usr/bin/env bash
# Installs what is missing, builds Mendlet and starts it under Wine. Part paths given as
# arguments (Linux or Windows form) are passed on to it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" win
build="$root/build/win"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -z "${DISPLAY:-}" ]; then
  # No desktop: run on a virtual display of our own (see the README for screenshots),
  # which ends with Mendlet.
  export DISPLAY=":${MENDLET_DISPLAY:-72}"
  if ! xdpyinfo >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill "$xvfb" 2>/dev/null' EXIT
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  echo "Mendlet runs on display $DISPLAY"
fi
args=()
for a in "$@"; do
  if [ -e "$a" ]; then args+=("$(winepath -w "$a")"); else args+=("$a"); fi
done
wine "$build/mendlet.exe" "${args[@]}"
